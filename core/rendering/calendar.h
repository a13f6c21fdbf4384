// The calendar of stored dates: a date value counts seconds from midnight
// at the start of 14 October 1582 in the proleptic Gregorian calendar (day 0
// is that day; earlier days are negative). The print formats and the ISO
// 8601 texts of the exports both split values here.
#pragma once

#include <cstdint>
#include <string>

namespace lv {

inline constexpr double kSecondsPerDay = 86400.0;

// Days are taken from values within this many days of day 0 (some 2.7
// billion years either way); beyond it a value has no calendar date.
inline constexpr int64_t kMaxCalendarDays = int64_t{1} << 40;

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

// A value of seconds split into its day and the time of that day, both
// floored: -1 second is 23:59:59 of day -1.
struct DateTimeParts {
    CalendarDate date;
    int hour = 0, minute = 0;
    double second = 0;  // 0 <= second < 60, with the value's fraction
};
// False when the value is not finite or lies beyond kMaxCalendarDays.
bool SplitDateTime(double seconds, DateTimeParts& parts);

// ISO 8601 texts of a date value: "yyyy-mm-dd", and "yyyy-mm-ddThh:mm:ss"
// with decimals (0..9) digits of the second after a ".". Years outside
// 0..9999 take a sign and at least five digits. Nothing is appended (and
// false returned) when SplitDateTime fails.
bool AppendIsoDate(std::string& out, double seconds);
bool AppendIsoDateTime(std::string& out, double seconds, int decimals);

}  // namespace lv
