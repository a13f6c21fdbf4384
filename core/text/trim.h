// Blanks cut from the ends of the file's texts. String values, their labels
// and missing values are compared without their trailing blanks; names and
// the header's fixed-size texts are shown without blanks or control bytes at
// either end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace lv {

constexpr std::string_view WithoutTrailingBlanks(std::string_view bytes) {
    size_t n = bytes.size();
    if (!std::is_constant_evaluated()) {
        // A wide string's value is mostly blanks: pass them eight at a time.
        constexpr uint64_t kBlanks = 0x2020202020202020ULL;
        while (n >= 8) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + n - 8, 8);
            if (word != kBlanks) break;
            n -= 8;
        }
    }
    while (n > 0 && bytes[n - 1] == ' ') --n;
    return bytes.substr(0, n);
}

// Drops every byte of value 32 or less at both ends.
constexpr std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

// The text a fixed-size buffer holds: up to its first NUL, or all of it.
inline std::string_view BufferBytes(const char* buffer, size_t size) {
    return std::string_view(buffer, strnlen(buffer, size));
}

}  // namespace lv
