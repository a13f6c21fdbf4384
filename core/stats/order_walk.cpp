#include "core/stats/order_walk.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lv {

OrderWalk::OrderWalk(double total, std::span<const double> points) {
    for (double p : points) points_.push_back({(total + 1) * p});
}

void OrderWalk::Add(double value, double weight, int64_t cases) {
    // Each point's percentile lies at the first value whose cumulative
    // weight passes its rank t, g = t - (the cumulative weight before it)
    // beyond the value before: x_i + g (x_i+1 - x_i), or x_i+1 itself once
    // g reaches 1. A value lighter than one case is reached in proportion
    // to its weight. Before the first value the percentile is the first.
    for (Point& p : points_) {
        if (p.found || cumulative_ + weight <= p.rank) continue;
        p.found = true;
        if (!any_) {
            p.value = value;
            continue;
        }
        const double g = p.rank - cumulative_;
        const double step = weight >= 1 ? g : g / weight;
        p.value = step >= 1 ? value : last_ + step * (value - last_);
    }
    cumulative_ += weight;
    any_ = true;
    last_ = value;

    OrderFigures& f = figures_;
    ++f.distinct;
    // Sums of fractional weights in another order may differ in the last
    // digits: those are still ties.
    const double tolerance = 1e-12 * std::max(weight, f.modeWeight);
    if (f.modeCount == 0 || weight > f.modeWeight + tolerance) {
        f.modes.assign(1, value);
        f.modeCount = 1;
        f.modeWeight = weight;
        f.modeCases = cases;
    } else if (weight >= f.modeWeight - tolerance) {
        if (f.modes.size() < kListedModes) f.modes.push_back(value);
        ++f.modeCount;
    }
}

OrderFigures OrderWalk::Finish() const {
    OrderFigures f = figures_;
    for (const Point& p : points_)
        f.percentiles.push_back(p.found ? p.value
                                : any_  ? last_
                                        : std::numeric_limits<double>::quiet_NaN());
    return f;
}

}  // namespace lv
