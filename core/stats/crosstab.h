// The crosstabulation of two variables: counts of each pair of values
// (weighted when the table is), with the rows' and columns' totals. Cases
// missing on either variable are left out, unless user-missing values are
// asked for (system-missing values are always left out).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/value_tally.h"

namespace lv {

// Categories a side may have; a table beyond it is refused.
inline constexpr size_t kCrosstabMaxCategories = 1000;

struct CrossCategory {
    double number = 0;
    std::string text;       // string variables
    std::string valueText;  // as shown (file bytes)
    std::string label;      // file bytes; empty when none
    MissingKind missing = MissingKind::None;
};

struct Crosstab {
    StatsVariable rowVariable, columnVariable;
    bool weighted = false;
    bool includeUserMissing = false;
    std::vector<CrossCategory> rows, columns;  // in value order
    std::vector<Amount> cells;                 // rows.size() x columns.size(), row by row
    std::vector<Amount> rowTotals, columnTotals;
    Amount total;    // the cases in the table
    Amount missing;  // the cases left out for a missing value
    Message error;   // too many categories: the table is empty

    const Amount& Cell(size_t r, size_t c) const { return cells[r * columns.size() + c]; }
};

struct CrosstabResult {
    PassResult pass;
    Crosstab table;
};

CrosstabResult RunCrosstab(const FileDictionary& dict, int rowVariable, int columnVariable,
                           bool weighted, bool includeUserMissing, Progress* progress = nullptr,
                           size_t maxCategories = kCrosstabMaxCategories,
                           const CaseNumbers* selected = nullptr,
                           const ReaderHandle* file = nullptr);

}  // namespace lv
