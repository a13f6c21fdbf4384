#include "core/grid/row_order.h"

#include <algorithm>
#include <numeric>

namespace lv {

void RowOrder::Reset(uint32_t count) {
    count_ = count;
    std::vector<uint32_t>().swap(rows_);
    ClearSelection();
}

void RowOrder::Assign(std::vector<uint32_t> order) {
    if (selecting_ && order.size() == shown_.size() && order.size() != count_) {
        // The rows shown move among the places the selected rows hold.
        if (rows_.empty()) {
            rows_.resize(count_);
            std::iota(rows_.begin(), rows_.end(), 0u);
        }
        size_t next = 0;
        for (uint32_t& row : rows_)
            if (Shows(row)) row = order[next++];
        shown_ = std::move(order);
    } else {
        count_ = static_cast<uint32_t>(order.size());
        rows_ = std::move(order);
        if (selecting_) Narrow();
    }
    // A sort that changed nothing costs nothing to keep.
    bool same = true;
    for (uint32_t i = 0; i < rows_.size() && same; ++i) same = rows_[i] == i;
    if (same) std::vector<uint32_t>().swap(rows_);
}

void RowOrder::Unsort() {
    std::vector<uint32_t>().swap(rows_);
    if (selecting_) Narrow();
}

void RowOrder::Select(std::vector<uint32_t> selected) {
    selecting_ = true;
    member_.assign((count_ + 63) / 64, 0);
    for (uint32_t row : selected)
        if (row < count_) member_[row / 64] |= uint64_t{1} << (row % 64);
    if (rows_.empty()) {
        // The file's order: the selection is the rows shown.
        shown_ = std::move(selected);
        std::erase_if(shown_, [this](uint32_t row) { return row >= count_; });
    } else {
        Narrow();
    }
}

void RowOrder::ClearSelection() {
    selecting_ = false;
    std::vector<uint32_t>().swap(shown_);
    std::vector<uint64_t>().swap(member_);
}

void RowOrder::Narrow() {
    shown_.clear();
    if (rows_.empty()) {
        for (uint32_t row = 0; row < count_; ++row)
            if (Shows(row)) shown_.push_back(row);
    } else {
        for (uint32_t row : rows_)
            if (Shows(row)) shown_.push_back(row);
    }
    shown_.shrink_to_fit();
}

void RowOrder::Rows(uint32_t first, std::span<uint32_t> out) const {
    if (selecting_) {
        std::copy_n(shown_.begin() + first, out.size(), out.begin());
        return;
    }
    if (rows_.empty()) {
        std::iota(out.begin(), out.end(), first);
        return;
    }
    std::copy_n(rows_.begin() + first, out.size(), out.begin());
}

uint32_t RowOrder::DisplayRowOf(uint32_t fileRow) const {
    if (selecting_) {
        if (!Shows(fileRow)) return kNotShown;
        if (rows_.empty())
            return static_cast<uint32_t>(std::lower_bound(shown_.begin(), shown_.end(), fileRow) -
                                         shown_.begin());
        return static_cast<uint32_t>(std::find(shown_.begin(), shown_.end(), fileRow) -
                                     shown_.begin());
    }
    if (rows_.empty()) return fileRow;
    const auto it = std::find(rows_.begin(), rows_.end(), fileRow);
    return it == rows_.end() ? fileRow : static_cast<uint32_t>(it - rows_.begin());
}

void RowOrder::Move(uint32_t from, uint32_t to) {
    if (from == to || from >= size() || to >= size()) return;
    if (selecting_) {
        // Moved among the rows shown, and in the whole order next to the
        // row it now follows (or before the one it now leads).
        std::vector<uint32_t> shown = shown_;
        if (from < to)
            std::rotate(shown.begin() + from, shown.begin() + from + 1, shown.begin() + to + 1);
        else
            std::rotate(shown.begin() + to, shown.begin() + from, shown.begin() + from + 1);
        if (rows_.empty()) {
            rows_.resize(count_);
            std::iota(rows_.begin(), rows_.end(), 0u);
        }
        const uint32_t moved = shown[to];
        rows_.erase(std::find(rows_.begin(), rows_.end(), moved));
        const auto place = to > 0 ? std::find(rows_.begin(), rows_.end(), shown[to - 1]) + 1
                                  : std::find(rows_.begin(), rows_.end(), shown[1]);
        rows_.insert(place, moved);
        shown_ = std::move(shown);
        return;
    }
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
    return selecting_ ? shown_ : Whole();
}

std::vector<uint32_t> RowOrder::Whole() const {
    if (!rows_.empty()) return rows_;
    std::vector<uint32_t> all(count_);
    std::iota(all.begin(), all.end(), 0u);
    return all;
}

std::vector<uint32_t> RowOrder::ShownInFileOrder() const {
    std::vector<uint32_t> shown;
    if (!selecting_) {
        shown.resize(count_);
        std::iota(shown.begin(), shown.end(), 0u);
        return shown;
    }
    shown.reserve(shown_.size());
    for (uint32_t row = 0; row < count_; ++row)
        if (Shows(row)) shown.push_back(row);
    return shown;
}

}  // namespace lv
