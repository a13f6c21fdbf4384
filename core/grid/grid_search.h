// Finding cells of the grid by their shown text (value labels when shown):
// in the order the cells stand on screen, row by row and, within a row,
// in the given order of columns. The walks go a block of rows at a time,
// rendering a column of the block at once, as the export does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "core/grid/grid_data.h"
#include "core/state/progress.h"
#include "core/text/text_match.h"

namespace lv {

// A cell by display row and by its place in the searched columns.
struct GridPlace {
    uint32_t row = 0;
    size_t column = 0;  // index into the columns searched
    bool operator==(const GridPlace&) const = default;
};

// Calls found for every matching cell of display rows first .. end - 1, in
// screen order; found returns false to stop. Returns false when progress
// said stop (cells are the units) or the grid's values could no longer be
// read (GridData::lost).
bool ForEachMatch(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
                  uint32_t first, uint32_t end, const std::function<bool(GridPlace)>& found,
                  Progress* progress = nullptr);

// The number of matching cells; nothing when progress said stop or the
// values could no longer be read.
std::optional<uint64_t> CountMatches(const GridData& grid, const TextMatcher& matcher,
                                     std::span<const int> columns, Progress* progress = nullptr);

struct FindResult {
    bool found = false;
    bool wrapped = false;    // the search went past the last (first) cell
    bool cancelled = false;  // progress said stop, or the values were lost
    GridPlace place;
};

// The first match after from (before it, backwards) in screen order,
// going on from the other end when the near end is reached; from itself is
// the last cell looked at. A grid whose only match is from finds it again,
// wrapped.
FindResult FindNext(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
                    GridPlace from, bool backwards, Progress* progress = nullptr);

}  // namespace lv
