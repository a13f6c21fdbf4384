// What the grid's additions see in the cells: value labels in place of the
// values they label, user-missing values, finding cells by their shown
// text, and the text of a copied range.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grid/grid_copy.h"
#include "core/grid/grid_search.h"
#include "core/grid/grid_sort.h"
#include "core/rendering/format_traits.h"
#include "core/text/text_match.h"
#include "tests/core/grid/grid_fixture.h"

namespace {

// CODE (F3.0) labels 1 and 2, 9 user-missing; NAME (A4) labels "ab", "zz"
// user-missing; W (F5.1) plain numbers.
fixture::File Coded() {
    fixture::File f = gridtest::Basic();
    auto code = gridtest::Numeric("CODE", 3, 0);
    code.missing.discrete = {9};
    auto name = gridtest::String("NAME", 4);
    name.missing.strings = {"zz"};
    f.variables = {code, name, gridtest::Numeric("W", 5, 1)};
    f.valueLabels = {{{0}, {{1, "one"}, {2, "two & <b>"}}, {}}, {{1}, {}, {{"ab", "Alpha Beta"}}}};
    const double S = fixture::kSysmis;
    f.cases = {{1.0, std::string("ab"), 1.5},
               {2.0, std::string("cd"), 10.0},
               {9.0, std::string("zz"), 2.5},
               {S, std::string("ab  "), S},
               {3.0, std::string("x\ty"), 1.0}};
    return f;
}

std::string Cell(const lv::GridData& grid, uint32_t row, int column) {
    std::string text;
    grid.AppendCell(text, row, column);
    return text;
}

const std::vector<int> kAll = {0, 1, 2};

class GridCells : public gridtest::GridFileTest {};

}  // namespace

TEST_F(GridCells, LabelsStandInForLabelledValuesOnly) {
    lv::GridData& grid = Load(Coded());
    EXPECT_EQ(Cell(grid, 0, 0), "   1");
    EXPECT_EQ(Cell(grid, 0, 1), "ab  ");
    grid.SetShowLabels(true);
    EXPECT_EQ(Cell(grid, 0, 0), "one");
    EXPECT_EQ(Cell(grid, 1, 0), "two & <b>");
    EXPECT_EQ(Cell(grid, 4, 0), "   3");  // no label: the value's text
    EXPECT_EQ(Cell(grid, 3, 0), "   .");  // system-missing stays "."
    EXPECT_EQ(Cell(grid, 0, 1), "Alpha Beta");
    EXPECT_EQ(Cell(grid, 3, 1), "Alpha Beta");  // the value without its blanks
    EXPECT_EQ(Cell(grid, 1, 1), "cd  ");
    // The export's walk writes what is shown; an edit still wins.
    grid.SetEdit(1, 0, "mine");
    std::vector<std::string> lines(2);
    grid.AppendRows(lines, 0, kAll);
    EXPECT_EQ(lines[0], "one Alpha Beta    1.5 ");
    EXPECT_EQ(lines[1], "mine cd     10.0 ");
    grid.SetShowLabels(false);
    EXPECT_EQ(Cell(grid, 0, 0), "   1");
}

TEST_F(GridCells, UserMissingValuesAreKnownByDiscreteValueAndRange) {
    lv::GridData& grid = Load(Coded());
    EXPECT_TRUE(grid.Describe(2, 0).userMissing);
    EXPECT_TRUE(grid.Describe(2, 1).userMissing);
    EXPECT_FALSE(grid.Describe(0, 0).userMissing);
    EXPECT_FALSE(grid.Describe(3, 0).userMissing);  // system-missing is not user-missing
    EXPECT_EQ(grid.Describe(3, 0).state, lv::CellState::Sysmis);
    ASSERT_NE(grid.Describe(0, 0).label, nullptr);
    EXPECT_EQ(*grid.Describe(0, 0).label, "one");
    EXPECT_EQ(grid.Describe(2, 0).label, nullptr);

    fixture::File f = gridtest::Basic();
    auto range = gridtest::Numeric("R", 5, 0);
    range.missing.range = std::make_pair(fixture::kLowest, 0.0);
    range.missing.discrete = {500};
    f.variables = {range};
    f.cases = {{-3.0}, {0.0}, {0.5}, {500.0}, {499.0}};
    lv::GridData& ranged = Load(f);
    std::vector<bool> missing;
    for (uint32_t r = 0; r < 5; ++r) missing.push_back(ranged.Describe(r, 0).userMissing);
    EXPECT_EQ(missing, (std::vector<bool>{true, true, false, true, false}));
}

