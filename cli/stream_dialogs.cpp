#include "cli/stream_dialogs.h"

#include "cli/tool_messages.h"
#include "core/state/english_messages.h"

namespace lv::cli {

void StreamDialogs::Line(std::string_view text) {
    reported_ = true;
    if (muted_) return;
    PrintMessage(out_, text);
}

void StreamDialogs::ShowMessage(std::string_view text) {
    Line(text);
}

void StreamDialogs::ShowError(std::string_view, std::string_view text) {
    Line(text);
}

void StreamDialogs::Tell(const lv::Message& message) {
    Line(lv::EnglishText(message));
}

void StreamDialogs::TellError(std::string_view, const lv::Message& message) {
    Line(lv::EnglishText(message));
}

void StreamDialogs::Report(const std::exception& error) {
    Line(EnglishWhat(error));
}

}  // namespace lv::cli
