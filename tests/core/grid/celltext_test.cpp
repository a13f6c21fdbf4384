#include <gtest/gtest.h>

#include <cmath>

#include "core/grid/grid_load.h"
#include "core/rendering/column_render.h"
#include "core/state/errors.h"
#include "tests/core/grid/grid_support.h"

using lv::ColumnRender;

namespace {

std::string Number(const ColumnRender& r, double v) {
    std::string out;
    r.AppendValue(out, v);
    return out;
}

std::string Sysmis(const ColumnRender& r) {
    std::string out;
    r.AppendSysmis(out);
    return out;
}

}  // namespace

TEST(ColumnPixels, EachWidthRuleWithBase68) {
    int widened = 0;
    EXPECT_EQ(lv::ColumnPixels(68, 9, 3, widened), 76);
    EXPECT_EQ(widened, 9);
    EXPECT_EQ(lv::ColumnPixels(68, 10, 3, widened), 85);
    EXPECT_EQ(lv::ColumnPixels(68, 11, 3, widened), 93);
    EXPECT_EQ(lv::ColumnPixels(68, 12, 3, widened), 102);
    EXPECT_EQ(lv::ColumnPixels(68, 20, 8, widened), 170);
    EXPECT_EQ(lv::ColumnPixels(68, 8, 8, widened), 68);
    EXPECT_EQ(widened, 8);
    // w < 8: n = max(w + 1, name bytes, 4).
    EXPECT_EQ(lv::ColumnPixels(68, 5, 3, widened), 51);
    EXPECT_EQ(widened, 6);
    EXPECT_EQ(lv::ColumnPixels(68, 1, 2, widened), 34);
    EXPECT_EQ(widened, 4);
    EXPECT_EQ(lv::ColumnPixels(68, 3, 6, widened), 51);
    EXPECT_EQ(widened, 6);
    EXPECT_EQ(lv::ColumnPixels(68, 4, 2, widened), 42);
    EXPECT_EQ(lv::ColumnPixels(68, 6, 1, widened), 59);
    EXPECT_EQ(widened, 7);
}

TEST(CellText, NumbersAreAlignedToTheWidthWithAtMostTenSpaces) {
    // Width 5 widened to 6: a 5-character text gets one space.
    const ColumnRender w6 = ColumnRender::Make(0, 5, "%5.1f", 6, '.');
    EXPECT_EQ(Number(w6, 12.5), "  12.5");
    EXPECT_EQ(Sysmis(w6), "     .");
    // Width 40: system-missing gets ten spaces, not thirty-nine.
    const ColumnRender w40 = ColumnRender::Make(0, 5, "%40.2f", 40, '.');
    EXPECT_EQ(Sysmis(w40), std::string(10, ' ') + ".");
    EXPECT_EQ(Number(w40, 1.5), std::string(36, ' ') + "1.50");
    // A text longer than the width is shown whole, with no space.
    const ColumnRender w4 = ColumnRender::Make(0, 5, "%4.2f", 4, '.');
    EXPECT_EQ(Number(w4, 123456.789), "123456.79");
    EXPECT_EQ(Number(w4, 0.125), "0.13");
}

TEST(CellText, TheDecimalSeparatorCapturedAtLoadIsUsed) {
    const ColumnRender r = ColumnRender::Make(0, 5, "%8.2f", 8, ',');
    EXPECT_EQ(Number(r, 3.14159), "    3,14");
}

TEST(CellText, DatesShowAsYearMonthDayAlignedInWidth11) {
    const ColumnRender r = ColumnRender::Make(0, 20, "%4d/%2.2d/%2.2d", 11, '.');
    EXPECT_EQ(r.kind(), ColumnRender::Kind::Date);
    EXPECT_EQ(Number(r, gridtest::SpssDate(2001, 3, 5)), " 2001/03/05");
    EXPECT_EQ(Sysmis(r), std::string(10, ' ') + ".");
}

TEST(CellText, StringsGetOnlyTheSpacesTheirSpecifierGives) {
    const ColumnRender r = ColumnRender::Make(8, 1, "%8s", 8, '.');
    std::string out;
    r.AppendText(out, "abc");
    EXPECT_EQ(out, "     abc");
    out.clear();
    r.AppendText(out, "abcdefghij");
    EXPECT_EQ(out, "abcdefghij");
    EXPECT_FALSE(r.raises());
}

TEST(CellText, ASpecifierThatDoesNotFitItsValueKindIsKnownBeforeAnyValue) {
    const ColumnRender numberAsText = ColumnRender::Make(0, 5, "%8s", 8, '.');
    EXPECT_TRUE(numberAsText.raises());
    EXPECT_EQ(numberAsText.error().Text(0), "%8s");
    const ColumnRender textAsNumber = ColumnRender::Make(8, 1, "%8.2f", 8, '.');
    EXPECT_TRUE(textAsNumber.raises());
    EXPECT_EQ(textAsNumber.error().Text(0), "%8.2f");
    // The date specifier on a plain number wants more arguments.
    EXPECT_TRUE(ColumnRender::Make(0, 5, "%4d/%2.2d/%2.2d", 11, '.').raises());
    EXPECT_FALSE(ColumnRender::Make(0, 5, "%8.2f", 8, '.').raises());
}

TEST(CellText, NotANumberCountsAsSysmis) {
    EXPECT_TRUE(lv::IsShownAsSysmis(NAN, -1e308));
    EXPECT_TRUE(lv::IsShownAsSysmis(-1e308, -1e308));
    EXPECT_FALSE(lv::IsShownAsSysmis(0, -1e308));
}
