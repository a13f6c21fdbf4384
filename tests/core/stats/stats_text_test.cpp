// The text of a statistic: figures that read back to themselves at the
// shown precision, values of dates and times in their own format, and
// spreads of them as durations.
#include "core/stats/stats_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/rendering/format_traits.h"

namespace {

lv::DictVariable WithFormat(int type, int width, int decimals) {
    lv::DictVariable v;
    v.name = "X";
    v.print = {type, width, decimals};
    return v;
}

double ReadBack(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

TEST(StatsText, TinyAndHugeFiguresKeepTheirDigits) {
    EXPECT_EQ(lv::StatisticText(12.5, 0), "12.50");
    EXPECT_EQ(lv::StatisticText(0, 0), "0.00");
    EXPECT_EQ(lv::StatisticText(1e-12, 2), "1.0000E-12");
    EXPECT_EQ(lv::StatisticText(-2.5e300, 0), "-2.50E+300");
    // A variable in E12.4 shows its statistics in that format.
    const lv::DictVariable e = WithFormat(lv::fmt::E, 12, 4);
    for (const double x : {1e-12, 2e-12, 4e-12, 1e300}) {
        const std::string location = lv::LocationText(x, e), spread = lv::SpreadText(x, e);
        EXPECT_NE(location.find('E'), std::string::npos) << location;
        EXPECT_NEAR(ReadBack(location) / x, 1, 1e-3) << location;
        EXPECT_NEAR(ReadBack(spread) / x, 1, 1e-3) << spread;
    }
}

TEST(StatsText, TimesAsTheirFormatAndSpreadsAsDurations) {
    // 2001-02-03 04:05:06 in seconds from 14 October 1582.
    const double when = 13'200'552'306;
    const lv::DictVariable stamp = WithFormat(lv::fmt::DATETIME, 20, 0);
    EXPECT_EQ(lv::LocationText(when, stamp), "03-FEB-2001 04:05:06");
    EXPECT_EQ(lv::SpreadText(93'784.5, stamp), "1 02:03:04.50");
    EXPECT_EQ(lv::SpreadText(3 * 86'400, WithFormat(lv::fmt::DATE, 11, 0)), "3 00:00:00.00");
    const lv::DictVariable time = WithFormat(lv::fmt::TIME, 8, 0);
    EXPECT_EQ(lv::LocationText(3'723, time), "01:02:03");
    EXPECT_EQ(lv::SpreadText(59.996, time), "00:01:00.00");
    // Too wide for DATE9 (no two-digit year of this century) or DTIME10.
    EXPECT_EQ(lv::LocationText(10'326'873'600, WithFormat(lv::fmt::DATE, 9, 0)), "12-JAN-1910");
    EXPECT_EQ(lv::LocationText(when, WithFormat(lv::fmt::DTIME, 10, 0)).substr(0, 7), "152784 ");
    EXPECT_EQ(lv::LocationText(0.5, WithFormat(lv::fmt::F, 8, 2)), "0.5000");
}

}  // namespace
