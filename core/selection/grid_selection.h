// Selecting the grid's cases by a condition over the values it holds (read
// back through its store, a window of rows at a time): the filter bar's
// work, and what the tool's --where gives a loaded grid; and the cases a
// selection leaves shown, which the statistics windows count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/condition/condition.h"
#include "core/grid/grid_data.h"
#include "core/state/progress.h"

namespace lv {

struct GridSelection {
    enum class Status { Ok, BadCondition, Stopped };
    Status status = Status::Ok;
    ConditionError error;        // BadCondition
    std::vector<uint32_t> rows;  // Ok: the file rows selected, ascending
};

// The file rows of grid (every case, shown or not) that condition selects,
// with names and literals taken in encoding. Needs the grid's facts (names
// and missing values). Stopped when progress says stop or the values could
// no longer be read.
GridSelection SelectGridRows(const GridData& grid, std::string_view condition,
                             const std::string& encoding, Progress* progress = nullptr);

// Selects them on the grid: it then shows only those. The error, if any,
// leaves the grid as it was.
GridSelection ApplyCondition(GridData& grid, std::string_view condition,
                             const std::string& encoding, Progress* progress = nullptr);

// The cases the grid shows while a condition selects them.
struct ShownCases {
    std::string condition;        // UTF-8
    std::vector<uint32_t> cases;  // file rows, ascending
    uint32_t total = 0;           // the file's cases
};

// The cases order shows under condition; none when it shows every case.
std::optional<ShownCases> ShownCasesOf(const RowOrder& order, std::string condition);

}  // namespace lv
