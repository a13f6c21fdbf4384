#include "core/text/half_width.h"

namespace lv {

size_t FullWidthFormAt(std::string_view s, size_t i, char* ascii) {
    if (i + 3 > s.size()) return 0;
    const auto b0 = static_cast<unsigned char>(s[i]);
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    const auto b2 = static_cast<unsigned char>(s[i + 2]);
    if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {  // U+3000
        *ascii = ' ';
        return 3;
    }
    if (b0 != 0xEF || (b2 & 0xC0) != 0x80) return 0;
    // U+FF01..U+FF5E stand for '!'..'~': EF BC 81..BF, then EF BD 80..9E.
    unsigned code;
    if (b1 == 0xBC && b2 >= 0x81)
        code = b2 - 0x80;
    else if (b1 == 0xBD && b2 <= 0x9E)
        code = b2 - 0x80 + 0x40;
    else
        return 0;
    *ascii = static_cast<char>(0x20 + code);
    return 3;
}

std::string ToHalfWidth(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char ascii;
        if (const size_t n = FullWidthFormAt(s, i, &ascii)) {
            out.push_back(ascii);
            i += n;
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}

}  // namespace lv
