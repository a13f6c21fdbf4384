// A slow, plainly correct model of the f rendering and the scientific form,
// built on the exact decimal expansion of a double (big-integer arithmetic on
// its mantissa and exponent), for comparison with the fast renderers.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace reference {

// value = 0.digits * 10^exponent, digits without leading or trailing zeros.
struct Decimal {
    std::string digits;
    int exponent;
};

// Non-negative big integer in base 10^9, least significant limb first.
class BigDecimal {
  public:
    explicit BigDecimal(uint64_t v) {
        do {
            limbs_.push_back(static_cast<uint32_t>(v % kBase));
            v /= kBase;
        } while (v != 0);
    }
    void MultiplyBy(uint32_t factor) {
        uint64_t carry = 0;
        for (uint32_t& limb : limbs_) {
            uint64_t product = uint64_t{limb} * factor + carry;
            limb = static_cast<uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            limbs_.push_back(static_cast<uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }
    // base^power, in steps of the largest power of base below 2^31.
    void MultiplyByPower(uint32_t base, int power) {
        uint32_t step = 1;
        int stepPower = 0;
        while (uint64_t{step} * base < (uint64_t{1} << 31)) {
            step *= base;
            ++stepPower;
        }
        for (; power >= stepPower; power -= stepPower) MultiplyBy(step);
        for (; power > 0; --power) MultiplyBy(base);
    }
    std::string ToString() const {
        std::string text = std::to_string(limbs_.back());
        for (size_t i = limbs_.size() - 1; i-- > 0;) {
            std::string part = std::to_string(limbs_[i]);
            text += std::string(9 - part.size(), '0') + part;
        }
        return text;
    }

  private:
    static constexpr uint64_t kBase = 1000000000;
    std::vector<uint32_t> limbs_;
};

// The exact decimal value of a finite positive double.
inline Decimal Exact(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    int exponent2;  // x = mantissa * 2^exponent2
    if (biased == 0) {
        exponent2 = -1074;
    } else {
        mantissa |= uint64_t{1} << 52;
        exponent2 = biased - 1075;
    }
    BigDecimal n(mantissa);
    Decimal d;
    if (exponent2 >= 0) {
        n.MultiplyByPower(2, exponent2);
        d.digits = n.ToString();
        d.exponent = static_cast<int>(d.digits.size());
    } else {
        // m * 2^-k = m * 5^k / 10^k
        n.MultiplyByPower(5, -exponent2);
        d.digits = n.ToString();
        d.exponent = static_cast<int>(d.digits.size()) + exponent2;
    }
    while (d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Increments a digit string as a decimal number; true on a carry out.
inline bool Increment(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

// Rounded to n significant digits, to nearest with ties to even.
inline Decimal RoundToEven(Decimal d, size_t n) {
    if (d.digits.size() <= n) return d;
    char next = d.digits[n];
    bool restNonZero = d.digits.find_first_not_of('0', n + 1) != std::string::npos;
    bool lastOdd = (d.digits[n - 1] - '0') % 2 == 1;
    bool up = next > '5' || (next == '5' && (restNonZero || lastOdd));
    d.digits.resize(n);
    if (up && Increment(d.digits)) {
        d.digits = "1";
        ++d.exponent;
    }
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// The f rule, read off the written-out fixed-point number.
inline std::string Fixed(double v, int decimals, char separator) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return "INF";
    std::string integer = "0";
    std::string fraction;
    if (v != 0) {
        Decimal d = RoundToEven(Exact(std::fabs(v)), 18);
        if (d.exponent > 18) {
            std::string text = v < 0 ? "-" : "";
            text += d.digits[0];
            if (d.digits.size() > 1) text += separator + d.digits.substr(1);
            return text + "E" + std::to_string(d.exponent - 1);
        }
        if (d.exponent > 0) {
            std::string padded = d.digits + std::string(d.exponent, '0');
            integer = padded.substr(0, d.exponent);
            fraction = d.digits.size() > size_t(d.exponent) ? d.digits.substr(d.exponent) : "";
        } else {
            fraction = std::string(-d.exponent, '0') + d.digits;
        }
    }
    // Half away from zero on the decimal digits.
    if (fraction.size() > size_t(decimals)) {
        bool up = fraction[decimals] >= '5';
        fraction.resize(decimals);
        if (up) {
            std::string all = integer + fraction;
            if (Increment(all)) all = "1" + all;
            integer = all.substr(0, all.size() - decimals);
            fraction = all.substr(all.size() - decimals);
        }
    }
    fraction += std::string(decimals - fraction.size(), '0');
    bool zero = (integer + fraction).find_first_not_of('0') == std::string::npos;
    std::string text = std::signbit(v) && !zero ? "-" : "";
    text += integer;
    if (decimals > 0) text += separator + fraction;
    return text;
}

// The export's 23-character form: 18 digits, then half up at the 16th.
inline std::string Scientific(double v) {
    auto rightAligned = [](std::string word) { return std::string(23 - word.size(), ' ') + word; };
    if (std::isnan(v)) return rightAligned("Nan");
    if (std::isinf(v)) return rightAligned(v > 0 ? "+Inf" : "-Inf");
    std::string digits = "0";
    int exponent = 0;
    if (v != 0) {
        Decimal d = RoundToEven(Exact(std::fabs(v)), 18);
        digits = d.digits + std::string(18, '0');
        exponent = d.exponent - 1;
        bool up = digits[15] >= '5';
        digits.resize(15);
        if (up && Increment(digits)) {
            digits = "1";
            ++exponent;
        }
    }
    digits += std::string(15, '0');
    std::string magnitude = std::to_string(std::abs(exponent));
    std::string text = std::signbit(v) ? "-" : " ";
    text += digits.substr(0, 1) + "." + digits.substr(1, 14) + "E" + (exponent < 0 ? "-" : "+");
    return text + std::string(4 - magnitude.size(), '0') + magnitude;
}

}  // namespace reference
