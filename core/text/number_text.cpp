#include "core/text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace lv {
namespace {

constexpr double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr int kMaxQuickDecimals = 9;
// Fifteen significant digits or fewer: one such decimal and no other reads
// back as a given double, so the one found is the shortest.
constexpr double kMaxQuickDigits = 1e15;

// Writes value as digits with decimals decimals when some whole n below
// 10^15 gives exactly value as n / 10^decimals (the division of two exact
// doubles rounds as reading the text back does); false otherwise. The
// search starts at the decimals expected: when they fail, fewer fail too.
bool AppendQuick(std::string& out, double value, int expectedDecimals) {
    const double magnitude = std::fabs(value);
    // Below 1e-5 the text takes an exponent, as NumberText says.
    if (!(magnitude < kMaxQuickDigits) || magnitude < 1e-5) return false;
    int decimals = std::clamp(expectedDecimals, 0, kMaxQuickDecimals);
    if (magnitude * kPowersOfTen[decimals] >= kMaxQuickDigits) decimals = 0;
    for (; decimals <= kMaxQuickDecimals; ++decimals) {
        const double scaled = magnitude * kPowersOfTen[decimals];
        if (scaled >= kMaxQuickDigits) return false;
        // The nearest whole number; a candidate only, the test below decides.
        auto whole = static_cast<uint64_t>(scaled + 0.5);
        const bool exact = decimals == 0
                               ? static_cast<double>(whole) == magnitude
                               : static_cast<double>(whole) / kPowersOfTen[decimals] == magnitude;
        if (!exact) continue;
        // A trailing zero is the same number with a decimal fewer.
        while (decimals > 0 && whole % 10 == 0) {
            whole /= 10;
            --decimals;
        }
        char digits[24];
        const auto n =
            static_cast<int>(std::to_chars(digits, digits + sizeof digits, whole).ptr - digits);
        // Sign, "0." and zeros before the digits, or the point among them.
        char text[48];
        char* p = text;
        if (value < 0) *p++ = '-';
        if (n <= decimals) {
            *p++ = '0';
            *p++ = '.';
            for (int i = n; i < decimals; ++i) *p++ = '0';
            p = std::copy(digits, digits + n, p);
        } else {
            p = std::copy(digits, digits + n - decimals, p);
            if (decimals > 0) {
                *p++ = '.';
                p = std::copy(digits + n - decimals, digits + n, p);
            }
        }
        out.append(text, p);
        return true;
    }
    return false;
}

}  // namespace

void AppendNumberText(std::string& out, double value, int expectedDecimals) {
    if (AppendQuick(out, value, expectedDecimals)) return;
    // Plain digits for the magnitudes codes and amounts have, exponents
    // only for the very large and very small.
    char text[400];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude < 1e16 && (magnitude >= 1e-5 || value == 0);
    const auto r = plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                         : std::to_chars(text, text + sizeof text, value);
    out.append(text, r.ptr);
}

std::string NumberText(double value) {
    std::string text;
    AppendNumberText(text, value);
    return text;
}

}  // namespace lv
