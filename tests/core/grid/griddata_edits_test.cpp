// Taking edits back: the last first, through a cell edited twice, with rows
// moved since the edit (the cell is found where its row now stands), and all
// at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/grid/case_store.h"
#include "core/grid/grid_data.h"
#include "core/rendering/column_render.h"

namespace {

// A grid of one numeric column holding 1, 2, 3.
void Fill(lv::GridData& grid) {
    lv::GridLayout layout;
    layout.varCount = 1;
    layout.caseCount = 3;
    lv::GridColumnLayout column;
    column.name = "X";
    column.render = lv::ColumnRender::Make(0, 5, "%8.0f", 8, '.');
    layout.columns = {column};
    auto store = std::make_unique<lv::MemoryCaseStore>(layout);
    for (double v : {1.0, 2.0, 3.0}) {
        lv::GridCell cell;
        cell.kind = lv::GridCell::Kind::Number;
        cell.number = v;
        store->Append(std::span<const lv::GridCell>(&cell, 1));
    }
    grid.Reset(layout, std::move(store));
}

std::string Cell(const lv::GridData& grid, uint32_t row) {
    std::string out;
    grid.AppendCell(out, row, 0);
    return out;
}

}  // namespace

TEST(GridDataEdits, UndoTakesEditsBackLastFirstWhereverTheirRowsStand) {
    lv::GridData grid;
    Fill(grid);
    const std::string one = Cell(grid, 0), three = Cell(grid, 2);
    EXPECT_FALSE(grid.UndoEdit());
    grid.SetEdit(0, 0, "a");
    grid.SetEdit(2, 0, "b");
    grid.SetEdit(0, 0, "c");
    EXPECT_TRUE(grid.IsEdited(0, 0));
    EXPECT_FALSE(grid.IsEdited(1, 0));
    grid.MoveRow(0, 2);  // the first case now stands last

    auto place = grid.UndoEdit();
    ASSERT_TRUE(place);
    EXPECT_EQ(place->displayRow, 2u);
    EXPECT_EQ(Cell(grid, 2), "a");  // the cell's earlier edit again
    place = grid.UndoEdit();
    ASSERT_TRUE(place);
    EXPECT_EQ(place->displayRow, 1u);  // the third case, moved up by one
    EXPECT_EQ(Cell(grid, 1), three);
    EXPECT_FALSE(grid.IsEdited(1, 0));
    EXPECT_TRUE(grid.UndoEdit());
    EXPECT_EQ(Cell(grid, 2), one);
    EXPECT_FALSE(grid.hasEdits());
    EXPECT_FALSE(grid.UndoEdit());

    grid.SetEdit(0, 0, "x");
    grid.SetEdit(1, 0, "y");
    grid.UndoAllEdits();
    EXPECT_FALSE(grid.hasEdits());
    EXPECT_FALSE(grid.UndoEdit());
    EXPECT_EQ(Cell(grid, 2), one);
}