TEST(TextMatch, CaseWholeCellAndUnicodeFolding) {
    EXPECT_EQ(lv::FoldCase("ÀＢc Ä"), "àｂc ä");
    const lv::TextMatcher part("AB", {});
    EXPECT_TRUE(part.Matches("  xabx"));
    EXPECT_FALSE(lv::TextMatcher("AB", {true, false}).Matches("xabx"));
    const lv::TextMatcher whole("1.5", {false, true});
    EXPECT_TRUE(whole.Matches("    1.5"));  // padding is not part of the cell
    EXPECT_FALSE(whole.Matches("   11.5"));
    EXPECT_TRUE(lv::TextMatcher("ｂ", {}).Matches("ＡＢＣ"));
    EXPECT_FALSE(lv::TextMatcher("é", {}).Matches("e"));
    EXPECT_TRUE(lv::TextMatcher("", {}).empty());
    EXPECT_FALSE(lv::TextMatcher("", {}).Matches("anything"));
}

TEST_F(GridCells, FindWalksRowsThenColumnsAndWrapsBothWays) {
    lv::GridData& grid = Load(Coded());
    const lv::TextMatcher ab("ab", {});
    EXPECT_EQ(lv::CountMatches(grid, ab, kAll), 2u);
    // From the first cell forwards: the NAME cell of row 0, then row 3.
    lv::FindResult r = lv::FindNext(grid, ab, kAll, {0, 0}, false);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.place, (lv::GridPlace{0, 1}));
    EXPECT_FALSE(r.wrapped);
    r = lv::FindNext(grid, ab, kAll, r.place, false);
    EXPECT_EQ(r.place, (lv::GridPlace{3, 1}));
    r = lv::FindNext(grid, ab, kAll, r.place, false);
    EXPECT_EQ(r.place, (lv::GridPlace{0, 1}));
    EXPECT_TRUE(r.wrapped);
    r = lv::FindNext(grid, ab, kAll, {0, 1}, true);
    EXPECT_EQ(r.place, (lv::GridPlace{3, 1}));
    EXPECT_TRUE(r.wrapped);
    // Labels shown: the label's text is searched, not the value's.
    grid.SetShowLabels(true);
    EXPECT_EQ(lv::CountMatches(grid, ab, kAll), 0u);
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("alpha", {}), kAll), 2u);
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("Alpha", {true, false}), kAll), 2u);
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("alpha", {true, false}), kAll), 0u);
    // Whole cells, one column: 1.0 is "1.0" in W; "1" alone in CODE is a label now.
    const lv::TextMatcher one("1.0", {false, true});
    EXPECT_EQ(lv::CountMatches(grid, one, kAll), 1u);
    const std::vector<int> codeOnly = {0};
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("1", {}), codeOnly), 0u);
    grid.SetShowLabels(false);
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("1", {}), codeOnly), 1u);
    // The only match is the starting cell: found again, after a wrap.
    r = lv::FindNext(grid, lv::TextMatcher("x\ty", {}), kAll, {4, 1}, false);
    EXPECT_TRUE(r.found && r.wrapped);
    EXPECT_EQ(r.place, (lv::GridPlace{4, 1}));
    EXPECT_FALSE(lv::FindNext(grid, lv::TextMatcher("nowhere", {}), kAll, {2, 2}, true).found);
}

