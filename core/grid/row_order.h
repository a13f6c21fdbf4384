// The order in which the grid shows its rows: display row i shows file row
// Row(i). It starts as the file's order, held as nothing at all; a sort or
// a moved row makes it a permutation of 4 bytes per row.
#ifndef LORIVANE_CORE_ROWORDER_H
#define LORIVANE_CORE_ROWORDER_H

#include <cstdint>
#include <span>
#include <vector>

namespace lv {

class RowOrder {
  public:
    // The file's order of count rows.
    void Reset(uint32_t count);
    // order must be a permutation of 0 .. count - 1.
    void Assign(std::vector<uint32_t> order);

    uint32_t size() const { return count_; }
    bool identity() const { return rows_.empty(); }
    uint32_t Row(uint32_t displayRow) const {
        return rows_.empty() ? displayRow : rows_[displayRow];
    }
    // File rows of display rows first .. first + out.size() - 1.
    void Rows(uint32_t first, std::span<uint32_t> out) const;
    // The display row that shows fileRow (a scan: for single look-ups).
    uint32_t DisplayRowOf(uint32_t fileRow) const;
    // Moves the row shown at from so that it is shown at to; the rows
    // between shift by one, as a row dragged by its header does.
    void Move(uint32_t from, uint32_t to);
    // Every file row in display order (a copy; the file's order spelled out
    // when nothing is held).
    std::vector<uint32_t> All() const;
    size_t MemoryBytes() const { return rows_.capacity() * sizeof(uint32_t); }

  private:
    uint32_t count_ = 0;
    std::vector<uint32_t> rows_;
};

}  // namespace lv

#endif
