// Sorting the grid's rows: values, strings by their shown text, both kinds
// of missing after the valid values in both directions, stable ties, a
// second key, edits moving with their rows; and the row order itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grid/grid_fill.h"
#include "core/grid/grid_sort.h"
#include "core/grid/row_order.h"
#include "tests/core/grid/grid_fixture.h"

namespace {

// The texts of a column from the top, padding removed.
std::vector<std::string> Column(const lv::GridData& grid, int column) {
    std::vector<std::string> texts;
    for (uint32_t r = 0; r < grid.rowCount(); ++r) {
        std::string text;
        grid.AppendCell(text, r, column);
        const size_t first = text.find_first_not_of(' ');
        texts.push_back(first == std::string::npos ? "" : text.substr(first));
    }
    return texts;
}

// AGE with 99 user-missing and a range 900..999, TAG a string, and the
// case's number in N to see where each row went.
fixture::File Ages() {
    fixture::File f = gridtest::Basic();
    auto age = gridtest::Numeric("AGE", 4, 0);
    age.missing.discrete = {99};
    auto range = gridtest::Numeric("R", 4, 0);
    range.missing.range = std::make_pair(900.0, 999.0);
    range.missing.discrete = {-1};
    f.variables = {gridtest::Numeric("N", 3, 0), age, gridtest::String("TAG", 6), range};
    const double S = fixture::kSysmis;
    const std::vector<std::tuple<double, std::string, double>> rows = {
        {30, "b", 5}, {99, "a  ", 950}, {S, "é", -1},  {20, "Z", 2},
        {30, "a", S}, {-5, "", 1000},   {20, "b ", 3}, {99, "", 900},
    };
    for (size_t i = 0; i < rows.size(); ++i)
        f.cases.push_back(
            {double(i + 1), std::get<0>(rows[i]), std::get<1>(rows[i]), std::get<2>(rows[i])});
    return f;
}

class GridOrder : public gridtest::GridFileTest {};

}  // namespace

TEST_F(GridOrder, NumbersByValueWithMissingLastInBothDirections) {
    lv::GridData& grid = Load(Ages());
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, false}));
    // Valid values ascending, ties in file order; user-missing (99) next;
    // system-missing last.
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"6", "4", "7", "1", "5", "2", "8", "3"}));
    grid.ResetOrder();
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, true}));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "5", "4", "7", "6", "2", "8", "3"}));
    // Case numbers move with their rows; edits too.
    EXPECT_EQ(grid.FileRow(0), 0u);
    grid.SetEdit(1, 2, "edited");  // case 5
    grid.ResetOrder();
    std::string text;
    grid.AppendCell(text, 4, 2);
    EXPECT_EQ(text, "edited");
}

TEST_F(GridOrder, ASortUnderASelectionOrdersTheHiddenRowsToo) {
    lv::GridData& grid = Load(Ages());
    grid.SelectRows({0, 3, 4, 6});  // AGE 30, 20, 30, 20
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, false}));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"4", "7", "1", "5"}));
    grid.ClearSelection();
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"6", "4", "7", "1", "5", "2", "8", "3"}));
}

TEST_F(GridOrder, RangesAndADiscreteValueAreMissingAndSortAmongThemselves) {
    lv::GridData& grid = Load(Ages());
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{3, false}));
    // Valid 1000, 2, 3, 5 sorted; -1, 900, 950 user-missing sorted; sysmis.
    EXPECT_EQ(Column(grid, 3),
              (std::vector<std::string>{"2", "3", "5", "1000", "-1", "900", "950", "."}));
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{3, true}));
    EXPECT_EQ(Column(grid, 3),
              (std::vector<std::string>{"1000", "5", "3", "2", "950", "900", "-1", "."}));
}

TEST_F(GridOrder, StringsByShownTextWithoutTrailingBlanksAndStableTies) {
    lv::GridData& grid = Load(Ages());
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{2, false}));
    // Code point order: "" < "Z" < "a" < "b" < "é"; "a  " ties with "a" and
    // "b " with "b", each pair in file order.
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"6", "8", "4", "2", "5", "1", "7", "3"}));
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{2, true}));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"3", "1", "7", "2", "5", "4", "6", "8"}));
}

TEST_F(GridOrder, ASecondSortKeepsTheFirstOrderAmongItsTies) {
    lv::GridData& grid = Load(Ages());
    // By TAG, then by AGE: AGE decides, TAG among AGE's ties.
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{2, false}));
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, false}));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"6", "4", "7", "5", "1", "8", "2", "3"}));
    // The same with both keys at once, the first deciding first.
    grid.ResetOrder();
    const lv::SortKey keys[] = {{1, false}, {2, false}};
    ASSERT_TRUE(lv::SortRows(grid, keys));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"6", "4", "7", "5", "1", "8", "2", "3"}));
}

TEST_F(GridOrder, ACancelledSortLeavesTheOrderAndAGridWithoutCasesHasNothingToSort) {
    lv::GridData& grid = Load(Ages());
    struct Stop : lv::Progress {
        bool Step(uint64_t, uint64_t) override { return false; }
    } stop;
    grid.MoveRow(0, 7);
    const std::vector<uint32_t> before = grid.order().All();
    EXPECT_FALSE(lv::SortRows(grid, lv::SortKey{1, false}, &stop));
    EXPECT_EQ(grid.order().All(), before);

    fixture::File empty = Ages();
    empty.cases.clear();
    lv::GridData& names = Load(empty);
    EXPECT_TRUE(names.namesInDataRow());
    EXPECT_FALSE(lv::SortRows(names, lv::SortKey{0, false}));
}

TEST(RowOrder, MovesRowsAndFindsThemAgainAtFourBytesPerRow) {
    lv::RowOrder order;
    order.Reset(5);
    EXPECT_TRUE(order.identity());
    EXPECT_EQ(order.MemoryBytes(), 0u);
    order.Move(4, 1);
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{0, 4, 1, 2, 3}));
    order.Move(0, 3);
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{4, 1, 2, 0, 3}));
    EXPECT_EQ(order.DisplayRowOf(0), 3u);
    EXPECT_LE(order.MemoryBytes(), 5 * sizeof(uint32_t) + 16);
    // An order that is the file's again costs nothing.
    order.Assign({0, 1, 2, 3, 4});
    EXPECT_TRUE(order.identity());
    order.Move(9, 0);  // out of range: nothing
    EXPECT_TRUE(order.identity());
}

TEST_F(GridOrder, StringsInAFileEncodingSortByTheirDecodedTextNotTheirBytes) {
    fixture::File f = gridtest::Basic();
    f.encoding = "CP932";
    f.characterCode = 0;
    f.variables = {gridtest::Numeric("N", 3, 0), gridtest::String("S", 4)};
    // Ａ (82 60), ア (83 41), 亜 (88 9F), ｱ (B1): byte order is the order
    // written; the shown texts order ア U+30A2, 亜 U+4E9C, Ａ U+FF21, ｱ U+FF71.
    const char* texts[] = {"\xB1", "\x88\x9F", "\x82\x60", "\x83\x41"};
    for (int i = 0; i < 4; ++i) f.cases.push_back({double(i + 1), std::string(texts[i])});
    lv::GridData& grid = Load(f);
    ASSERT_TRUE(lv::SortRows(grid, lv::SortKey{1, false}));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"4", "2", "3", "1"}));
}
