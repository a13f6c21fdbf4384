#include "core/text/shown_text.h"

#include <cstdint>
#include <cstring>

#include "core/text/display_encoding.h"

namespace lv {

bool IsAscii(std::string_view bytes) {
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    return true;
}

void AppendShownText(std::string& out, std::string_view bytes) {
    if (IsAscii(bytes))
        out += bytes;
    else
        out += ToUtf8(bytes, DisplayEncoding());
}

std::string ShownText(std::string_view bytes) {
    std::string text;
    AppendShownText(text, bytes);
    return text;
}

}  // namespace lv
