// A sum of many doubles that keeps the digits plain addition drops: the
// Kahan–Neumaier compensated sum, which carries the low-order part lost at
// each addition in a second term. Millions of large values sum to the last
// digit the result can hold.
#pragma once

#include <cmath>

namespace lv {

class ExactSum {
  public:
    void Add(double x) {
        const double t = sum_ + x;
        if (std::fabs(sum_) >= std::fabs(x))
            carry_ += (sum_ - t) + x;
        else
            carry_ += (x - t) + sum_;
        sum_ = t;
    }
    double value() const { return sum_ + carry_; }

  private:
    double sum_ = 0;
    double carry_ = 0;
};

}  // namespace lv
