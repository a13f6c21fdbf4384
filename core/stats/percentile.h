// Percentiles by the weighted average at (W + 1)p — the definition the
// common statistics packages use by default (HAVERAGE): with W the sum of
// the weights and t = (W + 1)p, the value at rank t, interpolating between
// the values at the ranks either side of it; below the first rank the
// smallest value, beyond the last the largest.
#ifndef LORIVANE_CORE_STATS_PERCENTILE_H
#define LORIVANE_CORE_STATS_PERCENTILE_H

#include <span>

namespace lv {

struct WeightedValue {
    double value = 0;
    double weight = 0;
};

// values: distinct valid values in ascending order with their weights. NaN
// when there are none. p in [0, 1].
double WeightedAveragePercentile(std::span<const WeightedValue> values, double p);

}  // namespace lv

#endif
