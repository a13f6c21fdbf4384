// Dates as a condition writes them: DATE.DMY's arguments, and a date or
// time typed in the print format of the variable it is compared with. SPSS
// keeps dates as seconds since the start of 14 October 1582.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lv {

// Seconds of the day's start, as DATE.DMY gives them: whole numbers, the
// day 0 to 31 (running on into the next month), the month 0 to 13 (the
// months either side of the year); nothing otherwise or before 15 October
// 1582. Two-digit years fall in the 100 years starting 69 years ago.
std::optional<double> DateSeconds(double day, double month, double year);

// Whether values of print format type are dates or times that
// ParseFormattedDate reads.
bool ReadsFormattedDate(int formatType);

// text read as a value of format type (DATE 31-JAN-1990, ADATE 01/31/1990,
// EDATE 31.01.1990, SDATE 1990/01/31, JDATE 1990031, DATETIME and YMDHMS
// with a time after the date, TIME 12:30:00, DTIME 2 12:30, MOYR JAN 1990;
// any of / - . , : and blanks between the fields, months by number or
// English name). Nothing when it is no such value.
std::optional<double> ParseFormattedDate(std::string_view text, int formatType);

// An example of the format, for messages ("1990/01/31").
std::string DateExample(int formatType);

}  // namespace lv
