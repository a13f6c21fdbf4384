#include "core/casestore.h"

#include <algorithm>

namespace lv {

CompactCaseStore::CompactCaseStore(const GridLayout& layout) {
    const size_t expected = layout.caseCount > 0 ? static_cast<size_t>(layout.caseCount) : 0;
    const size_t reserve = std::min<size_t>(expected, size_t{1} << 26);
    for (const GridColumnLayout& col : layout.columns) {
        stringWidths_.push_back(col.stringWidth);
        if (col.stringWidth != 0) {
            slot_.push_back(static_cast<int>(strings_.size()));
            strings_.emplace_back(col.stringWidth);
            strings_.back().Reserve(reserve);
        } else {
            slot_.push_back(static_cast<int>(numeric_.size()));
            numeric_.emplace_back();
            numeric_.back().Reserve(reserve);
        }
    }
}

void CompactCaseStore::Append(std::span<const GridCell> cells) {
    for (size_t c = 0; c < stringWidths_.size(); ++c) {
        const GridCell::Kind kind = c < cells.size() ? cells[c].kind : GridCell::Kind::Unread;
        if (stringWidths_[c] != 0) {
            StringColumn& col = strings_[slot_[c]];
            if (kind == GridCell::Kind::Text)
                col.AppendValue(cells[c].text);
            else
                col.AppendEmpty();
            continue;
        }
        NumericColumn& col = numeric_[slot_[c]];
        if (kind == GridCell::Kind::Number)
            col.AppendValue(cells[c].number);
        else if (kind == GridCell::Kind::Sysmis)
            col.AppendSysmis();
        else
            col.AppendEmpty();
    }
    ++rows_;
}

void CompactCaseStore::Clear() {
    for (NumericColumn& col : numeric_) col = NumericColumn();
    for (size_t c = 0; c < stringWidths_.size(); ++c)
        if (stringWidths_[c] != 0) strings_[slot_[c]] = StringColumn(stringWidths_[c]);
    rows_ = 0;
}

void CompactCaseStore::GatherNumbers(int column, std::span<const uint32_t> rows,
                                     NumberCell* out) const {
    if (column < 0 || static_cast<size_t>(column) >= stringWidths_.size() ||
        stringWidths_[column] != 0) {
        std::fill(out, out + rows.size(), NumberCell{});
        return;
    }
    const NumericColumn& col = numeric_[slot_[column]];
    for (size_t i = 0; i < rows.size(); ++i) out[i].state = col.Get(rows[i], out[i].value);
}

void CompactCaseStore::GatherStrings(int column, std::span<const uint32_t> rows,
                                     StringCell* out) const {
    if (column < 0 || static_cast<size_t>(column) >= stringWidths_.size() ||
        stringWidths_[column] == 0) {
        std::fill(out, out + rows.size(), StringCell{});
        return;
    }
    const StringColumn& col = strings_[slot_[column]];
    for (size_t i = 0; i < rows.size(); ++i)
        out[i].state = col.View(rows[i], out[i].stored, out[i].blanks);
}

size_t CompactCaseStore::MemoryBytes() const {
    size_t total = 0;
    for (const NumericColumn& c : numeric_) total += c.MemoryBytes();
    for (const StringColumn& c : strings_) total += c.MemoryBytes();
    return total;
}

}  // namespace lv
