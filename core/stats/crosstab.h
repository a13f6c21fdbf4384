// The crosstabulation of two variables: counts of each pair of values
// (weighted when the table is), with the rows' and columns' totals. Cases
// missing on either variable are left out, unless user-missing values are
// asked for (system-missing values are always left out). With a layer
// variable, also one table per value of it (each with the rows and columns
// that have cases in it), read in the same pass; the cases missing on the
// layer variable are then left out of every table.
#pragma once

#include <cstddef>
#include <optional>
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

// One table of a layered crosstab: the layer variable's value and its table.
struct CrossLayer {
    CrossCategory value;
    Crosstab table;
};

struct CrosstabResult {
    PassResult pass;
    Crosstab table;  // every case (with a layer variable, over all its values)
    std::optional<StatsVariable> layerVariable;
    std::vector<CrossLayer> layers;  // in the layer variable's value order
};

// layerVariable: -1 for none.
CrosstabResult RunCrosstab(const FileDictionary& dict, int rowVariable, int columnVariable,
                           bool weighted, bool includeUserMissing, Progress* progress = nullptr,
                           size_t maxCategories = kCrosstabMaxCategories,
                           const CaseNumbers* selected = nullptr,
                           const ReaderHandle* file = nullptr, int layerVariable = -1);

}  // namespace lv
