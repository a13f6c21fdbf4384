// The order in which the grid shows its rows: display row i shows file row
// Row(i). It starts as the file's order, held as nothing at all; a sort or
// a moved row makes it a permutation of 4 bytes per row. A selection of
// cases narrows it to the selected rows, in the same order: 4 bytes per
// selected row and a bit per row.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lv {

class RowOrder {
  public:
    // The display row of a file row that is not shown.
    static constexpr uint32_t kNotShown = UINT32_MAX;

    // The file's order of count rows, nothing selected.
    void Reset(uint32_t count);
    // order must be a permutation of 0 .. count - 1, or, while a selection
    // is shown, of the rows shown (which then take the places of the
    // selected rows in the whole order, in their new order).
    void Assign(std::vector<uint32_t> order);
    // The file's order again, keeping the selection.
    void Unsort();

    // Shows only the file rows selected (ascending, each below the row
    // count), in the order they stand.
    void Select(std::vector<uint32_t> selected);
    // Shows every row again, in the order they stand.
    void ClearSelection();
    bool selecting() const { return selecting_; }

    // Rows shown.
    uint32_t size() const { return selecting_ ? static_cast<uint32_t>(shown_.size()) : count_; }
    // Rows of the file, shown or not.
    uint32_t fileRowCount() const { return count_; }
    bool identity() const { return rows_.empty(); }
    uint32_t Row(uint32_t displayRow) const {
        return selecting_ ? shown_[displayRow] : rows_.empty() ? displayRow : rows_[displayRow];
    }
    bool Shows(uint32_t fileRow) const {
        return fileRow < count_ && (!selecting_ || (member_[fileRow / 64] >> (fileRow % 64) & 1));
    }
    // File rows of display rows first .. first + out.size() - 1.
    void Rows(uint32_t first, std::span<uint32_t> out) const;
    // The display row that shows fileRow (a scan: for single look-ups);
    // kNotShown when a selection leaves it out.
    uint32_t DisplayRowOf(uint32_t fileRow) const;
    // Moves the row shown at from so that it is shown at to; the rows
    // between shift by one, as a row dragged by its header does.
    void Move(uint32_t from, uint32_t to);
    // Every file row shown, in display order (a copy; the file's order
    // spelled out when nothing is held).
    std::vector<uint32_t> All() const;
    // Every file row, shown or not, in the whole order (what a sort
    // orders: a selection only hides some).
    std::vector<uint32_t> Whole() const;
    // The file rows shown, ascending: every row when nothing is selected.
    std::vector<uint32_t> ShownInFileOrder() const;
    size_t MemoryBytes() const {
        return (rows_.capacity() + shown_.capacity()) * sizeof(uint32_t) +
               member_.capacity() * sizeof(uint64_t);
    }

  private:
    // The selected rows in the order of the whole.
    void Narrow();

    uint32_t count_ = 0;
    std::vector<uint32_t> rows_;  // the whole order; empty for the file's
    bool selecting_ = false;
    std::vector<uint32_t> shown_;   // selecting: the rows shown, in order
    std::vector<uint64_t> member_;  // selecting: a bit per file row
};

}  // namespace lv
