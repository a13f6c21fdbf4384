// The export's form of a number: always 23 characters, a sign position
// (blank or "-" by the sign bit), d.dddddddddddddd, "E", the exponent's sign
// and four exponent digits; "." whatever the locale. 15 significant digits,
// rounded up when the 16th digit of the 18-digit expansion is 5 or more.
// Infinities and NaN are "+Inf", "-Inf" and "Nan" right-aligned in 23.
#pragma once

#include <string>

namespace lv {

inline constexpr int kScientificLength = 23;

void AppendScientific(std::string& out, double v);
std::string Scientific(double v);

namespace detail {
// Into buf (23 bytes): the form by the digit rule alone, without the
// scaled-integer shortcut (the tests compare the two).
void RenderScientificGeneral(char* buf, double v);
void RenderScientific(char* buf, double v);
}  // namespace detail

}  // namespace lv
