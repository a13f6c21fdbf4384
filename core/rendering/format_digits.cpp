#include "core/rendering/format_digits.h"

#include <charconv>
#include <cstring>

namespace lv::detail {

const double kPow10Double[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

const uint64_t kPow10Int[20] = {1ull,
                                10ull,
                                100ull,
                                1000ull,
                                10000ull,
                                100000ull,
                                1000000ull,
                                10000000ull,
                                100000000ull,
                                1000000000ull,
                                10000000000ull,
                                100000000000ull,
                                1000000000000ull,
                                10000000000000ull,
                                100000000000000ull,
                                1000000000000000ull,
                                10000000000000000ull,
                                100000000000000000ull,
                                1000000000000000000ull,
                                10000000000000000000ull};

DecimalDigits Expand18(double magnitude) {
    // Scientific form with 17 digits after the point: "d.ddddddddddddddddde+XX",
    // correctly rounded by the standard library whatever the locale.
    char text[40];
    auto [end, ec] =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 17);
    (void)ec;  // 40 bytes always suffice
    DecimalDigits d;
    d.digits[0] = text[0];
    std::memcpy(d.digits + 1, text + 2, 17);
    const char* p = text + 19;  // at 'e'
    ++p;
    bool negative = *p == '-';
    ++p;
    int exponent = 0;
    for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    d.exponent = (negative ? -exponent : exponent) + 1;
    d.count = 18;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

namespace {
constexpr char kPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
}

char* WriteDigitsBackward(char* end, uint64_t v, int minDigits) {
    char* p = end;
    // Eight digits at a time in 64-bit arithmetic, the rest in 32-bit.
    while (v >= 100000000) {
        auto low = static_cast<uint32_t>(v % 100000000);
        v /= 100000000;
        for (int i = 0; i < 4; ++i) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * (low % 100), 2);
            low /= 100;
        }
    }
    auto rest = static_cast<uint32_t>(v);
    while (rest >= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (rest % 100), 2);
        rest /= 100;
    }
    if (rest >= 10) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * rest, 2);
    } else {
        *--p = static_cast<char>('0' + rest);
    }
    while (end - p < minDigits) *--p = '0';
    return p;
}

}  // namespace lv::detail
