// The moments of weighted values and the figures made of them, with W the
// sum of the weights, x̄ the weighted mean, s the standard deviation and
// M_k = Σ w (x − x̄)^k:
//   variance      s² = M_2 / (W − 1)                                   W > 1
//   se_mean       s / √W
//   skewness      W M_3 / ((W − 1)(W − 2) s³)                          W > 2
//   se_skewness   √(6 W (W − 1) / ((W − 2)(W + 1)(W + 3)))             W > 2
//   kurtosis      (W (W + 1) M_4 − 3 M_2² (W − 1)) / ((W − 1)(W − 2)(W − 3) s⁴)   W > 3
//   se_kurtosis   √(4 (W² − 1) se_skewness² / ((W − 3)(W + 5)))        W > 3
// the unbiased forms the common statistics packages print; skewness and
// kurtosis need s > 0. The sums are taken of the values less a shift (the
// mean the pass over the cases found, in a second look at the distinct
// values), so that the powers stay small, and compensated, so that
// millions of terms keep their digits; what the shift missed of the mean
// is taken out of the central moments.
#pragma once

#include "core/stats/exact_sum.h"

namespace lv {

struct PowerSums {
    ExactSum w, d1, d2, d3, d4;
    // d: the value less the shift.
    void Add(double d, double weight) {
        const double wd = weight * d, wd2 = wd * d;
        w.Add(weight);
        d1.Add(wd);
        d2.Add(wd2);
        d3.Add(wd2 * d);
        d4.Add(wd2 * d * d);
    }
};

// NaN where a figure does not apply.
struct Moments {
    double weight = 0, mean = 0, sum = 0, variance = 0, seMean = 0;
    double skewness = 0, seSkewness = 0, kurtosis = 0, seKurtosis = 0;
};

// The figures of sums of values less shift.
Moments MomentsOf(const PowerSums& sums, double shift);

}  // namespace lv
