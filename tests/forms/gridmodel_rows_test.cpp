// The export's row walk over the model gives, cell for cell, the bytes the
// model gives one cell at a time: one-byte code columns (their texts kept per
// code), wider and widened columns, sysmis, unread cells, strings and edits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/celltext.h"
#include "core/gridload.h"
#include "forms/gridmodel.h"

namespace {

lv::GridColumnLayout Column(std::string name, int stringWidth, const char* pattern, int width) {
    lv::GridColumnLayout c;
    c.name = std::move(name);
    c.stringWidth = stringWidth;
    c.render = lv::ColumnRender::Make(stringWidth, stringWidth ? 1 : 5, pattern, width, '.');
    return c;
}

std::string CellByCell(const GridModel& model, int row, const std::vector<int>& columns) {
    std::string out;
    for (int c : columns) {
        model.AppendCellBytes(out, row, c);
        out.push_back(' ');
    }
    return out;
}

}  // namespace

TEST(GridModelRows, RowWalkEqualsCellByCell) {
    lv::GridLayout layout;
    layout.varCount = 4;
    layout.caseCount = 6;
    layout.columns = {Column("CODE", 0, "%8.2f", 8), Column("WIDENS", 0, "%8.2f", 11),
                      Column("NAME", 5, "%s", 5), Column("HALF", 0, "%8.1f", 8)};
    GridModel model;
    model.Layout(layout);
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
    for (size_t r = 0; r < cases.size(); ++r) model.Case(static_cast<int>(r + 1), cases[r]);

    const std::vector<int> inOrder = {0, 1, 2, 3};
    const std::vector<int> moved = {3, 0, 2, 1};
    for (int row = 0; row < 6; ++row) {
        for (const auto& columns : {inOrder, moved}) {
            std::string walked;
            model.AppendRowBytes(walked, row, columns);
            EXPECT_EQ(walked, CellByCell(model, row, columns)) << row;
        }
    }
    // A block of rows, in order and moved, walked a column at a time.
    for (const std::vector<int>& rows :
         {std::vector<int>{0, 1, 2, 3, 4, 5}, std::vector<int>{5, 2, 0, 4}}) {
        std::vector<std::string> lines(rows.size());
        model.AppendRowsBytes(lines, rows, moved);
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(lines[i], CellByCell(model, rows[i], moved)) << rows[i];
    }
    std::string first;
    model.AppendRowBytes(first, 0, inOrder);
    EXPECT_EQ(first, "    1.00        3.00 ab         0.5 ");

    // An edit sends the row walk through the cell-by-cell path.
    model.EditingOn();
    ASSERT_TRUE(model.setData(model.index(3, 0), QString("edited"), Qt::EditRole));
    for (int row = 0; row < 6; ++row) {
        std::string walked;
        model.AppendRowBytes(walked, row, moved);
        EXPECT_EQ(walked, CellByCell(model, row, moved)) << row;
    }
    std::vector<std::string> editedBlock(2);
    model.AppendRowsBytes(editedBlock, std::vector<int>{3, 4}, inOrder);
    EXPECT_EQ(editedBlock[0], CellByCell(model, 3, inOrder));
    EXPECT_EQ(editedBlock[1], CellByCell(model, 4, inOrder));
    std::string edited;
    model.AppendRowBytes(edited, 3, inOrder);
    EXPECT_EQ(edited.substr(0, 7), "edited ");
}
