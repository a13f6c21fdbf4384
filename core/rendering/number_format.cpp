#include "core/rendering/number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/rendering/format_digits.h"

namespace lv::detail {
namespace {

// 10^0 .. 10^40 as the nearest doubles (width limits of the formats).
const double kPow10[41] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10,
                           1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21,
                           1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32,
                           1e33, 1e34, 1e35, 1e36, 1e37, 1e38, 1e39, 1e40};

double Pow10(int n) {
    return n >= 0 && n <= 40 ? kPow10[n] : std::pow(10.0, n);
}

// Below 2^52 every double is a multiple of 1/2 or coarser, so a scaled
// magnitude there rounds to the same integer as the exact product unless it
// is exactly a half (see RoundedScaled).
constexpr double kExactLimit = 4503599627370496.0;

// floor(magnitude * 10^decimals + 1/2) when the correctly rounded product
// decides it: the exact product lies within half an ulp of the rounded one,
// so both lie on the same side of every half-integer unless the rounded
// product is one. False in that case and for products of 2^52 or more.
bool RoundedScaled(double magnitude, int decimals, uint64_t& rounded) {
    const double scaled = magnitude * Pow10(decimals);
    if (!(scaled < kExactLimit)) return false;
    const auto whole = static_cast<uint64_t>(scaled);
    const double aboveHalf = (scaled - static_cast<double>(whole)) - 0.5;
    if (aboveHalf == 0.0) return false;
    rounded = whole + (aboveHalf > 0 ? 1 : 0);
    return true;
}

struct NumberStyle {
    std::string_view negPrefix = "-";
    std::string_view prefix, suffix, negSuffix;
    char decimal = '.';
    char grouping = 0;  // 0: none
    int AffixWidth() const { return static_cast<int>(prefix.size() + suffix.size()); }
};

NumberStyle StyleOf(int type, char decimal) {
    const char other = decimal == ',' ? '.' : ',';
    NumberStyle s;
    s.decimal = decimal;
    switch (type) {
        case fmt::COMMA:
            s.grouping = other;
            break;
        case fmt::DOT:
            s.decimal = other;
            s.grouping = decimal;
            break;
        case fmt::DOLLAR:
            s.prefix = "$";
            s.grouping = other;
            break;
        case fmt::PCT:
            s.suffix = "%";
            break;
        default:
            break;
    }
    return s;
}

// Claims request more columns of max for width when they fit.
bool Allocate(int request, int max, int& width) {
    if (width + request > max) return false;
    width += request;
    return true;
}

char* Put(char* p, std::string_view text) {
    // An empty affix may have no storage at all.
    if (text.empty()) return p;
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

char* Blanks(char* p, int n) {
    if (n <= 0) return p;
    std::memset(p, ' ', static_cast<size_t>(n));
    return p + n;
}

// The magnitude of a value as "III.DD..." with two places more than the
// format asks for, and the integer part without its digit when it is 0
// (".50"), from which each narrower text is rounded half away from zero.
// A text ending in exactly "50" is a tie on the two extra places only; it
// is rendered again with about 17 significant digits, which then decide.
class RoundingText {
  public:
    RoundingText(double value, int decimals) {
        negative_ = value < 0;
        const double magnitude = std::fabs(value);
        char wide[400];
        int n = 0;
        uint64_t scaled = 0;
        if (decimals == 0) {
            const double whole = std::round(magnitude);
            // Rounded half away from zero at once; the two places are zeros.
            if (whole < 1e19) {
                n = WriteInteger(wide, static_cast<uint64_t>(whole), 0);  // "123."
            } else {
                n = std::snprintf(wide, 64, "%.0f", whole);
                wide[n++] = '.';
            }
            std::memcpy(wide + n, "00", 3);
            n += 2;
        } else if (RoundedScaled(magnitude, decimals + 2, scaled) && scaled % 100 != 50) {
            n = WriteInteger(wide, scaled, decimals + 2);
        } else {
            n = std::snprintf(wide, sizeof wide, "%.*f", decimals + 2, magnitude);
            if (n >= 2 && wide[n - 2] == '5' && wide[n - 1] == '0') {
                int binaryExponent = 0;
                std::frexp(value, &binaryExponent);
                const int more = 16 - binaryExponent * 3 / 10;
                if (more > decimals + 2)
                    n = std::snprintf(wide, sizeof wide, "%.*f", std::min(more, 340), magnitude);
            }
            n = std::min(n, static_cast<int>(sizeof wide) - 1);
        }
        const char* text = wide;
        if (text[0] == '0') {
            ++text;
            --n;
        }
        integerDigits_ = static_cast<int>(std::strchr(text, '.') - text);
        length_ = std::min(n, integerDigits_ + 1 + decimals + 2);
        std::memcpy(text_, text, static_cast<size_t>(length_));
        leadingZeros_ = static_cast<int>(std::strspn(text_, "0."));
        leadingNines_ = static_cast<int>(std::strspn(text_, "9."));
        leadingZeros_ = std::min(leadingZeros_, length_);
        leadingNines_ = std::min(leadingNines_, length_);
    }

    // The width of the text rounded to decimals, its integer digits and
    // whether it keeps a minus sign (not when it rounds to zero).
    int Width(int decimals, int& integerDigits, bool& negative) const {
        int width = integerDigits_ + (decimals > 0 ? decimals + 1 : 0);
        integerDigits = integerDigits_;
        negative = negative_;
        if (RoundsUp(decimals)) {
            if (leadingNines_ >= width) {
                ++width;
                ++integerDigits;
            }
        } else if (leadingZeros_ >= width) {
            negative = false;
            if (integerDigits_ == 0 && decimals == 0) {
                width = 1;
                integerDigits = 1;
            }
        }
        return width;
    }

    // The digits rounded to decimals ("ddd.dd", or "ddd" for none).
    void Write(int decimals, char* out) const {
        const int base = integerDigits_ + (decimals > 0 ? decimals + 1 : 0);
        if (!RoundsUp(decimals)) {
            if (integerDigits_ == 0 && decimals == 0)
                out[0] = '0';
            else
                std::memcpy(out, text_, static_cast<size_t>(base));
            return;
        }
        if (leadingNines_ < base) {
            std::memcpy(out, text_, static_cast<size_t>(base));
            for (int i = base - 1; i >= 0; --i) {
                if (out[i] == '.') continue;
                if (out[i] != '9') {
                    ++out[i];
                    break;
                }
                out[i] = '0';
            }
            return;
        }
        // All nines: one digit more.
        out[0] = '1';
        std::memset(out + 1, '0', static_cast<size_t>(base));
        if (decimals > 0) out[integerDigits_ + 1] = '.';
    }

  private:
    bool RoundsUp(int decimals) const {
        const int at = integerDigits_ + decimals + 1;
        return at < length_ && text_[at] >= '5';
    }

    // v with places digits after a point ("123.45" for 12345, 2).
    static int WriteInteger(char* out, uint64_t v, int places) {
        char digits[24];
        char* end = digits + sizeof digits;
        char* first = WriteDigitsBackward(end, v, places + 1);
        const int whole = static_cast<int>(end - first) - places;
        std::memcpy(out, first, static_cast<size_t>(whole));
        char* p = out + whole;
        *p++ = '.';
        std::memcpy(p, first + whole, static_cast<size_t>(places));
        p += places;
        *p = '\0';
        return static_cast<int>(p - out);
    }

    char text_[64] = {};
    int length_ = 0;
    int integerDigits_ = 0;
    int leadingZeros_ = 0;
    int leadingNines_ = 0;
    bool negative_ = false;
};

// The exponent of to_chars' scientific text: sign and digits up to end.
int ParseExponent(const char* p, const char* end) {
    const bool negative = *p == '-';
    int exponent = 0;
    for (++p; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    return negative ? -exponent : exponent;
}

// The decimal digits of v (1 for 0): from its binary length, then one
// comparison.
int DigitCount(uint64_t v) {
    const int estimate = (std::bit_width(v | 1) * 1233) >> 12;  // floor or one below
    return estimate + ((v | 1) < kPow10Int[estimate] ? 0 : 1);
}

// Blanks over buf[0, n), eight at a time: up to seven more may follow,
// which the caller then overwrites (buf holds kMaxNumberText bytes).
void FillBlanks(char* buf, int n) {
    for (int i = 0; i < n; i += 8) std::memcpy(buf + i, "        ", 8);
}

// The common case without building the rounding text: the value fits in
// fixed point with its affixes, at the format's decimals or fewer. The
// digits are the same as RoundingText's: the magnitude scaled to two
// places more, then rounded half up on the first place dropped (a scaled
// value ending in exactly 50 is left to RoundingText, whose tie rule needs
// more digits). False when the value needs the general path.
bool RenderFixedPointFast(const PrintFormat& f, const NumberStyle& s, double value, char* buf,
                          int& length) {
    const double magnitude = std::fabs(value);
    uint64_t scaled = 0;
    if (f.decimals == 0) {
        if (!(magnitude < kExactLimit)) return false;
        // Half away from zero; the fraction is exact below 2^52.
        const auto whole = static_cast<uint64_t>(magnitude);
        scaled = whole + (magnitude - static_cast<double>(whole) >= 0.5 ? 1 : 0);
    } else if (!RoundedScaled(magnitude, f.decimals + 2, scaled) || scaled % 100 == 50) {
        return false;
    }
    for (int decimals = f.decimals; decimals >= 0; --decimals) {
        uint64_t rounded = scaled;
        if (f.decimals > 0) {
            if (decimals == f.decimals) {
                rounded = (scaled + 50) / 100;
            } else {
                const uint64_t unit = kPow10Int[f.decimals + 2 - decimals];
                rounded = (scaled + unit / 2) / unit;
            }
        }
        // ".50": no digit for a zero integer part, unless there are no
        // decimals.
        const int allDigits = DigitCount(rounded);
        const int integerDigits = allDigits > decimals ? allDigits - decimals : 0;
        const bool negative = value < 0 && rounded != 0;
        int width = integerDigits + (decimals > 0 ? decimals + 1 : 0) +
                    static_cast<int>(s.negSuffix.size()) + s.AffixWidth();
        if (negative) width += static_cast<int>(s.negPrefix.size());
        if (width > f.width) continue;
        // Grouping goes in whole or not at all, and not when the decimals
        // asked for were all dropped.
        const bool grouping = s.grouping != 0 && integerDigits > 3 &&
                              (f.decimals == 0 || decimals > 0) &&
                              Allocate((integerDigits - 1) / 3, f.width, width);

        FillBlanks(buf, f.width - width);
        length = f.width;
        char* end = buf + f.width - s.negSuffix.size();
        if (negative)
            Put(end, s.negSuffix);
        else
            Blanks(end, static_cast<int>(s.negSuffix.size()));
        end -= s.suffix.size();
        Put(end, s.suffix);
        char* first = nullptr;
        if (!grouping) {
            first = WriteDigitsBackward(end, rounded, integerDigits + decimals);
            if (decimals > 0) {
                // The integer digits one place left, for the point.
                for (char* q = first; q < end - decimals; ++q) q[-1] = q[0];
                --first;
                end[-decimals - 1] = s.decimal;
            }
        } else {
            char digits[24];
            const char* from =
                WriteDigitsBackward(digits + sizeof digits, rounded, integerDigits + decimals);
            first =
                end - (integerDigits + (integerDigits - 1) / 3 + (decimals > 0 ? decimals + 1 : 0));
            char* p = first;
            for (int i = 0; i < integerDigits; ++i) {
                if (i > 0 && (integerDigits - i) % 3 == 0) *p++ = s.grouping;
                *p++ = from[i];
            }
            if (decimals > 0) {
                *p++ = s.decimal;
                std::memcpy(p, from + integerDigits, static_cast<size_t>(decimals));
            }
        }
        first -= s.prefix.size();
        Put(first, s.prefix);
        if (negative) {
            first -= s.negPrefix.size();
            Put(first, s.negPrefix);
        }
        return true;
    }
    return false;
}

// The mantissa of a positive finite magnitude with precision digits after
// the point ("d.ddd", or "d" for none) into out, and its power of ten;
// returns the mantissa's length. Correctly rounded: to nearest, ties to
// even on the exact binary value, as the C library prints it.
int ScientificMantissa(double magnitude, int precision, char* out, int& exponent) {
    // Up to 15 digits, the magnitude scaled by an exact power of ten to
    // 10^(digits-1)..10^digits and rounded there: as for RoundedScaled, the
    // correctly rounded quotient or product lies on the same side of every
    // half-integer as the exact one unless it is one, which goes to to_chars.
    const int digits = precision + 1;
    if (digits <= 15 && magnitude >= 1e-300 && magnitude < 1e300) {
        int binaryExponent = 0;
        std::frexp(magnitude, &binaryExponent);
        int power = ((binaryExponent - 1) * 78913) >> 18;  // floor(log10) or one less
        const auto low = static_cast<double>(kPow10Int[digits - 1]);
        const auto high = static_cast<double>(kPow10Int[digits]);
        for (int tries = 0; tries < 3; ++tries) {
            const int n = digits - 1 - power;
            if (n > 22 || n < -22) break;
            const double scaled =
                n >= 0 ? magnitude * kPow10Double[n] : magnitude / kPow10Double[-n];
            if (scaled < low) {
                --power;
                continue;
            }
            if (scaled > high) {
                ++power;
                continue;
            }
            const auto whole = static_cast<uint64_t>(scaled);
            const double aboveHalf = (scaled - static_cast<double>(whole)) - 0.5;
            if (aboveHalf == 0.0) break;
            uint64_t rounded = whole + (aboveHalf > 0 ? 1 : 0);
            if (rounded == kPow10Int[digits]) {
                rounded = kPow10Int[digits - 1];
                ++power;
            }
            char text[24];
            const char* first = WriteDigitsBackward(text + sizeof text, rounded, digits);
            out[0] = first[0];
            if (precision == 0) {
                exponent = power;
                return 1;
            }
            out[1] = '.';
            std::memcpy(out + 2, first + 1, static_cast<size_t>(precision));
            exponent = power;
            return precision + 2;
        }
    }
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, magnitude,
                                         std::chars_format::scientific, precision);
    (void)ec;  // 64 bytes hold any 16 digits and exponent
    const char* e =
        static_cast<const char*>(std::memchr(text, 'e', static_cast<size_t>(end - text)));
    exponent = ParseExponent(e + 1, end);
    std::memcpy(out, text, static_cast<size_t>(e - text));
    return static_cast<int>(e - text);
}

// Fixed point at the format's decimals or fewer; false when even no
// decimals do not fit (or the affixes do not, when required).
bool RenderFixedPoint(const PrintFormat& f, const NumberStyle& s, const RoundingText& r,
                      bool requireAffixes, char* buf, int& length) {
    for (int decimals = f.decimals; decimals >= 0; --decimals) {
        int integerDigits = 0;
        bool negative = false;
        int width = r.Width(decimals, integerDigits, negative);
        width += static_cast<int>(s.negSuffix.size());
        if (negative) width += static_cast<int>(s.negPrefix.size());
        if (width > f.width) continue;
        const bool affixes = Allocate(s.AffixWidth(), f.width, width);
        if (!affixes && requireAffixes) continue;
        // Grouping goes in whole or not at all, and not when the decimals
        // asked for were all dropped.
        const bool grouping = s.grouping != 0 && integerDigits > 3 &&
                              (f.decimals == 0 || decimals > 0) &&
                              Allocate((integerDigits - 1) / 3, f.width, width);
        char magnitude[64];
        r.Write(decimals, magnitude);

        char* p = Blanks(buf, f.width - width);
        if (negative) p = Put(p, s.negPrefix);
        if (affixes) p = Put(p, s.prefix);
        for (int i = 0; i < integerDigits; ++i) {
            if (grouping && i > 0 && (integerDigits - i) % 3 == 0) *p++ = s.grouping;
            *p++ = magnitude[i];
        }
        if (decimals > 0) {
            *p++ = s.decimal;
            std::memcpy(p, magnitude + integerDigits + 1, static_cast<size_t>(decimals));
            p += decimals;
        }
        if (affixes) p = Put(p, s.suffix);
        p = negative ? Put(p, s.negSuffix) : Blanks(p, static_cast<int>(s.negSuffix.size()));
        length = static_cast<int>(p - buf);
        return true;
    }
    return false;
}

// "E+nnn": the exponent's sign and at least three digits.
char* PutExponent(char* p, int exponent) {
    *p++ = 'E';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    p[0] = static_cast<char>('0' + magnitude / 100);
    p[1] = static_cast<char>('0' + magnitude / 10 % 10);
    p[2] = static_cast<char>('0' + magnitude % 10);
    return p + 3;
}

// d.dddE+nnn: as many fraction digits as the width and decimals allow (at
// most 16), a three-digit exponent; false when it does not fit.
bool RenderScientific(const PrintFormat& f, const NumberStyle& s, double value, bool requireAffixes,
                      char* buf, int& length) {
    const bool negative = value < 0;
    int width = 6 + static_cast<int>(s.negSuffix.size());
    if (negative) width += static_cast<int>(s.negPrefix.size());
    if (width > f.width) return false;
    const bool affixes = Allocate(s.AffixWidth(), f.width, width);
    if (requireAffixes && !affixes) return false;
    int fraction = std::min({f.decimals + 1, f.width - width, 16});
    if (f.type != fmt::E && fraction == 1) fraction = 0;
    width += fraction;

    char digits[64];
    int exponent = 0;
    int mantissa =
        ScientificMantissa(std::fabs(value), std::max(fraction - 1, 0), digits, exponent);
    if (exponent > 999 || exponent < -999) return false;
    if (fraction == 1) digits[mantissa++] = '.';  // "1.E+002"
    if (s.decimal != '.' && mantissa > 1) digits[1] = s.decimal;

    char* p = Blanks(buf, f.width - width);
    if (negative) p = Put(p, s.negPrefix);
    if (affixes) p = Put(p, s.prefix);
    p = Put(p, std::string_view(digits, static_cast<size_t>(mantissa)));
    p = PutExponent(p, exponent);
    if (affixes) p = Put(p, s.suffix);
    p = negative ? Put(p, s.negSuffix) : Blanks(p, static_cast<int>(s.negSuffix.size()));
    length = static_cast<int>(p - buf);
    return true;
}

int RenderNonFinite(const PrintFormat& f, double value, char* buf) {
    if (f.width < 3) return RenderOverflow(f, buf);
    const std::string_view text = std::isnan(value) ? "NaN" : value > 0 ? "+Infinity" : "-Infinity";
    // Its beginning when it is wider than the format, else padded on the left.
    const int shown = std::min(f.width, static_cast<int>(text.size()));
    char* p = Blanks(buf, f.width - shown);
    p = Put(p, text.substr(0, static_cast<size_t>(shown)));
    return static_cast<int>(p - buf);
}

// Everything RenderFixedPointFast leaves: fewer decimals, scientific
// notation, asterisks; kept apart so that its large frame stays off the
// common path.
[[gnu::noinline]] int RenderDecimalGeneral(const PrintFormat& f, char decimal, double value,
                                           char* buf) {
    if (!std::isfinite(value)) return RenderNonFinite(f, value, buf);
    const NumberStyle style = StyleOf(f.type, decimal);
    int length = 0;
    if (f.type != fmt::E && std::fabs(value) < 1.5 * Pow10(f.width)) {
        const RoundingText rounding(value, f.decimals);
        if (RenderFixedPoint(f, style, rounding, true, buf, length) ||
            RenderScientific(f, style, value, true, buf, length) ||
            RenderFixedPoint(f, style, rounding, false, buf, length))
            return length;
    }
    if (RenderScientific(f, style, value, false, buf, length)) return length;
    return RenderOverflow(f, buf);
}

const char kHexDigits[] = "0123456789ABCDEF";

int RenderHexBytes(const unsigned char* bytes, int count, char* buf) {
    for (int i = 0; i < count; ++i) {
        buf[2 * i] = kHexDigits[bytes[i] >> 4];
        buf[2 * i + 1] = kHexDigits[bytes[i] & 15];
    }
    return 2 * count;
}

// The rounded integer digits of value * 10^decimals zero-padded to the
// width, as N and Z show them; false when they need more than the width.
bool ZeroPaddedDigits(double scaled, int width, char* buf) {
    const double whole = std::fabs(std::round(scaled));
    if (!(whole < Pow10(width))) return false;
    char digits[64];
    int n = 0;
    if (whole < 1e19) {
        char* end = digits + sizeof digits;
        char* first = WriteDigitsBackward(end, static_cast<uint64_t>(whole), width);
        n = static_cast<int>(end - first);
        std::memmove(digits, first, static_cast<size_t>(n));
    } else {
        n = std::snprintf(digits, sizeof digits, "%0*.0f", width, whole);
    }
    if (n != width) return false;
    std::memcpy(buf, digits, static_cast<size_t>(n));
    return true;
}

}  // namespace

int RenderMissing(const PrintFormat& f, char* buf) {
    std::memset(buf, ' ', static_cast<size_t>(f.width));
    int at = f.width - 1;
    if (f.type != fmt::N) {
        const int pointOffset = f.type == fmt::PCT ? 2 : f.type == fmt::E ? 5 : 1;
        at = std::max(0, f.width - f.decimals - pointOffset);
    }
    if (f.width > 0) buf[at] = '.';
    return f.width;
}

int RenderOverflow(const PrintFormat& f, char* buf) {
    std::memset(buf, '*', static_cast<size_t>(f.width));
    return f.width;
}

int RenderDecimalFormat(const PrintFormat& f, char decimal, double value, char* buf) {
    if (f.type != fmt::E) {
        int length = 0;
        if (RenderFixedPointFast(f, StyleOf(f.type, decimal), value, buf, length)) return length;
    }
    return RenderDecimalGeneral(f, decimal, value, buf);
}

int RenderN(const PrintFormat& f, double value, char* buf) {
    const double scaled = value * Pow10(f.decimals);
    if (scaled < 0) return RenderMissing(f, buf);
    if (!ZeroPaddedDigits(scaled, f.width, buf)) return RenderOverflow(f, buf);
    return f.width;
}

int RenderZ(const PrintFormat& f, double value, char* buf) {
    const double scaled = value * Pow10(f.decimals);
    if (!(std::fabs(scaled) < Pow10(f.width)) || !ZeroPaddedDigits(scaled, f.width, buf))
        return RenderOverflow(f, buf);
    // A negative value carries its sign in the last digit: } J K ... R.
    if (scaled < 0 && static_cast<int>(std::strspn(buf, "0")) < f.width) {
        char& last = buf[f.width - 1];
        last = "}JKLMNOPQR"[last - '0'];
    }
    return f.width;
}

int RenderPibHex(const PrintFormat& f, double value, char* buf) {
    const double whole = std::round(value);
    const int bytes = f.width / 2;
    if (!std::isfinite(whole) || value < 0 || whole >= std::ldexp(1.0, 8 * bytes))
        return RenderOverflow(f, buf);
    unsigned char be[8] = {};
    auto v = static_cast<uint64_t>(whole);
    for (int i = bytes - 1; i >= 0; --i, v >>= 8) be[i] = static_cast<unsigned char>(v & 255);
    const int n = RenderHexBytes(be, bytes, buf);
    return n + static_cast<int>(Blanks(buf + n, f.width - n) - (buf + n));
}

int RenderRbHex(const PrintFormat& f, double value, char* buf) {
    // The bytes of the double as a little-endian machine stores them.
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char le[8];
    for (int i = 0; i < 8; ++i) le[i] = static_cast<unsigned char>(bits >> (8 * i));
    const int n = RenderHexBytes(le, std::min(f.width / 2, 8), buf);
    return n + static_cast<int>(Blanks(buf + n, f.width - n) - (buf + n));
}

}  // namespace lv::detail
