#include "core/stats/percentile.h"

#include <limits>

namespace lv {

double WeightedAveragePercentile(std::span<const WeightedValue> values, double p) {
    if (values.empty()) return std::numeric_limits<double>::quiet_NaN();
    double total = 0;
    for (const WeightedValue& v : values) total += v.weight;
    const double t = (total + 1) * p;
    // The first value whose cumulative weight passes rank t - 1: when its
    // cumulative weight passes t too, ranks t - 1 .. t lie within it;
    // otherwise t falls between it and the next value.
    double cumulative = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        cumulative += values[i].weight;
        if (cumulative <= t - 1) continue;
        if (t < cumulative || i + 1 == values.size()) return values[i].value;
        const double fraction = t - cumulative;
        return values[i].value + fraction * (values[i + 1].value - values[i].value);
    }
    return values.back().value;
}

}  // namespace lv
