#include "cli/tool_messages.h"

#include "core/state/english_messages.h"
#include "encoding/utf8.h"

namespace lv::cli {

void PrintMessage(std::FILE* err, std::string_view text) {
    const std::string line = "lorivane-dump: " + lv::EscapedUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), err);
    std::fflush(err);
}

void PrintMessage(std::FILE* err, std::string_view path, std::string_view text) {
    PrintMessage(err, std::string(path) + ": " + std::string(text));
}

std::string EnglishWhat(const std::exception& e) {
    if (const auto* coded = dynamic_cast<const lv::MessageError*>(&e))
        return lv::EnglishText(coded->message);
    return e.what();
}

}  // namespace lv::cli
