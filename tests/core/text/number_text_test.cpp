#include "core/text/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <vector>

namespace {

// The text by definition: the shortest that reads back, in plain digits
// from 1e-5 to below 1e16, else with an exponent.
std::string Reference(double value) {
    char text[400];
    const double m = std::fabs(value);
    const bool plain = m < 1e16 && (m >= 1e-5 || value == 0);
    const auto r = plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                         : std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

TEST(NumberText, QuickDigitsAreTheShortestTextThatReadsBack) {
    std::vector<double> values = {
        0,    -0.0,   1,       -99,    100000,  0.1,      0.05,
        1e-5, 9.9e-6, 1e-9,    123.45, 1e15,    1e15 - 1, 999999999999999.9,
        1e16, 0.3,    1.0 / 3, 2.5e-3, 82282.1, -7164.43, 4e9,
        1e22};
    std::mt19937_64 random(11);
    for (int i = 0; i < 50000; ++i) {
        const int decimals = static_cast<int>(random() % 12);
        const double whole = static_cast<double>(random() % 10000000000000ULL);
        values.push_back((i % 2 ? -whole : whole) / std::pow(10.0, decimals));
        values.push_back(
            std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 80)));
    }
    for (const double v : values)
        for (const int expected : {0, 2, 9, 16}) {
            std::string out = "x";
            lv::AppendNumberText(out, v, expected);
            ASSERT_EQ(out, "x" + Reference(v)) << v << " " << expected;
            double back = 0;
            ASSERT_EQ(std::from_chars(out.data() + 1, out.data() + out.size(), back).ec,
                      std::errc());
            ASSERT_EQ(back, v);
        }
}

}  // namespace
