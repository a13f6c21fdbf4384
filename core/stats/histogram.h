// The bins of a histogram of a numeric variable, tallied from every valid
// value the pass counted (weighted as the frequency table is), never from
// the rows a table shows. Sturges' rule: ceil(log2 n) + 1 bins of equal
// width from the minimum to the maximum, n the valid cases; a value on a
// boundary counts in the bin above it, the maximum in the last bin.
#pragma once

#include <vector>

#include "core/stats/value_tally.h"

namespace lv {

struct HistogramBin {
    double low = 0;  // the bin holds [low, low + width)
    double weight = 0;
};

struct Histogram {
    double width = 0;
    std::vector<HistogramBin> bins;  // empty without valid values
    // False when the tally held only part of the distinct values: the cases
    // beyond its largest held value are spread over the bins they may lie in
    // by the bins' share of that range.
    bool exact = true;
};

Histogram MakeHistogram(const ValueTally& tally);

}  // namespace lv
