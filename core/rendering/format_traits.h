// Print and write formats: the format a file gives each variable (a type
// code, a width and decimals), and the one table of what each type is: its
// name, the kind of value it shows, the widths and decimals it allows.
// Every question the program asks about a format type is answered here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lv {

// The format type codes the files write (the values of the reader's
// SPSS_FMT_... codes).
namespace fmt {
inline constexpr int A = 1, AHEX = 2, COMMA = 3, DOLLAR = 4, F = 5, IB = 6, PIBHEX = 7, P = 8,
                     PIB = 9, PK = 10, RB = 11, RBHEX = 12, Z = 15, N = 16, E = 17, DATE = 20,
                     TIME = 21, DATETIME = 22, ADATE = 23, JDATE = 24, DTIME = 25, WKDAY = 26,
                     MONTH = 27, MOYR = 28, QYR = 29, WKYR = 30, PCT = 31, DOT = 32, CCA = 33,
                     CCB = 34, CCC = 35, CCD = 36, CCE = 37, EDATE = 38, SDATE = 39, MTIME = 40,
                     YMDHMS = 41;
}  // namespace fmt

// A print or write format: F8.2 is {fmt::F, 8, 2}. Type 0 is no format (a
// variable the reader gave none for).
struct PrintFormat {
    int type = 0;
    int width = 0;
    int decimals = 0;
    bool operator==(const PrintFormat&) const = default;
};

// What the values of a format type are and how they look.
enum class FormatCategory : unsigned char {
    None,        // the code is no format type
    Number,      // F; the custom currencies CCA..CCE, shown as F
    Grouped,     // COMMA, DOT, DOLLAR: digits in groups of three
    Percent,     // PCT
    Scientific,  // E
    Zoned,       // N (leading zeros), Z (zoned decimal)
    Binary,      // IB, PIB, P, PK, RB: stored forms, shown as F
    Hex,         // PIBHEX, RBHEX: the stored bytes in hexadecimal
    Date,        // DATE, ADATE, EDATE, JDATE, SDATE: a day
    Period,      // QYR, MOYR, WKYR: the quarter, month or week of a day
    DateTime,    // DATETIME, YMDHMS: a day and a time of day
    Duration,    // TIME, DTIME, MTIME: seconds in hours, days or minutes
    WeekDay,     // WKDAY: 1 (Sunday) .. 7
    Month,       // MONTH: 1 .. 12
    String,      // A, AHEX
};

// The decimals a width leaves room for (never more than 16).
enum class DecimalRoom : unsigned char {
    None,
    WidthLess,     // width - less
    TwiceWidth,    // 2 * width - less: packed decimal, two digits a byte
    IntegerBytes,  // the digits of the largest integer of width bytes
    Sixteen,
};

struct FormatTraits {
    int type = 0;
    std::string_view name;  // empty: the code is no format type
    FormatCategory category = FormatCategory::None;
    int minWidth = 0, maxWidth = 0;
    DecimalRoom room = DecimalRoom::None;
    int less = 0;  // for WidthLess and TwiceWidth
    // Whether a date or time typed as this format writes it (31-JAN-1990,
    // 12:30:00) is read as a value where a condition compares a variable
    // of the format.
    bool typedInput = false;
};

