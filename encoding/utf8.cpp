#include "encoding/utf8.h"

namespace lv {

size_t Utf8Unit(std::string_view s, bool* valid) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    *valid = true;
    if (lead < 0x80) return 1;
    // The well-formed sequences: the second byte's range depends on the
    // lead (no overlong forms, no surrogates, nothing above U+10FFFF).
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        *valid = false;
        return 1;
    }
    for (size_t i = 1; i < length; ++i) {
        const bool fits = i < s.size() && byte(i) >= low && byte(i) <= high;
        if (!fits) {
            *valid = false;
            return i;
        }
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

bool IsValidUtf8(std::string_view s) {
    bool valid = true;
    while (!s.empty() && valid) s.remove_prefix(Utf8Unit(s, &valid));
    return valid;
}

std::string ValidUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    while (!s.empty()) {
        bool valid = true;
        const size_t n = Utf8Unit(s, &valid);
        if (valid)
            out.append(s.substr(0, n));
        else
            out += "\xEF\xBF\xBD";
        s.remove_prefix(n);
    }
    return out;
}

std::string EscapedUtf8(std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size());
    while (!s.empty()) {
        bool valid = true;
        const size_t n = Utf8Unit(s, &valid);
        const auto first = static_cast<unsigned char>(s[0]);
        if (valid && first >= 0x20 && first != 0x7F) {
            out.append(s.substr(0, n));
        } else {
            for (size_t i = 0; i < n; ++i) {
                const auto byte = static_cast<unsigned char>(s[i]);
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        }
        s.remove_prefix(n);
    }
    return out;
}

}  // namespace lv
