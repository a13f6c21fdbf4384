// The grid's row walk (the export's lines) gives, cell for cell, the bytes
// the grid gives one cell at a time: one-byte code columns, wider and
// widened columns, sysmis, unread cells, strings, edits, moved columns and
// rows in a changed order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/grid/case_store.h"
#include "core/grid/cell_block.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_load.h"
#include "core/rendering/column_render.h"

namespace {

lv::GridColumnLayout Column(std::string name, int stringWidth, const char* pattern, int width) {
    lv::GridColumnLayout c;
    c.name = std::move(name);
    c.stringWidth = stringWidth;
    c.render = lv::ColumnRender::Make(stringWidth, stringWidth ? 1 : 5, pattern, width, '.');
    return c;
}

std::string CellByCell(const lv::GridData& grid, uint32_t row, const std::vector<int>& columns) {
    std::string out;
    for (int c : columns) {
        grid.AppendCell(out, row, c);
        out.push_back(' ');
    }
    return out;
}

}  // namespace

TEST(GridDataRows, RowWalkEqualsCellByCell) {
    lv::GridLayout layout;
    layout.varCount = 4;
    layout.caseCount = 6;
    layout.columns = {Column("CODE", 0, "%8.2f", 8), Column("WIDENS", 0, "%8.2f", 11),
                      Column("NAME", 5, "%s", 5), Column("HALF", 0, "%8.1f", 8)};
    auto owned = std::make_unique<lv::MemoryCaseStore>(layout);
    lv::MemoryCaseStore& store = *owned;
    lv::GridData grid;
    grid.Reset(layout, std::move(owned));
    using K = lv::GridCell::Kind;
    auto cell = [](K kind, double number = 0, std::string_view text = {}) {
        lv::GridCell c;
        c.kind = kind;
        c.number = number;
        c.text = text;
        return c;
    };
    const std::vector<std::vector<lv::GridCell>> cases = {
        {cell(K::Number, 1), cell(K::Number, 3), cell(K::Text, 0, "ab   "), cell(K::Number, 0.5)},
        {cell(K::Sysmis), cell(K::Number, -2), cell(K::Text, 0, "     "), cell(K::Number, -1.5)},
        {cell(K::Unread), cell(K::Number, 1234.25), cell(K::Unread), cell(K::Sysmis)},
        {cell(K::Number, -127), cell(K::Sysmis), cell(K::Text, 0, "xyz"), cell(K::Number, 12.5)},
        {cell(K::Number, 5), cell(K::Number, 1e300), cell(K::Text, 0, "abcde"), cell(K::Unread)},
        {cell(K::Number, 1)},  // a case cut short
    };
    for (const auto& c : cases) store.Append(c);

    const std::vector<int> inOrder = {0, 1, 2, 3};
    const std::vector<int> moved = {3, 0, 2, 1};
    auto expectWalksAgree = [&](const char* what) {
        for (uint32_t row = 0; row < 6; ++row) {
            for (const auto& columns : {inOrder, moved}) {
                std::string walked;
                grid.AppendRow(walked, row, columns);
                EXPECT_EQ(walked, CellByCell(grid, row, columns)) << what << " row " << row;
            }
        }
        // Blocks walked a column at a time, from the top and from the middle.
        for (uint32_t first : {0u, 2u}) {
            std::vector<std::string> lines(6 - first);
            grid.AppendRows(lines, first, moved);
            for (uint32_t i = 0; i < lines.size(); ++i)
                EXPECT_EQ(lines[i], CellByCell(grid, first + i, moved))
                    << what << " row " << first + i;
        }
    };
    expectWalksAgree("file order");
    std::string first;
    grid.AppendRow(first, 0, inOrder);
    EXPECT_EQ(first, "    1.00        3.00 ab         0.5 ");

    grid.SetOrder({5, 2, 0, 4, 1, 3});
    expectWalksAgree("changed order");
    std::string top;
    grid.AppendRow(top, 2, inOrder);
    EXPECT_EQ(top, first);  // file row 0 now stands third

    // An edit is walked like any other cell and stays with its case.
    grid.SetEdit(2, 0, "edited");
    expectWalksAgree("edited");
    grid.ResetOrder();
    std::string edited;
    grid.AppendRow(edited, 0, inOrder);
    EXPECT_EQ(edited.substr(0, 7), "edited ");
    // Past the last row a line holds the separators alone.
    std::vector<std::string> past(2);
    grid.AppendRows(past, 5, inOrder);
    EXPECT_EQ(past[1], "    ");
}

// A gathered block holds each column as its layout says, its strings
// copied out of the store (they outlive the store's next call), and reads
// a column of the other kind as empty.
TEST(GridDataRows, GatheredBlocksHoldTheStoreCells) {
    lv::GridLayout layout;
    layout.varCount = 2;
    layout.caseCount = 3;
    layout.columns = {Column("N", 0, "%8.2f", 8), Column("S", 4, "%s", 4)};
    auto owned = std::make_unique<lv::MemoryCaseStore>(layout);
    lv::MemoryCaseStore& store = *owned;
    lv::GridData grid;
    grid.Reset(layout, std::move(owned));
    using K = lv::GridCell::Kind;
    store.Append(std::vector<lv::GridCell>{{K::Number, 2.5, {}}, {K::Text, 0, "ab  "}});
    store.Append(std::vector<lv::GridCell>{{K::Sysmis, 0, {}}, {K::Unread, 0, {}}});
    store.Append(std::vector<lv::GridCell>{{K::Unread, 0, {}}, {K::Text, 0, "wxyz"}});
    lv::CellBlock block;
    const std::vector<int> columns = {1, 0};
    const std::vector<uint32_t> rows = {2, 0, 1, 7};
    block.Gather(grid, columns, rows);
    ASSERT_EQ(block.rows(), 4u);
    lv::StringCell other;
    const uint32_t first[] = {0};
    grid.store().GatherStrings(1, first, &other);  // the store's own views move on
    EXPECT_TRUE(block.isText(0));
    EXPECT_EQ(block.Text(0, 0), "wxyz");
    EXPECT_EQ(block.Text(0, 1), "ab  ");
    EXPECT_EQ(block.State(0, 2), lv::CellState::Empty);
    EXPECT_EQ(block.Text(0, 3), "");
    EXPECT_EQ(block.Number(0, 0), 0);
    EXPECT_EQ(block.State(1, 0), lv::CellState::Empty);
    EXPECT_EQ(block.NumberAt(1, 1).value, 2.5);
    EXPECT_EQ(block.State(1, 2), lv::CellState::Sysmis);
    EXPECT_EQ(block.Text(1, 1), "");
}
