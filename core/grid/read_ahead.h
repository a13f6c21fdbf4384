// A long walk over the grid's rows (an export, a search, a copy, the tool's
// printing) takes its cells window by window: before it asks for the cells
// of rows [first, first + count), Cover has the store read the window of
// rows around them at once, in file order, whatever order the rows are
// shown in (forwards from first, or back from first + count for a walk that
// goes backwards). A store that holds its values in memory needs none of it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/grid/grid_data.h"

namespace lv {

class ReadAheadWindow {
  public:
    enum class Rows { Display, File };

    // A walk over rows [first, end) of columns: display rows, or file rows.
    // A walk of file rows goes over listed (ascending) when given, row i
    // being listed[i], else over every file row.
    ReadAheadWindow(const GridData& grid, std::span<const int> columns, uint32_t first,
                    uint32_t end, bool backwards = false, Rows rows = Rows::Display,
                    std::span<const uint32_t> listed = {});
    // Lets go of what was read.
    ~ReadAheadWindow();
    ReadAheadWindow(const ReadAheadWindow&) = delete;
    ReadAheadWindow& operator=(const ReadAheadWindow&) = delete;

    void Cover(uint32_t first, uint32_t count);

  private:
    // The rows of a window: what the store reads at once, in smaller parts
    // for a walk in the file's order.
    uint32_t Capped(uint32_t rows) const;

    const GridData& grid_;
    std::vector<int> columns_;
    uint32_t first_, end_;
    bool backwards_;
    Rows rows_;
    std::span<const uint32_t> listed_;
    uint32_t size_;  // rows per window; 0: none needed
    uint32_t from_ = 0, to_ = 0;
    std::vector<uint32_t> fileRows_;
};

}  // namespace lv
