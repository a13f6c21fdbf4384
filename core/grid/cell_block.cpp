#include "core/grid/cell_block.h"

namespace lv {

void CellBlock::Gather(const GridData& grid, std::span<const int> columns,
                       std::span<const uint32_t> fileRows) {
    const size_t n = fileRows.size();
    rows_ = static_cast<uint32_t>(n);
    columns_.resize(columns.size());
    const std::vector<GridColumnLayout>& layout = grid.layout().columns;
    for (size_t k = 0; k < columns.size(); ++k) {
        Column& out = columns_[k];
        const int column = columns[k];
        out.text = column >= 0 && static_cast<size_t>(column) < layout.size() &&
                   layout[size_t(column)].stringWidth != 0;
        out.states.resize(n);
        if (out.text) {
            stringCells_.resize(n);
            grid.store().GatherStrings(column, fileRows, stringCells_.data());
            out.numbers.clear();
            out.bytes.clear();
            out.ends.resize(n);
            for (size_t i = 0; i < n; ++i) {
                out.states[i] = stringCells_[i].state;
                if (out.states[i] == CellState::Value) out.bytes += stringCells_[i].stored;
                out.ends[i] = out.bytes.size();
            }
        } else {
            numberCells_.resize(n);
            grid.store().GatherNumbers(column, fileRows, numberCells_.data());
            out.numbers.resize(n);
            out.ends.clear();
            out.bytes.clear();
            for (size_t i = 0; i < n; ++i) {
                out.states[i] = numberCells_[i].state;
                out.numbers[i] =
                    numberCells_[i].state == CellState::Value ? numberCells_[i].value : 0;
            }
        }
    }
}

}  // namespace lv
