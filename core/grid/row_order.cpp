#include "core/grid/row_order.h"

#include <algorithm>
#include <numeric>

namespace lv {

void RowOrder::Reset(uint32_t count) {
    count_ = count;
    std::vector<uint32_t>().swap(rows_);
}

void RowOrder::Assign(std::vector<uint32_t> order) {
    count_ = static_cast<uint32_t>(order.size());
    rows_ = std::move(order);
    // A sort that changed nothing costs nothing to keep.
    bool same = true;
    for (uint32_t i = 0; i < count_ && same; ++i) same = rows_[i] == i;
    if (same) std::vector<uint32_t>().swap(rows_);
}

void RowOrder::Rows(uint32_t first, std::span<uint32_t> out) const {
    if (rows_.empty()) {
        std::iota(out.begin(), out.end(), first);
        return;
    }
    std::copy_n(rows_.begin() + first, out.size(), out.begin());
}

uint32_t RowOrder::DisplayRowOf(uint32_t fileRow) const {
    if (rows_.empty()) return fileRow;
    const auto it = std::find(rows_.begin(), rows_.end(), fileRow);
    return it == rows_.end() ? fileRow : static_cast<uint32_t>(it - rows_.begin());
}

void RowOrder::Move(uint32_t from, uint32_t to) {
    if (from == to || from >= count_ || to >= count_) return;
    if (rows_.empty()) {
        rows_.resize(count_);
        std::iota(rows_.begin(), rows_.end(), 0u);
    }
    if (from < to)
        std::rotate(rows_.begin() + from, rows_.begin() + from + 1, rows_.begin() + to + 1);
    else
        std::rotate(rows_.begin() + to, rows_.begin() + from, rows_.begin() + from + 1);
}

std::vector<uint32_t> RowOrder::All() const {
    if (!rows_.empty()) return rows_;
    std::vector<uint32_t> all(count_);
    std::iota(all.begin(), all.end(), 0u);
    return all;
}

}  // namespace lv
