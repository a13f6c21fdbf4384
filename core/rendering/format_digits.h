// Decimal digits of doubles and integers, shared by the f rendering and the
// scientific form.
#pragma once

#include <cstdint>

namespace lv::detail {

// A positive finite magnitude as 0.D1D2... times 10^exponent: its digit
// string exactly rounded to 18 significant digits (nearest, ties to even on
// the exact binary value), trailing zeros dropped; 1 <= count <= 18.
struct DecimalDigits {
    char digits[18];
    int count;
    int exponent;
};
DecimalDigits Expand18(double magnitude);

// Exact powers of ten as doubles (10^0 .. 10^22) and as integers (.. 10^19).
extern const double kPow10Double[23];
extern const uint64_t kPow10Int[20];

// Writes the decimal digits of v backwards, ending at end, with at least
// minDigits digits (leading zeros); returns the first digit's position.
char* WriteDigitsBackward(char* end, uint64_t v, int minDigits);

}  // namespace lv::detail
