#include "core/rendering/format_fixed.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/rendering/format_digits.h"

namespace lv::detail {

namespace {

// Below 2^52 every double is a multiple of a power of two no larger than 1/2,
// so integers and half-integers in that range are exact.
constexpr double kFastLimit = 4503599627370496.0;

// The fast path. s = |v| * 10^d is the correctly rounded product; the exact
// product lies within ulp(s)/2 of it. The rule rounds the 18-digit expansion
// half up at d decimals, i.e. takes floor(D * 10^d + 1/2), and D * 10^d is
// within 5e-18 * s of the exact product, far less than ulp(s)/2 (at least
// 5.5e-17 * s). Unless s is exactly a half-integer, s - floor(s) - 1/2 is a
// non-zero multiple of ulp(s), so the exact product and D * 10^d lie on the
// same side of the half-integer as s does and the rounding agrees. The one
// undecided case, s exactly n + 1/2, goes to the general rule.
bool RenderFixedFast(char* buf, int& length, double v, int decimals, char separator) {
    double magnitude = std::fabs(v);
    double scaled = magnitude * kPow10Double[decimals];
    if (!(scaled < kFastLimit)) return false;  // also NaN and infinities
    auto whole = static_cast<uint64_t>(scaled);
    double aboveHalf = (scaled - static_cast<double>(whole)) - 0.5;
    if (aboveHalf == 0.0) return false;
    uint64_t rounded = whole + (aboveHalf > 0.0 ? 1 : 0);

    char digits[24];
    char* end = digits + sizeof digits;
    char* first = WriteDigitsBackward(end, rounded, decimals + 1);
    int integerDigits = static_cast<int>(end - first) - decimals;

    char* out = buf;
    if (std::signbit(v) && rounded != 0) *out++ = '-';
    std::memcpy(out, first, integerDigits);
    out += integerDigits;
    if (decimals > 0) {
        *out++ = separator;
        std::memcpy(out, first + integerDigits, decimals);
        out += decimals;
    }
    length = static_cast<int>(out - buf);
    return true;
}

int RenderSpecial(char* buf, double v) {
    std::memcpy(buf, std::isnan(v) ? "NAN" : "INF", 3);
    return 3;
}

// E above 18: the first digit, the rest after the separator, "E", E - 1.
int RenderGeneralForm(char* buf, bool negative, const DecimalDigits& d, char separator) {
    char* out = buf;
    if (negative) *out++ = '-';
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = separator;
        std::memcpy(out, d.digits + 1, d.count - 1);
        out += d.count - 1;
    }
    *out++ = 'E';
    int exponent = d.exponent - 1;
    if (exponent < 0) *out++ = '-';
    char digits[8];
    char* end = digits + sizeof digits;
    char* first = WriteDigitsBackward(end, static_cast<uint64_t>(std::abs(exponent)), 1);
    std::memcpy(out, first, end - first);
    out += end - first;
    return static_cast<int>(out - buf);
}

}  // namespace

int RenderFixedGeneral(char* buf, double v, int decimals, char separator) {
    if (!std::isfinite(v)) return RenderSpecial(buf, v);
    bool negative = std::signbit(v);
    DecimalDigits d{};
    int count = 0;  // digits of D kept; 0 is the value zero
    int exponent = 0;
    if (v != 0.0) {
        d = Expand18(std::fabs(v));
        if (d.exponent > 18) return RenderGeneralForm(buf, negative, d, separator);
        count = d.count;
        exponent = d.exponent;
        int position = exponent + decimals;
        if (position < 0) {
            count = 0;
        } else if (position < 18 && position < count) {
            bool up = d.digits[position] >= '5';
            count = position;
            if (up) {
                int i = position - 1;
                while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
                if (i >= 0) {
                    ++d.digits[i];
                } else {
                    d.digits[0] = '1';
                    count = 1;
                    ++exponent;
                }
            }
        }
    }
    if (count == 0) exponent = 0;

    char* out = buf;
    if (negative && count > 0) *out++ = '-';
    if (exponent <= 0) {
        *out++ = '0';
    } else {
        for (int i = 0; i < exponent; ++i) *out++ = i < count ? d.digits[i] : '0';
    }
    if (decimals > 0) {
        *out++ = separator;
        int written = 0;
        for (; written < decimals && written < -exponent; ++written) *out++ = '0';
        for (int i = exponent > 0 ? exponent : 0; i < count && written < decimals; ++i, ++written)
            *out++ = d.digits[i];
        for (; written < decimals; ++written) *out++ = '0';
    }
    return static_cast<int>(out - buf);
}

int RenderFixed(char* buf, double v, int decimals, char separator) {
    int length;
    if (RenderFixedFast(buf, length, v, decimals, separator)) return length;
    return RenderFixedGeneral(buf, v, decimals, separator);
}

}  // namespace lv::detail
