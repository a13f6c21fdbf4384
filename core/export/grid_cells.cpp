#include "core/export/grid_cells.h"

#include <algorithm>
#include <numeric>

namespace lv {

std::vector<int> DictionaryOrder(int count) {
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::span<const int> GridCellSource::Columns(int varCount) const {
    const size_t n = std::min(static_cast<size_t>(std::max(varCount, 0)), columns_.size());
    return std::span<const int>(columns_.data(), n);
}

void GridCellSource::AppendCell(std::string& out, int row, int column) {
    if (row < 1 || column < 1 || static_cast<size_t>(column) > columns_.size()) return;
    grid_.AppendCell(out, static_cast<uint32_t>(row - 1), columns_[column - 1]);
}

void GridCellSource::AppendRow(std::string& out, int row, int varCount) {
    if (row < 1) return;
    grid_.AppendRow(out, static_cast<uint32_t>(row - 1), Columns(varCount));
}

void GridCellSource::AppendRows(std::span<std::string> lines, int firstRow, int varCount) {
    if (firstRow < 1) return;
    if (!window_)
        window_ = std::make_unique<ReadAheadWindow>(grid_, Columns(varCount), 0, grid_.rowCount());
    window_->Cover(static_cast<uint32_t>(firstRow - 1), static_cast<uint32_t>(lines.size()));
    grid_.AppendRows(lines, static_cast<uint32_t>(firstRow - 1), Columns(varCount));
}

}  // namespace lv
