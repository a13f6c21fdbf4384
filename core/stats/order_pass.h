// The order figures of numeric tallies that could not hold every distinct
// value (percentiles, modes, distinct count), exact at any number of
// distinct values, and their moments about the mean.
//
// A tally holds every value up to its heldLimit() with its whole count.
// The values above it are read in further passes over the cases, a window
// of values at a time: each pass counts, for every such variable, the
// distinct values above its last window in a table of a fixed size, which
// gives up its upper half of values when it fills (as the first pass's
// table does), so that the window ends lower. A pass ends with every
// distinct value of each window and its whole count; the next pass starts
// above it. Memory is those tables (kOrderPassBytes in all, whatever the
// number of cases) and passes are as many as the values beyond the tables
// need windows. The first extra pass also sums the powers of the values
// less the mean that the first pass found, so that skewness and kurtosis
// keep their digits where the values lie far from the first one.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/moments.h"
#include "core/stats/order_walk.h"
#include "core/stats/value_tally.h"

namespace lv {

inline constexpr size_t kOrderPassBytes = size_t{32} << 20;

struct BeyondTable {
    OrderFigures order;
    Moments moments;      // about the mean: two passes
    size_t distinct = 0;  // every distinct value, user-missing ones too
};

// For each tally (numeric variables[i]'s), nothing when it is complete or
// a string, else its figures at points (in [0, 1]). The result's pass is
// the last extra pass's (Complete when none was needed).
struct OrderPassResult {
    PassResult pass;
    std::vector<std::optional<BeyondTable>> beyond;
};

OrderPassResult CompleteOrder(const FileDictionary& dict, const std::vector<int>& variables,
                              const std::vector<ValueTally>& tallies, bool weighted,
                              std::span<const double> points, Progress* progress = nullptr,
                              const CaseNumbers* selected = nullptr,
                              const ReaderHandle* file = nullptr,
                              size_t bufferBytes = kOrderPassBytes);

}  // namespace lv
