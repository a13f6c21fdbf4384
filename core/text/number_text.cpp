#include "core/text/number_text.h"

#include <charconv>
#include <cmath>

namespace lv {

std::string NumberText(double value) {
    // Plain digits for the magnitudes codes and amounts have, exponents
    // only for the very large and very small.
    char text[400];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude < 1e16 && (magnitude >= 1e-5 || value == 0);
    const auto r = plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                         : std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

}  // namespace lv
