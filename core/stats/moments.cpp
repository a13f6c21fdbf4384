#include "core/stats/moments.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lv {

Moments MomentsOf(const PowerSums& sums, double shift) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    Moments m;
    const double w = sums.w.value();
    m.weight = w;
    m.mean = m.sum = m.variance = m.seMean = nan;
    m.skewness = m.seSkewness = m.kurtosis = m.seKurtosis = nan;
    if (!(w > 0)) return m;
    const double s1 = sums.d1.value(), s2 = sums.d2.value();
    const double s3 = sums.d3.value(), s4 = sums.d4.value();
    // The central moments from the moments about the shift.
    const double a = s1 / w;
    m.mean = shift + a;
    m.sum = shift * w + s1;
    const double m2 = std::max(s2 - a * s1, 0.0);
    const double m3 = s3 - 3 * a * s2 + 2 * a * a * s1;
    const double m4 = s4 - 4 * a * s3 + 6 * a * a * s2 - 3 * a * a * a * s1;
    if (!(w > 1)) return m;
    m.variance = m2 / (w - 1);
    m.seMean = std::sqrt(m.variance / w);
    if (!(w > 2)) return m;
    m.seSkewness = std::sqrt(6 * w * (w - 1) / ((w - 2) * (w + 1) * (w + 3)));
    const double s = std::sqrt(m.variance);
    if (s > 0) m.skewness = w * m3 / ((w - 1) * (w - 2) * s * s * s);
    if (!(w > 3)) return m;
    m.seKurtosis = std::sqrt(4 * (w * w - 1) * m.seSkewness * m.seSkewness / ((w - 3) * (w + 5)));
    if (s > 0)
        m.kurtosis = (w * (w + 1) * m4 - 3 * m2 * m2 * (w - 1)) /
                     ((w - 1) * (w - 2) * (w - 3) * m.variance * m.variance);
    return m;
}

}  // namespace lv
