// The calendar of stored dates: a date value counts seconds from midnight
// at the start of 14 October 1582 in the proleptic Gregorian calendar (day 0
// is that day; earlier days are negative). The print formats, the ISO 8601
// texts of the exports and the dates a condition reads all count days here,
// and the names of the months and the days of the week are listed here once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

inline constexpr double kSecondsPerDay = 86400.0;

// Days are taken from values within this many days of day 0 (some 2.7
// billion years either way); beyond it a value has no calendar date.
inline constexpr int64_t kMaxCalendarDays = int64_t{1} << 40;

// The months' and the week days' English names in upper case, as the
// formats print them (MONTH, WKDAY; the week starts on Sunday). A month's
// abbreviation (DATE's JAN) is the first three letters of its name.
inline constexpr std::string_view kMonthNames[12] = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
inline constexpr std::string_view kWeekdayNames[7] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                                      "THURSDAY", "FRIDAY", "SATURDAY"};

struct CalendarDate {
    int64_t year = 1582;
    int month = 10;     // 1..12
    int day = 14;       // 1..31
    int yearDay = 287;  // 1..366
};

// The date of day number day (0 = 1582-10-14); |day| <= kMaxCalendarDays.
CalendarDate DateOfDay(int64_t day);
// The day number of a date (month 1..12, day 1..31; not checked).
int64_t DayOfDate(int64_t year, int month, int day);
bool IsLeapYear(int64_t year);
// The days of month (1..12) in year.
int DaysInMonth(int64_t year, int month);

// The first year a two-digit year stands for unless the user says
// otherwise: 69 years before the current year (local time).
int DefaultEpoch();

// A value of seconds split into its day and the time of that day, both
// floored: -1 second is 23:59:59 of day -1.
struct DateTimeParts {
    CalendarDate date;
    int hour = 0, minute = 0;
    double second = 0;  // 0 <= second < 60, with the value's fraction
};
// False when the value is not finite or lies beyond kMaxCalendarDays.
bool SplitDateTime(double seconds, DateTimeParts& parts);

// A value of seconds as it is written when every digit counts: whole =
// floor(seconds), and fraction the decimal digits of the rest, as few as
// make the decimal number whole.fraction read back as exactly seconds (none
// for a whole number). seconds must be finite.
struct ExactSeconds {
    double whole = 0;
    std::string fraction;
};
ExactSeconds SplitExactSeconds(double seconds);

// Decimals of a second that ask for ExactSeconds' fraction.
inline constexpr int kExactDecimals = -1;

// ISO 8601 texts of a date value: "yyyy-mm-dd", and "yyyy-mm-ddThh:mm:ss"
// with decimals (0..9) digits of the second after a ".", or with
// kExactDecimals the value's own fraction of a second (none when it has
// none). Years outside 0..9999 take a sign and at least five digits.
// Nothing is appended (and false returned) when SplitDateTime fails.
bool AppendIsoDate(std::string& out, double seconds);
bool AppendIsoDateTime(std::string& out, double seconds, int decimals);

namespace detail {
// Days from 1 March of year 0 to day 0: three cycles of 400 years, 382
// years with their leap days, March to September, 13 days.
inline constexpr int64_t kDayZeroFromMarchZero =
    3 * 146097 + 382 * 365 + 382 / 4 - 382 / 100 + (153 * 7 + 2) / 5 + 13;
}  // namespace detail

// DateOfDay for the days 0 .. kNearDays - 1 (to the year 24000 or so), for
// the print formats' cells: in 32-bit arithmetic with the divisions by the
// lengths of centuries, years and months done as multiplications and
// shifts. Counted from 1 March of year 0: the quarter days of the
// Gregorian cycle of 146097 days give the century and the day in it; a
// century's 36524.25 days per 100 years, scaled by 2^32 / 36524.25 * 25,
// give the year and the day in it; 153 days per 5 months from March,
// scaled by 2^16, give the month and the day.
inline constexpr int64_t kNearDays = int64_t{1} << 23;
inline CalendarDate DateOfNearDay(int64_t day) {
    const auto fromMarchZero = static_cast<uint32_t>(day + detail::kDayZeroFromMarchZero);
    const uint32_t quarterDays = 4 * fromMarchZero + 3;
    const uint32_t century = quarterDays / 146097;
    const uint32_t dayOfCentury = quarterDays % 146097 / 4;
    const uint64_t scaled = uint64_t{2939745} * (4 * dayOfCentury + 3);
    const auto yearOfCentury = static_cast<uint32_t>(scaled >> 32);
    const uint32_t dayOfYear = static_cast<uint32_t>(scaled) / 2939745 / 4;  // from March
    const uint32_t monthDay = 2141 * dayOfYear + 197913;
    const auto shiftedYear = static_cast<int64_t>(100 * century + yearOfCentury);
    const bool januaryOrFebruary = dayOfYear >= 306;
    CalendarDate d;
    d.month = static_cast<int>(monthDay >> 16) - (januaryOrFebruary ? 12 : 0);
    d.day = static_cast<int>((monthDay & 0xFFFF) / 2141) + 1;
    d.year = shiftedYear + (januaryOrFebruary ? 1 : 0);
    const bool leap =
        shiftedYear % 4 == 0 && (yearOfCentury != 0 || century % 4 == 0);  // of March's year
    d.yearDay = static_cast<int>(januaryOrFebruary ? dayOfYear - 306 + 1
                                                   : dayOfYear + 59 + (leap ? 1 : 0) + 1);
    return d;
}

}  // namespace lv
