#include "core/rendering/calendar.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace lv {
namespace {

// Days are counted internally from 1 March of year 0, so that the leap day
// ends each shifted year: a cycle of 400 years has 146097 days, a shifted
// year starts in March and its months have lengths 31, 30, 31, 30, 31, 31,
// 30, 31, 30, 31, 31 and then 28 or 29.
constexpr int64_t kDaysPer400Years = 146097;

constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1 March of year 0 to the first of month (0 = March) of the
// shifted year.
constexpr int64_t DaysBeforeShiftedMonth(int shiftedMonth) {
    return (153 * shiftedMonth + 2) / 5;
}

constexpr int64_t DaysFromMarchZero(int64_t year, int month, int day) {
    const int64_t shiftedYear = month <= 2 ? year - 1 : year;
    const int shiftedMonth = month <= 2 ? month + 9 : month - 3;
    const int64_t cycle = FloorDiv(shiftedYear, 400);
    const int64_t yearOfCycle = shiftedYear - cycle * 400;
    const int64_t dayOfCycle = yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100 +
                               DaysBeforeShiftedMonth(shiftedMonth) + day - 1;
    return cycle * kDaysPer400Years + dayOfCycle;
}

constexpr int64_t kDayZero = DaysFromMarchZero(1582, 10, 14);
static_assert(kDayZero == detail::kDayZeroFromMarchZero);

void AppendYear(std::string& out, int64_t year) {
    if (year >= 0 && year <= 9999) {
        const auto y = static_cast<int>(year);
        const char digits[4] = {
            static_cast<char>('0' + y / 1000), static_cast<char>('0' + y / 100 % 10),
            static_cast<char>('0' + y / 10 % 10), static_cast<char>('0' + y % 10)};
        out.append(digits, 4);
        return;
    }
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%+06lld", static_cast<long long>(year));
    out.append(buf, static_cast<size_t>(n));
}

void AppendTwo(std::string& out, char separator, int value) {
    out += separator;
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

bool IsLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int DefaultEpoch() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return 1970 - 69;
    return local.tm_year + 1900 - 69;
}

int64_t DayOfDate(int64_t year, int month, int day) {
    return DaysFromMarchZero(year, month, day) - kDayZero;
}

CalendarDate DateOfDay(int64_t day) {
    const int64_t fromMarchZero = day + kDayZero;
    const int64_t cycle = FloorDiv(fromMarchZero, kDaysPer400Years);
    // Within the cycle everything fits 32 bits.
    const auto dayOfCycle =
        static_cast<uint32_t>(fromMarchZero - cycle * kDaysPer400Years);  // 0..146096
    // The year of the cycle: every fourth year has a day more, every
    // hundredth one less, and the last day of the cycle belongs to year 399.
    const uint32_t yearOfCycle =
        (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / 146096) / 365;
    const uint32_t dayOfYear =
        dayOfCycle - (365 * yearOfCycle + yearOfCycle / 4 - yearOfCycle / 100);  // from March
    const auto shiftedMonth = static_cast<int>((5 * dayOfYear + 2) / 153);
    CalendarDate d;
    d.day = static_cast<int>(dayOfYear - DaysBeforeShiftedMonth(shiftedMonth) + 1);
    d.month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    d.year = cycle * 400 + yearOfCycle + (d.month <= 2 ? 1 : 0);
    // The shifted year's March to December has 306 days; January and
    // February (59 days, 60 in a leap year) come before March. The cycle
    // starts at a multiple of 400, so the year's place in it says whether
    // it is a leap year.
    const bool leap = (yearOfCycle % 4 == 0 && yearOfCycle % 100 != 0) || yearOfCycle == 0;
    d.yearDay =
        static_cast<int>(d.month <= 2 ? dayOfYear - 306 + 1 : dayOfYear + 59 + (leap ? 1 : 0) + 1);
    return d;
}

bool SplitDateTime(double seconds, DateTimeParts& parts) {
    if (!std::isfinite(seconds)) return false;
    const double days = std::floor(seconds / kSecondsPerDay);
    if (std::fabs(days) > static_cast<double>(kMaxCalendarDays)) return false;
    auto day = static_cast<int64_t>(days);
    double rest = seconds - days * kSecondsPerDay;
    // The division can round across a midnight; the rest says which side.
    if (rest >= kSecondsPerDay) {
        rest -= kSecondsPerDay;
        ++day;
    } else if (rest < 0) {
        rest += kSecondsPerDay;
        --day;
    }
    parts.date = DateOfDay(day);
    const int whole = static_cast<int>(rest);
    parts.hour = whole / 3600;
    parts.minute = whole / 60 % 60;
    parts.second = rest - (whole - whole % 60);
    return true;
}

bool AppendIsoDate(std::string& out, double seconds) {
    DateTimeParts p;
    if (!SplitDateTime(seconds, p)) return false;
    AppendYear(out, p.date.year);
    AppendTwo(out, '-', p.date.month);
    AppendTwo(out, '-', p.date.day);
    return true;
}

ExactSeconds SplitExactSeconds(double seconds) {
    ExactSeconds out;
    char buf[400];
    const auto end = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed).ptr;
    const std::string_view text(buf, static_cast<size_t>(end - buf));
    const size_t point = text.find('.');
    out.whole = std::trunc(seconds);
    if (point == std::string_view::npos) return out;
    out.fraction = text.substr(point + 1);
    if (seconds < 0) {
        // -n.f is -(n + 1) + (1 - 0.f): the digits of 1 - 0.f, counted
        // from the last (which is not 0 in a shortest text).
        out.whole -= 1;
        bool last = true;
        for (size_t i = out.fraction.size(); i-- > 0;) {
            const int digit = out.fraction[i] - '0';
            out.fraction[i] = static_cast<char>('0' + (last ? 10 - digit : 9 - digit));
            last = false;
        }
    }
    return out;
}

bool AppendIsoDateTime(std::string& out, double seconds, int decimals) {
    if (decimals == kExactDecimals) {
        if (!std::isfinite(seconds)) return false;
        const ExactSeconds exact = SplitExactSeconds(seconds);
        DateTimeParts p;
        if (!SplitDateTime(exact.whole, p)) return false;
        AppendYear(out, p.date.year);
        AppendTwo(out, '-', p.date.month);
        AppendTwo(out, '-', p.date.day);
        AppendTwo(out, 'T', p.hour);
        AppendTwo(out, ':', p.minute);
        AppendTwo(out, ':', static_cast<int>(p.second));
        if (!exact.fraction.empty()) out.append(".").append(exact.fraction);
        return true;
    }
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    // Round to the shown decimals first, so that 59.9999 s becomes the next
    // minute rather than a second of 60.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(seconds * scale) / scale;
    DateTimeParts p;
    if (!std::isfinite(rounded) || !SplitDateTime(rounded, p)) return false;
    AppendYear(out, p.date.year);
    AppendTwo(out, '-', p.date.month);
    AppendTwo(out, '-', p.date.day);
    AppendTwo(out, 'T', p.hour);
    AppendTwo(out, ':', p.minute);
    const int whole = static_cast<int>(p.second);
    AppendTwo(out, ':', whole);
    if (decimals > 0) {
        char buf[16];
        const double fraction = std::round((p.second - whole) * scale);
        const int n =
            std::snprintf(buf, sizeof buf, ".%0*.0f", decimals, std::fmin(fraction, scale - 1));
        out.append(buf, static_cast<size_t>(n));
    }
    return true;
}

}  // namespace lv
