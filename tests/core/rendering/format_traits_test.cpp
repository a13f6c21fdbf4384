// The one table of format types against the reader's list of codes, and
// the sets of types each question about a type picks out of it.
#include "core/rendering/format_traits.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/export/table_columns.h"
#include "core/export/xlsx_writer.h"
#include "core/selection/condition_dates.h"
#include "savio/spssfio.h"

namespace {

namespace fmt = lv::fmt;

TEST(FormatTraits, EveryCodeOfTheReaderHasItsNameAndNoOtherCodeHasOne) {
    std::set<int> known;
#define LV_EXPECT_NAME(symbol, code, text)     \
    EXPECT_EQ(lv::FormatTypeName(code), text); \
    EXPECT_EQ(lv::TraitsOf(code).type, code);  \
    known.insert(code);
    SPSS_FORMAT_TYPES(LV_EXPECT_NAME)
#undef LV_EXPECT_NAME
    for (int code = -1; code < 100; ++code) {
        if (known.contains(code)) continue;
        EXPECT_EQ(lv::CategoryOf(code), lv::FormatCategory::None) << code;
    }
}

TEST(FormatTraits, WidthsAndDecimalsStayWithinWhatEachTypeShows) {
    // {type, narrowest, widest, decimals at the narrowest, at the widest}
    const int cases[][5] = {
        {fmt::A, 1, 32767, 0, 0},       {fmt::AHEX, 2, 65534, 0, 0},  {fmt::F, 1, 40, 0, 16},
        {fmt::DOLLAR, 2, 40, 0, 16},    {fmt::E, 6, 40, 0, 16},       {fmt::N, 1, 40, 1, 16},
        {fmt::IB, 1, 8, 3, 16},         {fmt::P, 1, 16, 1, 16},       {fmt::PK, 1, 16, 2, 16},
        {fmt::RB, 2, 8, 16, 16},        {fmt::RBHEX, 4, 16, 0, 0},    {fmt::DATE, 9, 40, 0, 0},
        {fmt::DATETIME, 17, 40, 0, 16}, {fmt::YMDHMS, 16, 40, 0, 16}, {fmt::DTIME, 8, 40, 0, 16},
        {fmt::MTIME, 5, 40, 0, 16},     {fmt::WKYR, 8, 40, 0, 0},     {fmt::CCE, 2, 40, 1, 16}};
    for (const auto& [type, narrowest, widest, fewest, most] : cases) {
        const lv::FormatTraits& t = lv::TraitsOf(type);
        EXPECT_EQ(t.minWidth, narrowest) << t.name;
        EXPECT_EQ(t.maxWidth, widest) << t.name;
        EXPECT_EQ(lv::MaxDecimals(type, narrowest), fewest) << t.name;
        EXPECT_EQ(lv::MaxDecimals(type, widest), most) << t.name;
        EXPECT_EQ(lv::TakesDecimals(type), most > 0) << t.name;
    }
    EXPECT_EQ(lv::MaxDecimals(fmt::TIME, 11), 2);  // HH:MM:SS.ss
    EXPECT_EQ(lv::FormatText({fmt::RBHEX, 16, 0}), "RBHEX16.0");
}

TEST(FormatTraits, EachQuestionPicksItsOwnTypes) {
    std::set<int> calendar, timeOfDay, duration, day, typed, dates, dateTimes, times;
    for (int code = 0; code < 100; ++code) {
        if (lv::IsCalendarFormat(code)) calendar.insert(code);
        if (lv::HasTimeOfDay(code)) timeOfDay.insert(code);
        if (lv::IsDurationFormat(code)) duration.insert(code);
        if (lv::IsDayFormat(code)) day.insert(code);
        if (lv::ReadsFormattedDate(code)) typed.insert(code);
        const lv::ValueKind kind = lv::ValueKindOf({code, 8, 0}, false);
        if (kind == lv::ValueKind::Date) dates.insert(code);
        if (kind == lv::ValueKind::DateTime) dateTimes.insert(code);
        if (kind == lv::ValueKind::Time) times.insert(code);
    }
    EXPECT_EQ(calendar, (std::set<int>{20, 22, 23, 24, 28, 29, 30, 38, 39, 41}));
    EXPECT_EQ(timeOfDay, (std::set<int>{22, 41}));
    EXPECT_EQ(duration, (std::set<int>{21, 25, 40}));
    EXPECT_EQ(day, (std::set<int>{20, 23, 24, 38, 39}));  // the grid's dates
    EXPECT_EQ(typed, (std::set<int>{20, 21, 22, 23, 24, 25, 28, 38, 39, 41}));
    EXPECT_EQ(dates, (std::set<int>{20, 23, 24, 28, 29, 30, 38, 39}));
    EXPECT_EQ(dateTimes, timeOfDay);
    EXPECT_EQ(times, duration);
}

TEST(FormatTraits, SpreadsheetNumberFormatsFollowTheCategory) {
    const auto number = [](int type, int width, int decimals) {
        return lv::XlsxNumberFormat({type, width, decimals}, lv::ValueKind::Number);
    };
    EXPECT_EQ(number(fmt::F, 8, 2), "0.00");
    EXPECT_EQ(number(fmt::CCC, 8, 1), "0.0");
    EXPECT_EQ(number(fmt::Z, 8, 0), "0");
    EXPECT_EQ(number(fmt::N, 5, 0), "00000");
    EXPECT_EQ(number(fmt::COMMA, 9, 2), "#,##0.00");
    EXPECT_EQ(number(fmt::DOT, 9, 0), "#,##0");
    EXPECT_EQ(number(fmt::DOLLAR, 9, 2), "$#,##0.00");
    EXPECT_EQ(number(fmt::PCT, 6, 1), "0.0\"%\"");
    EXPECT_EQ(number(fmt::E, 10, 0), "0.0E+00");
    for (const int general : {fmt::WKDAY, fmt::MONTH, fmt::PIBHEX, fmt::RBHEX, fmt::IB, 99})
        EXPECT_EQ(number(general, 8, 0), "") << general;
}

}  // namespace
