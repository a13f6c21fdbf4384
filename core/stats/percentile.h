// Percentiles by the weighted average at (W + 1)p — the definition the
// common statistics packages use by default (HAVERAGE): with W the sum of
// the weights and t = (W + 1)p, find the last value x_i whose cumulative
// weight cc_i is at most t and let g = t - cc_i: the percentile is x_i
// + g (x_i+1 - x_i), or x_i+1 itself once g reaches 1 (the value at rank
// t lies within x_i+1's weight); with integer weights that is the value at
// rank t interpolated between its neighbouring ranks. Below the first rank
// it is the smallest value, beyond the last the largest; this holds at any
// total weight, also below 1, where t < 1 may still pass light values.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

struct WeightedValue {
    double value = 0;
    double weight = 0;
};

// values: distinct valid values in ascending order with their weights. NaN
// when there are none. p in [0, 1].
double WeightedAveragePercentile(std::span<const WeightedValue> values, double p);

// A percentile asked for: the percent as the user wrote it ("5", "2.5"),
// its value in [0, 100], and the percentile once computed.
struct AskedPercentile {
    std::string text;
    double percent = 0;
    double value = std::numeric_limits<double>::quiet_NaN();
};

// "5,10,90,95": percents from 0 to 100 in plain decimal digits, separated
// by commas (blanks around them allowed), each kept once in the order
// written. False, with out untouched, for anything else; an empty text is
// an empty list.
bool ParsePercentiles(std::string_view text, std::vector<AskedPercentile>& out);

}  // namespace lv
