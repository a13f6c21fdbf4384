// What the PSPP comparison (tests/cli/dump_formatted_test.cpp) cannot show:
// the calendar both ways over four centuries, formats a file may hold but
// PSPP never writes, the decimal comma, the grid's formatted switch, and
// the shortcuts of the common values against the general way.
#include "core/rendering/print_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/rendering/calendar.h"
#include "core/rendering/date_format.h"
#include "core/rendering/date_layout.h"

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
    for (int64_t year = 1200; year < 2000; ++year) {
        int yearDay = 1;
        for (int month = 1; month <= 12; ++month) {
            const int days[] = {
                31, lv::IsLeapYear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            for (int d = 1; d <= days[month - 1]; ++d, ++day, ++yearDay) {
                const lv::CalendarDate date = lv::DateOfDay(day);
                ASSERT_EQ(date.year, year);
                ASSERT_EQ(date.month, month);
                ASSERT_EQ(date.day, d);
                ASSERT_EQ(date.yearDay, yearDay);
                ASSERT_EQ(lv::DayOfDate(year, month, d), day);
            }
        }
    }
    EXPECT_EQ(lv::DayOfDate(1582, 10, 14), 0);
    EXPECT_EQ(lv::DateOfDay(59).yearDay, 346);  // 12 December 1582
}

TEST(Calendar, NearDaysTakeTheDatesOfEveryOtherDay) {
    for (int64_t day = 0; day < lv::kNearDays; ++day) {
        const lv::CalendarDate near = lv::DateOfNearDay(day), date = lv::DateOfDay(day);
        ASSERT_TRUE(near.year == date.year && near.month == date.month && near.day == date.day &&
                    near.yearDay == date.yearDay)
            << day;
    }
    EXPECT_EQ(lv::DaysInMonth(1900, 2), 28);
    EXPECT_EQ(lv::DaysInMonth(2000, 2), 29);
    EXPECT_EQ(lv::DaysInMonth(2001, 12), 31);
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
    // A value longer than its A format is cut between characters, never
    // inside one: "日本語" in A5 of UTF-8 is one character and two blanks.
    FormatRender(PrintFormat{fmt::A, 5, 0}, 5).AppendString(out, "日本語", 0, lv::CharLayout::Utf8);
    EXPECT_EQ(out, "日  ");
    out.clear();
    FormatRender(PrintFormat{fmt::PCT, 8, 2}, 0).AppendSysmis(out);
    EXPECT_EQ(out, "    .   ");
}

TEST(PrintFormat, DateLayoutsWriteWhatTheGeneralWayWrites) {
    // Whole seconds, milliseconds, and fractions just short of the next
    // second (where the layouts step aside), around midnights and hours.
    std::mt19937_64 random(11);
    std::vector<double> values = {1, 59.9995, 86399.9999, 86400, 13744980610.9999999, 1e12};
    for (int i = 0; i < 3000; ++i) {
        const double day = static_cast<double>(random() % 3000000) * 86400;
        values.push_back(day + static_cast<double>(random() % 86400));
        values.push_back(day + static_cast<double>(random() % 86400000) / 1000);
        values.push_back(day - static_cast<double>(random() % 1000) / 1e6);
        values.push_back(-static_cast<double>(random() % 100000000) / 100);
    }
    const int types[] = {fmt::DATE,  fmt::ADATE,    fmt::EDATE, fmt::JDATE, fmt::SDATE,
                         fmt::QYR,   fmt::MOYR,     fmt::WKYR,  fmt::TIME,  fmt::DTIME,
                         fmt::MTIME, fmt::DATETIME, fmt::YMDHMS};
    for (const int type : types)
        for (const int width : {5, 8, 10, 13, 17, 19, 20, 22, 40})
            for (const int decimals : {0, 2}) {
                const PrintFormat f = FormatRender::Normalize({type, width, decimals}, 0);
                const lv::detail::DateLayout layout = lv::detail::MakeDateLayout(f);
                for (const double v : values) {
                    char fast[lv::kMaxNumberText], general[lv::kMaxNumberText];
                    const int n = lv::detail::RenderDateLayout(f, layout, 1950, v, fast);
                    if (n < 0) continue;
                    const int m = lv::detail::RenderDateFormat(f, '.', 1950, v, general);
                    ASSERT_EQ(std::string(fast, n), std::string(general, m))
                        << type << " " << f.width << "." << f.decimals << " " << v;
                }
            }
}

TEST(PrintFormat, ScientificDigitsAreTheCLibrarysCorrectlyRoundedOnes) {
    // Random magnitudes, and decimal halves that a double holds only
    // approximately (or exactly: 0.125).
    std::mt19937_64 random(5);
    std::vector<double> values = {0.125, 1.2345, 2.5e-5, 9.9995, 9.99949999, 1e22, 5e-324};
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::ldexp(static_cast<double>(random() >> 11),
                                    static_cast<int>(random() % 300) - 180));
    for (const PrintFormat f : {PrintFormat{fmt::E, 10, 3}, PrintFormat{fmt::E, 12, 4},
                                PrintFormat{fmt::E, 20, 12}, PrintFormat{fmt::E, 23, 16}}) {
        const int precision = std::min(f.decimals, 15);
        for (const double v : values) {
            char digits[64];
            std::snprintf(digits, sizeof digits, "%.*E", precision, v);
            const char* e = std::strchr(digits, 'E');
            char expected[64];
            std::snprintf(expected, sizeof expected, "%*.*sE%c%03d", f.width - 5,
                          static_cast<int>(e - digits), digits, e[1], std::abs(std::atoi(e + 1)));
            ASSERT_EQ(Render(f, v), expected) << v;
        }
    }
}

}  // namespace
