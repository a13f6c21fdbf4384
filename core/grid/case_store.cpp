#include "core/grid/case_store.h"

#include <algorithm>

namespace lv {

MemoryCaseStore::MemoryCaseStore(const GridLayout& layout) {
    columns_.resize(layout.columns.size());
    for (size_t c = 0; c < columns_.size(); ++c)
        columns_[c].text = layout.columns[c].stringWidth != 0;
}

void MemoryCaseStore::Append(std::span<const GridCell> cells) {
    for (size_t c = 0; c < columns_.size(); ++c) {
        Column& col = columns_[c];
        const GridCell::Kind kind = c < cells.size() ? cells[c].kind : GridCell::Kind::Unread;
        CellState state = CellState::Empty;
        if (col.text) {
            if (kind == GridCell::Kind::Text) {
                col.bytes += cells[c].text;
                state = CellState::Value;
            }
            col.ends.push_back(col.bytes.size());
        } else {
            if (kind == GridCell::Kind::Number) state = CellState::Value;
            if (kind == GridCell::Kind::Sysmis) state = CellState::Sysmis;
            col.numbers.push_back(state == CellState::Value ? cells[c].number : 0);
        }
        col.states.push_back(state);
    }
    ++rows_;
}

void MemoryCaseStore::Clear() {
    for (Column& col : columns_) {
        col.states.clear();
        col.numbers.clear();
        col.ends.clear();
        col.bytes.clear();
    }
    rows_ = 0;
}

void MemoryCaseStore::GatherNumbers(int column, std::span<const uint32_t> rows,
                                    NumberCell* out) const {
    std::fill(out, out + rows.size(), NumberCell{});
    if (column < 0 || static_cast<size_t>(column) >= columns_.size() || columns_[column].text)
        return;
    const Column& col = columns_[column];
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] >= rows_) continue;
        out[i].state = col.states[rows[i]];
        out[i].value = col.numbers[rows[i]];
    }
}

void MemoryCaseStore::GatherStrings(int column, std::span<const uint32_t> rows,
                                    StringCell* out) const {
    std::fill(out, out + rows.size(), StringCell{});
    if (column < 0 || static_cast<size_t>(column) >= columns_.size() || !columns_[column].text)
        return;
    const Column& col = columns_[column];
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] >= rows_ || col.states[rows[i]] != CellState::Value) continue;
        const size_t begin = rows[i] ? col.ends[rows[i] - 1] : 0;
        out[i].state = CellState::Value;
        out[i].stored = std::string_view(col.bytes).substr(begin, col.ends[rows[i]] - begin);
    }
}

}  // namespace lv
