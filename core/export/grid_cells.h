// The as-displayed export's cells taken from a GridData: the grid's rows in
// the order they stand, the columns in the order given (the screen's).
#pragma once

#include <memory>
#include <vector>

#include "core/export/text_export.h"
#include "core/grid/grid_data.h"
#include "core/grid/read_ahead.h"

namespace lv {

class GridCellSource final : public CellTextSource {
  public:
    // columns[k]: the dictionary index of the variable shown k-th.
    GridCellSource(const GridData& grid, std::vector<int> columns)
        : grid_(grid), columns_(std::move(columns)) {}

    void AppendCell(std::string& out, int row, int column) override;
    void AppendRow(std::string& out, int row, int varCount) override;
    void AppendRows(std::span<std::string> lines, int firstRow, int varCount) override;
    bool Lost() const override { return grid_.lost(); }
    int SelectedRows() const override {
        return grid_.order().selecting() ? static_cast<int>(grid_.rowCount()) : -1;
    }

  private:
    std::span<const int> Columns(int varCount) const;

    const GridData& grid_;
    std::vector<int> columns_;
    // The export walks the rows from the top: they are read ahead.
    std::unique_ptr<ReadAheadWindow> window_;
};

// Dictionary order: 0 .. count - 1.
std::vector<int> DictionaryOrder(int count);

}  // namespace lv
