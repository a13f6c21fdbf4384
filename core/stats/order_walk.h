// What the order of a variable's valid values gives — percentiles, the
// modes, the number of distinct values — taken in one walk over the
// distinct values in ascending order, so that the values can come from a
// table held whole or a window at a time from further passes (order_pass).
// Percentiles are the weighted average at (W + 1)p (percentile.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lv {

// The modes listed at most; the count says how many there are.
inline constexpr size_t kListedModes = 100;

struct OrderFigures {
    std::vector<double> percentiles;  // at the points asked for, NaN without values
    // The most frequent values (equal weights, to rounding) in ascending
    // order, the first kListedModes of them; modeCount counts them all.
    std::vector<double> modes;
    size_t modeCount = 0;
    double modeWeight = 0;
    int64_t modeCases = 0;
    size_t distinct = 0;
};

class OrderWalk {
  public:
    // total: the sum of the weights of the values to come; points in [0, 1].
    OrderWalk(double total, std::span<const double> points);
    // The next distinct value, above every value before it.
    void Add(double value, double weight, int64_t cases);
    // Once every value was added.
    OrderFigures Finish() const;

  private:
    struct Point {
        double rank = 0;
        bool found = false;
        double value = 0;
    };
    std::vector<Point> points_;
    double cumulative_ = 0;
    bool any_ = false;
    double last_ = 0;
    OrderFigures figures_;
};

}  // namespace lv