namespace detail {

inline constexpr auto kFormatTraits = [] {
    using C = FormatCategory;
    using R = DecimalRoom;
    return std::to_array<FormatTraits>({
        {fmt::A, "A", C::String, 1, 32767, R::None, 0, false},
        {fmt::AHEX, "AHEX", C::String, 2, 65534, R::None, 0, false},
        {fmt::COMMA, "COMMA", C::Grouped, 1, 40, R::WidthLess, 1, false},
        {fmt::DOLLAR, "DOLLAR", C::Grouped, 2, 40, R::WidthLess, 2, false},
        {fmt::F, "F", C::Number, 1, 40, R::WidthLess, 1, false},
        {fmt::IB, "IB", C::Binary, 1, 8, R::IntegerBytes, 0, false},
        {fmt::PIBHEX, "PIBHEX", C::Hex, 2, 16, R::None, 0, false},
        {fmt::P, "P", C::Binary, 1, 16, R::TwiceWidth, 1, false},
        {fmt::PIB, "PIB", C::Binary, 1, 8, R::IntegerBytes, 0, false},
        {fmt::PK, "PK", C::Binary, 1, 16, R::TwiceWidth, 0, false},
        {fmt::RB, "RB", C::Binary, 2, 8, R::Sixteen, 0, false},
        {fmt::RBHEX, "RBHEX", C::Hex, 4, 16, R::None, 0, false},
        {fmt::Z, "Z", C::Zoned, 1, 40, R::WidthLess, 0, false},
        {fmt::N, "N", C::Zoned, 1, 40, R::WidthLess, 0, false},
        {fmt::E, "E", C::Scientific, 6, 40, R::WidthLess, 7, false},
        {fmt::DATE, "DATE", C::Date, 9, 40, R::None, 0, true},
        {fmt::TIME, "TIME", C::Duration, 5, 40, R::WidthLess, 9, true},
        {fmt::DATETIME, "DATETIME", C::DateTime, 17, 40, R::WidthLess, 21, true},
        {fmt::ADATE, "ADATE", C::Date, 8, 40, R::None, 0, true},
        {fmt::JDATE, "JDATE", C::Date, 5, 40, R::None, 0, true},
        {fmt::DTIME, "DTIME", C::Duration, 8, 40, R::WidthLess, 12, true},
        {fmt::WKDAY, "WKDAY", C::WeekDay, 2, 40, R::None, 0, false},
        {fmt::MONTH, "MONTH", C::Month, 3, 40, R::None, 0, false},
        {fmt::MOYR, "MOYR", C::Period, 6, 40, R::None, 0, true},
        {fmt::QYR, "QYR", C::Period, 6, 40, R::None, 0, false},
        {fmt::WKYR, "WKYR", C::Period, 8, 40, R::None, 0, false},
        {fmt::PCT, "PCT", C::Percent, 2, 40, R::WidthLess, 2, false},
        {fmt::DOT, "DOT", C::Grouped, 1, 40, R::WidthLess, 1, false},
        {fmt::CCA, "CCA", C::Number, 2, 40, R::WidthLess, 1, false},
        {fmt::CCB, "CCB", C::Number, 2, 40, R::WidthLess, 1, false},
        {fmt::CCC, "CCC", C::Number, 2, 40, R::WidthLess, 1, false},
        {fmt::CCD, "CCD", C::Number, 2, 40, R::WidthLess, 1, false},
        {fmt::CCE, "CCE", C::Number, 2, 40, R::WidthLess, 1, false},
        {fmt::EDATE, "EDATE", C::Date, 8, 40, R::None, 0, true},
        {fmt::SDATE, "SDATE", C::Date, 8, 40, R::None, 0, true},
        {fmt::MTIME, "MTIME", C::Duration, 5, 40, R::WidthLess, 6, false},
        {fmt::YMDHMS, "YMDHMS", C::DateTime, 16, 40, R::WidthLess, 20, true},
    });
}();

// kFormatTraits by type code; the codes between hold empty rows.
inline constexpr auto kTraitsByType = [] {
    std::array<FormatTraits, fmt::YMDHMS + 1> byType{};
    for (const FormatTraits& t : kFormatTraits) byType[t.type] = t;
    return byType;
}();
inline constexpr FormatTraits kNoTraits{};

}  // namespace detail

// The traits of a type code; an unknown code has an empty name and the
// category None.
constexpr const FormatTraits& TraitsOf(int type) {
    return type >= 0 && type < static_cast<int>(detail::kTraitsByType.size())
               ? detail::kTraitsByType[type]
               : detail::kNoTraits;
}

constexpr FormatCategory CategoryOf(int type) {
    return TraitsOf(type).category;
}

// The name of a format type code (F, A, DATE, ...); empty for an unknown code.
constexpr std::string_view FormatTypeName(int type) {
    return TraitsOf(type).name;
}

// The most decimals a type shows at width (0..16), and whether it shows
// any at its widest.
int MaxDecimals(int type, int width);
bool TakesDecimals(int type);

// The name and the width, then a point and the decimals where the format
// takes decimals (F8.0, DATETIME20.0) or has some (DATE11.2); strings, dates
// without a time, week days, months and PIBHEX have none (A40, DATE11,
// PIBHEX8). RBHEX is written with its ".0" (RBHEX16.0), and an unknown type
// as "?code?" with its decimals (?99?8.0).
std::string FormatText(const PrintFormat& format);

// A format as a person writes it (F8.2, a20, DATE11, COMMA9): the type's
// name in any letter case, the width, and the decimals after a point; the
// width and decimals within what the type allows. Nothing otherwise.
std::optional<PrintFormat> ParseFormatText(std::string_view text);

// Values of seconds from 14 October 1582 with a calendar date (Date, Period
// and DateTime); of those, the ones with a time of day; durations in seconds.
constexpr bool IsCalendarFormat(int type) {
    const FormatCategory c = CategoryOf(type);
    return c == FormatCategory::Date || c == FormatCategory::Period ||
           c == FormatCategory::DateTime;
}
constexpr bool HasTimeOfDay(int type) {
    return CategoryOf(type) == FormatCategory::DateTime;
}
constexpr bool IsDurationFormat(int type) {
    return CategoryOf(type) == FormatCategory::Duration;
}

// The formats of one day without a time (DATE, ADATE, EDATE, JDATE, SDATE;
// codes 20, 23, 24, 38, 39): the grid and the variable list show their
// values as dates (yyyy/mm/dd) and the statistics a mean or median of them
// as a date. Periods and date-times are numbers there.
constexpr bool IsDayFormat(int type) {
    return CategoryOf(type) == FormatCategory::Date;
}

}  // namespace lv