TEST_F(GridCells, FindFollowsTheRowsAsTheyStand) {
    lv::GridData& grid = Load(Coded());
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{2, true}));  // W descending: 10.0 first
    const lv::FindResult r = lv::FindNext(grid, lv::TextMatcher("cd", {}), kAll, {0, 0}, false);
    EXPECT_EQ(r.place, (lv::GridPlace{0, 1}));
    std::vector<uint32_t> rows;
    lv::ForEachMatch(grid, lv::TextMatcher(".", {}), kAll, 0, grid.rowCount(),
                     [&](lv::GridPlace p) {
                         rows.push_back(p.row);
                         return true;
                     });
    // Every W text has a point; the sysmis row is last, its "." matching in CODE and W.
    EXPECT_EQ(rows, (std::vector<uint32_t>{0, 1, 2, 3, 4, 4}));
}

TEST_F(GridCells, TheCountIsOfTheRowsShownWhateverTheirOrder) {
    lv::GridData& grid = Load(Coded());
    grid.SelectRows({2, 3, 4});  // zz, "ab  ", "x\ty"
    const lv::TextMatcher x("x", {});
    EXPECT_EQ(lv::CountMatches(grid, x, kAll), 1u);
    EXPECT_EQ(lv::CountMatches(grid, lv::TextMatcher("cd", {}), kAll), 0u);
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, true}));  // NAME descending: x\ty first
    EXPECT_EQ(lv::CountMatches(grid, x, kAll), 1u);
    EXPECT_EQ(lv::FindNext(grid, x, kAll, {2, 2}, false).place, (lv::GridPlace{0, 1}));
}

TEST_F(GridCells, CopiedTextFollowsTheScreenWithoutPaddingAndKeepsCellsApart) {
    lv::GridData& grid = Load(Coded());
    grid.SetEdit(0, 2, "<ed>");
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{2, true}));
    const std::vector<int> moved = {2, 1};
    lv::CopyRange range;
    range.firstRow = 0;
    range.endRow = 3;
    range.withNames = true;
    const auto copied = lv::CopyCells(grid, moved, range);
    ASSERT_TRUE(copied);
    // W descending: 10.0, 2.5, "<ed>" (the edit sorts by the 1.5 beneath it).
    EXPECT_EQ(copied->text, "W\tNAME\n10.0\tcd\n2.5\tzz\n<ed>\tab\n");
    EXPECT_NE(copied->html.find("<tr><th>W</th><th>NAME</th></tr>"), std::string::npos);
    EXPECT_NE(copied->html.find("<tr><td>&lt;ed&gt;</td><td>ab</td></tr>"), std::string::npos);
    // A tab inside a value cannot split it; labels are copied when shown.
    grid.ResetOrder();
    grid.SetShowLabels(true);
    range = {3, 5, false, false};
    const std::vector<int> all = kAll;
    const auto tail = lv::CopyCells(grid, all, range);
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->text, ".\tAlpha Beta\t.\n3\tx y\t1.0\n");
    EXPECT_TRUE(tail->html.empty());
}

TEST(FormatText, NamesWidthsAndDecimalsAsUsuallyWritten) {
    EXPECT_EQ(lv::FormatText({5, 8, 2}), "F8.2");
    EXPECT_EQ(lv::FormatText({5, 8, 0}), "F8.0");
    EXPECT_EQ(lv::FormatText({1, 40, 0}), "A40");
    EXPECT_EQ(lv::FormatText({20, 11, 0}), "DATE11");
    EXPECT_EQ(lv::FormatText({22, 23, 2}), "DATETIME23.2");
    EXPECT_EQ(lv::FormatText({2, 8, 0}), "AHEX8");     // strings take no decimals
    EXPECT_EQ(lv::FormatText({14, 8, 0}), "?14?8.0");  // an unused code
    EXPECT_EQ(lv::FormatText({99, 8, 2}), "?99?8.2");
}
