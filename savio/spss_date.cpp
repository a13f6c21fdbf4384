#include "spss_date.h"

#include <cmath>
#include <cstdint>

namespace savio {
namespace {

// Beyond about 31 million years the day arithmetic would lose exactness.
constexpr double kMaxSeconds = 1e15;
constexpr int64_t kDaysFrom0001To1582Oct14 = 577734;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

bool DateFromSeconds(double seconds, int* day, int* month, int* year) {
    *day = *month = *year = 0;
    if (!std::isfinite(seconds) || std::fabs(seconds) >= kMaxSeconds) return false;
    const auto days = static_cast<int64_t>(std::floor(seconds / 86400.0));
    const int64_t n = days + kDaysFrom0001To1582Oct14;
    const int64_t q400 = FloorDiv(n, 146097);
    int64_t r = n - q400 * 146097;
    int64_t q100 = r / 36524;
    if (q100 > 3) q100 = 3;
    r -= 36524 * q100;
    const int64_t q4 = r / 1461;
    r -= 1461 * q4;
    int64_t q1 = r / 365;
    if (q1 > 3) q1 = 3;
    r -= 365 * q1;
    const int64_t y = 400 * q400 + 100 * q100 + 4 * q4 + q1 + 1;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int m = 0;
    while (m < 11) {
        const int len = kMonthDays[m] + (m == 1 && leap ? 1 : 0);
        if (r < len) break;
        r -= len;
        ++m;
    }
    *year = static_cast<int>(y);
    *month = m + 1;
    *day = static_cast<int>(r) + 1;
    return true;
}

}  // namespace savio
