#include "core/grid/read_ahead.h"

#include <algorithm>
#include <numeric>

namespace lv {
namespace {

// A walk in the file's order reads its rows in at least this many windows
// (none under kFewestWindowRows rows), so that a walk over a narrow column,
// which would fit in one window, still hears from its progress while it
// reads; its windows are parts of the file one after the other, so the
// file is still read once.
constexpr uint32_t kFileWalkWindows = 8;
constexpr uint32_t kFewestWindowRows = 65536;

}  // namespace

ReadAheadWindow::ReadAheadWindow(const GridData& grid, std::span<const int> columns, uint32_t first,
                                 uint32_t end, bool backwards, Rows rows,
                                 std::span<const uint32_t> listed)
    : grid_(grid),
      columns_(columns.begin(), columns.end()),
      first_(first),
      end_(std::max(first, end)),
      backwards_(backwards),
      rows_(rows),
      listed_(listed),
      size_(grid.WindowRows(columns)) {
    if (rows_ == Rows::File && !listed_.empty())
        end_ = std::min<uint32_t>(end_, static_cast<uint32_t>(listed_.size()));
    size_ = Capped(size_);
}

uint32_t ReadAheadWindow::Capped(uint32_t rows) const {
    if (rows_ != Rows::File) return rows;
    return std::min(rows, std::max(kFewestWindowRows, (end_ - first_) / kFileWalkWindows));
}

ReadAheadWindow::~ReadAheadWindow() {
    if (to_ > from_) grid_.ReadAhead({}, {});
}

void ReadAheadWindow::Cover(uint32_t first, uint32_t count) {
    if (size_ == 0 || first >= end_) return;
    count = std::min(count, end_ - first);
    if (count == 0 || (first >= from_ && first + count <= to_)) return;
    // The store may know better now what a row takes.
    size_ = Capped(std::max<uint32_t>(grid_.WindowRows(columns_), 1));
    if (backwards_) {
        to_ = std::min(end_, first + count);
        from_ = std::max(first_, to_ > size_ ? to_ - size_ : 0);
    } else {
        from_ = std::max(first_, first);
        to_ = std::min(end_, from_ + size_);
    }
    fileRows_.resize(to_ - from_);
    if (rows_ == Rows::File && !listed_.empty())
        std::copy_n(listed_.begin() + from_, fileRows_.size(), fileRows_.begin());
    else if (rows_ == Rows::File)
        std::iota(fileRows_.begin(), fileRows_.end(), from_);
    else
        grid_.order().Rows(from_, fileRows_);
    grid_.ReadAhead(fileRows_, columns_);
}

}  // namespace lv
