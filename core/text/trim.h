// Blanks cut from the ends of the file's texts: string values, their labels
// and missing values are compared without their trailing blanks.
#ifndef LORIVANE_CORE_TEXT_TRIM_H
#define LORIVANE_CORE_TEXT_TRIM_H

#include <string_view>

namespace lv {

constexpr std::string_view WithoutTrailingBlanks(std::string_view bytes) {
    size_t n = bytes.size();
    while (n > 0 && bytes[n - 1] == ' ') --n;
    return bytes.substr(0, n);
}

}  // namespace lv

#endif
