#include "core/stats/percentile.h"

#include <limits>

namespace lv {

double WeightedAveragePercentile(std::span<const WeightedValue> values, double p) {
    if (values.empty()) return std::numeric_limits<double>::quiet_NaN();
    double total = 0;
    for (const WeightedValue& v : values) total += v.weight;
    const double t = (total + 1) * p;
    // The last value whose cumulative weight is at most t; t lies g beyond it.
    double cumulative = 0;
    size_t i = 0;
    for (; i < values.size() && cumulative + values[i].weight <= t; ++i)
        cumulative += values[i].weight;
    if (i == values.size()) return values.back().value;
    if (i == 0) return values.front().value;
    const double g = t - cumulative;
    const double below = values[i - 1].value, above = values[i].value;
    // A next value lighter than one case is reached in proportion to its
    // weight.
    const double step = values[i].weight >= 1 ? g : g / values[i].weight;
    if (step >= 1) return above;
    return below + step * (above - below);
}

}  // namespace lv
