// Sorting the grid's rows by a column. Numbers sort by value, strings by
// their shown text without trailing blanks (code point order); valid values
// come first in either direction, then user-missing values (in the same
// direction), then system-missing values, then cells the load left empty.
// The sort is stable and starts from the order the rows stand in, so sorting
// by B after A orders by B and keeps A's order among B's ties. Rows move
// whole, edits with them; edited cells sort by the value the file holds.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/grid/grid_data.h"
#include "core/state/progress.h"

namespace lv {

struct SortKey {
    int column = 0;
    bool descending = false;
};

// Sorts every row by one column, those a selection hides too, so that the
// rows shown are in the sort's order with or without it. Returns false,
// leaving the order as it was, when
// progress says stop, the values could no longer be read (GridData::lost),
// or the grid has no data rows to sort.
bool SortRows(GridData& grid, SortKey key, Progress* progress = nullptr);

// Sorts by several columns, the first deciding first: a stable sort by each
// key from the last to the first.
bool SortRows(GridData& grid, std::span<const SortKey> keys, Progress* progress = nullptr);

// The file rows in the order a sort by key would give them, starting from
// the given order (every row, or the rows shown); nothing when progress
// says stop.
std::optional<std::vector<uint32_t>> SortedOrder(const GridData& grid, SortKey key,
                                                 std::vector<uint32_t> order,
                                                 Progress* progress = nullptr);

}  // namespace lv
