// The date and time formats laid out once per column, for the values most
// files hold: whole seconds (or fractions not close to the next second) of
// the years 1582..9999 and durations below some 17,000 years. A calendar
// format's fields all have fixed widths there, so its cell is a copy of the
// blank-padded line with the digits filled in; a duration's fields come
// from integer arithmetic. Other values take the general way.
#pragma once

#include <cstdint>

namespace lv {

struct PrintFormat;

namespace detail {

struct DateLayout {
    enum class Way : unsigned char { General, Calendar, Duration };
    // The fields of a calendar format; a template holds each at most once.
    enum Field : unsigned char {
        Day,        // dd
        YearDay,    // ddd
        Month,      // mm
        MonthName,  // mmm
        Year,       // yyyy
        ShortYear,  // yy
        Quarter,    // q
        Week,       // ww
        Hour,       // HH
        Minute,     // MM
        Second,     // SS
        kFieldCount
    };
    static constexpr int kLineBytes = 48;

    Way way = Way::General;
    // Calendar: the whole cell, blanks and literal characters, and where
    // each field goes in it (-1: not shown).
    char line[kLineBytes] = {};
    signed char at[kFieldCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// The layout of a format at its width and decimals: General for the
// formats that are not dates or times and where seconds show decimals.
DateLayout MakeDateLayout(const PrintFormat& format);

// Exactly format.width bytes into buf (at least kLineBytes long), as
// RenderDateFormat writes them, or -1 when the value takes the general way.
int RenderDateLayout(const PrintFormat& format, const DateLayout& layout, int epoch, double value,
                     char* buf);

}  // namespace detail
}  // namespace lv
