// What the PSPP comparison (tests/cli/dump_formatted_test.cpp) cannot show:
// the calendar both ways over four centuries, formats a file may hold but
// PSPP never writes, the decimal comma, and the grid's formatted switch.
#include "core/rendering/print_format.h"

#include <gtest/gtest.h>

#include <string>

#include "core/rendering/calendar.h"

namespace {

using lv::FormatRender;
using lv::PrintFormat;
namespace fmt = lv::fmt;

std::string Render(PrintFormat f, double v, lv::FormatSettings s = {}) {
    std::string out;
    FormatRender(f, 0, s).AppendNumber(out, v);
    return out;
}

TEST(Calendar, DaysAndDatesAgreeOverFourHundredYearsEitherSideOfDayZero) {
    int64_t day = lv::DayOfDate(1200, 1, 1);
    for (int64_t year = 1200; year < 2000; ++year)
        for (int month = 1; month <= 12; ++month) {
            const int days[] = {
                31, lv::IsLeapYear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            for (int d = 1; d <= days[month - 1]; ++d, ++day) {
                const lv::CalendarDate date = lv::DateOfDay(day);
                ASSERT_EQ(date.year, year);
                ASSERT_EQ(date.month, month);
                ASSERT_EQ(date.day, d);
                ASSERT_EQ(lv::DayOfDate(year, month, d), day);
            }
        }
    EXPECT_EQ(lv::DayOfDate(1582, 10, 14), 0);
    EXPECT_EQ(lv::DateOfDay(59).yearDay, 346);  // 12 December 1582
}

TEST(Calendar, IsoTextsRoundAndFloorAcrossMidnightAndYears) {
    std::string out;
    EXPECT_TRUE(lv::AppendIsoDateTime(out, 13203179130.9996, 3));  // 2001-03-05 13:45:30
    EXPECT_EQ(out, "2001-03-05T13:45:31.000");
    out.clear();
    EXPECT_TRUE(lv::AppendIsoDateTime(out, -1, 0));
    EXPECT_EQ(out, "1582-10-13T23:59:59");
    out.clear();
    EXPECT_TRUE(lv::AppendIsoDate(out, lv::DayOfDate(12000, 2, 29) * lv::kSecondsPerDay));
    EXPECT_EQ(out, "+12000-02-29");
    out.clear();
    EXPECT_FALSE(lv::AppendIsoDate(out, 1e300));
    EXPECT_TRUE(out.empty());
}

TEST(PrintFormat, FormatsTheFileCannotHaveBecomeWhatTheyCanShow) {
    // Decimals the width cannot hold widen it; unknown types, and string
    // formats on numbers (or the reverse), take the defaults.
    EXPECT_EQ(FormatRender::Normalize({fmt::F, 3, 4}, 0), (PrintFormat{fmt::F, 5, 4}));
    EXPECT_EQ(FormatRender::Normalize({fmt::DATE, 5, 0}, 0), (PrintFormat{fmt::DATE, 9, 0}));
    EXPECT_EQ(FormatRender::Normalize({99, 8, 2}, 0), (PrintFormat{fmt::F, 8, 2}));
    EXPECT_EQ(FormatRender::Normalize({fmt::A, 8, 0}, 0), (PrintFormat{fmt::F, 8, 2}));
    EXPECT_EQ(FormatRender::Normalize({fmt::F, 8, 2}, 5), (PrintFormat{fmt::A, 5, 0}));
    EXPECT_EQ(FormatRender::Normalize({fmt::A, 8, 0}, 10), (PrintFormat{fmt::A, 10, 0}));
    EXPECT_EQ(FormatRender::Normalize({fmt::AHEX, 20, 0}, 10), (PrintFormat{fmt::AHEX, 20, 0}));
    EXPECT_EQ(FormatRender::Normalize({fmt::IB, 4, 1}, 0), (PrintFormat{fmt::F, 4, 1}));
}

TEST(PrintFormat, DecimalCommaSwapsEveryNumberFormatButTheText) {
    const lv::FormatSettings comma{',', 0};
    EXPECT_EQ(Render({fmt::COMMA, 10, 2}, 1234.5, comma), "  1.234,50");
    EXPECT_EQ(Render({fmt::DOT, 10, 2}, 1234.5, comma), "  1,234.50");
    EXPECT_EQ(Render({fmt::TIME, 11, 2}, 93784.25, comma), "26:03:04,25");
    EXPECT_EQ(Render({fmt::E, 10, 3}, -0.5, comma), "-5,00E-001");
}

TEST(PrintFormat, StringsAndSysmisFillTheWidth) {
    std::string out;
    FormatRender(PrintFormat{fmt::AHEX, 8, 0}, 4).AppendString(out, "ab", 2);
    EXPECT_EQ(out, "61622020");
    out.clear();
    FormatRender(PrintFormat{fmt::A, 4, 0}, 4).AppendString(out, "abcdef", 0);
    EXPECT_EQ(out, "abcd");
    out.clear();
    FormatRender(PrintFormat{fmt::PCT, 8, 2}, 0).AppendSysmis(out);
    EXPECT_EQ(out, "    .   ");
}

}  // namespace
