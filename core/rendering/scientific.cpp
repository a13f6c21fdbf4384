#include "core/rendering/scientific.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/rendering/format_digits.h"

namespace lv {

namespace detail {

namespace {

constexpr uint64_t kFifteenDigits = 100000000000000ull;  // 10^14, the smallest

// Sign position, 15 digits as d.dddddddddddddd, "E", sign, 4 exponent digits.
void Compose(char* buf, bool negative, uint64_t digits, int exponent) {
    buf[0] = negative ? '-' : ' ';
    char text[16];
    WriteDigitsBackward(text + 15, digits, 15);
    buf[1] = text[0];
    buf[2] = '.';
    std::memcpy(buf + 3, text + 1, 14);
    buf[17] = 'E';
    buf[18] = exponent < 0 ? '-' : '+';
    WriteDigitsBackward(buf + 23, static_cast<uint64_t>(std::abs(exponent)), 4);
}

bool RenderSpecial(char* buf, double v) {
    const char* word;
    if (std::isnan(v)) {
        word = "Nan";
    } else if (std::isinf(v)) {
        word = v > 0 ? "+Inf" : "-Inf";
    } else {
        return false;
    }
    size_t length = std::strlen(word);
    std::memset(buf, ' ', kScientificLength - length);
    std::memcpy(buf + kScientificLength - length, word, length);
    return true;
}

// For magnitudes from 1e-8 up to 1e15, where 10^(14-k) is an exact double:
// s = x * 10^(14-k) lies in [1e14, 1e15] and is rounded half up to an
// integer. As in the f fast path, the exact product and the 18-digit
// expansion lie on the same side of every half-integer as s unless s is a
// half-integer itself, which goes to the digit rule.
bool RenderScientificFast(char* buf, double v) {
    double x = std::fabs(v);
    if (!(x >= 1e-8 && x < 1e15)) return false;
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    int k = (binaryExponent * 78913) >> 18;  // floor(e2 * log10(2)), maybe one low
    double scaled;
    for (;;) {
        if (14 - k < 0 || 14 - k > 22) return false;
        scaled = x * kPow10Double[14 - k];
        if (scaled < 1e14) {
            --k;
        } else if (scaled > 1e15) {
            ++k;
        } else {
            break;
        }
    }
    auto whole = static_cast<uint64_t>(scaled);
    double aboveHalf = (scaled - static_cast<double>(whole)) - 0.5;
    if (aboveHalf == 0.0) return false;
    uint64_t digits = whole + (aboveHalf > 0.0 ? 1 : 0);
    if (digits >= 10 * kFifteenDigits) {
        digits = kFifteenDigits;
        ++k;
    }
    Compose(buf, std::signbit(v), digits, k);
    return true;
}

}  // namespace

void RenderScientificGeneral(char* buf, double v) {
    if (RenderSpecial(buf, v)) return;
    if (v == 0.0) {
        Compose(buf, std::signbit(v), 0, 0);
        return;
    }
    DecimalDigits d = Expand18(std::fabs(v));
    uint64_t digits = 0;
    for (int i = 0; i < 15; ++i) digits = digits * 10 + (i < d.count ? d.digits[i] - '0' : 0);
    int exponent = d.exponent - 1;
    if (d.count > 15 && d.digits[15] >= '5') {
        ++digits;
        if (digits >= 10 * kFifteenDigits) {
            digits = kFifteenDigits;
            ++exponent;
        }
    }
    Compose(buf, std::signbit(v), digits, exponent);
}

void RenderScientific(char* buf, double v) {
    if (!RenderScientificFast(buf, v)) RenderScientificGeneral(buf, v);
}

}  // namespace detail

void AppendScientific(std::string& out, double v) {
    char text[kScientificLength];
    detail::RenderScientific(text, v);
    out.append(text, kScientificLength);
}

std::string Scientific(double v) {
    std::string out;
    AppendScientific(out, v);
    return out;
}

}  // namespace lv
