// The f rendering of one value, without width: the rule on the 18-digit
// decimal expansion, and a scaled-integer fast path that gives the same text
// for the values a survey file mostly holds.
#pragma once

namespace lv::detail {

// Enough for any f text: sign, 18 integer digits, separator, 18 decimals.
inline constexpr int kFixedMaxChars = 48;

// The number of decimals a precision asks for: itself from 0 to 18, else 2.
inline int FixedDecimals(int precision) {
    return precision >= 0 && precision <= 18 ? precision : 2;
}

// Both write the text into buf (kFixedMaxChars bytes) and return its length;
// decimals must lie in 0..18.
int RenderFixed(char* buf, double v, int decimals, char separator);
int RenderFixedGeneral(char* buf, double v, int decimals, char separator);

}  // namespace lv::detail
