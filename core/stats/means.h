// Means by group: a numeric variable's mean, standard deviation and the
// other moments for each combination of the values of one or two grouping
// variables, with the subtotals of each grouping variable alone and the
// total, in one pass over the cases. The median of each group is exact:
// each group tallies its distinct values, all the groups' tallies together
// holding at most heldValues of them; when that bound is passed the
// largest tally gives up its upper values, and a group whose median lies
// among the values given up has none (counted in mediansLost). A case missing on the variable or on
// a grouping variable (user- or system-missing) is left out. Weighted
// figures take the weights as frequencies: N is the sum of the weights and
// the variance divides by N - 1, as the common packages do.
#pragma once

#include <cstddef>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/crosstab.h"

namespace lv {

// Combinations of group values a table may have; beyond it, it is refused.
inline constexpr size_t kMeansMaxGroups = 10000;
// Distinct values the groups' tallies hold together: their tables take at
// most about 18 MB, and the largest group's values sorted as many again.
inline constexpr size_t kMeansHeldValues = size_t{1} << 18;

// NaN where undefined; the moments as moments.h defines them.
struct MeansFigures {
    Amount n;
    double mean, sd, seMean, minimum, maximum, variance, sum;
    double range, skewness, seSkewness, kurtosis, seKurtosis, median;
};

struct MeansGroup {
    // One per grouping variable: its category, or null in a subtotal over
    // that variable's values.
    std::vector<const CrossCategory*> values;
    MeansFigures figures;
};

struct Means {
    StatsVariable variable;
    std::vector<StatsVariable> groupVariables;
    std::vector<std::vector<CrossCategory>> categories;  // of each grouping variable, sorted
    bool weighted = false;
    // Every combination that holds cases, in value order of the first
    // grouping variable, then the second.
    std::vector<MeansGroup> groups;
    // Two grouping variables: by the first alone, then by the second alone.
    std::vector<MeansGroup> subtotals;
    MeansGroup total;
    Amount missing;  // cases left out for a missing value
    // Groups (subtotals and the total too) whose median is empty because
    // their values passed the bound of the values held.
    size_t mediansLost = 0;
    Message error;  // too many groups: no figures

    Means() = default;
    Means(const Means&) = delete;  // groups point into categories
    Means& operator=(const Means&) = delete;
    Means(Means&&) = default;
    Means& operator=(Means&&) = default;
};

struct MeansResult {
    PassResult pass;
    Means table;
};

// variable: numeric; groups: one or two variables (dictionary indices).
MeansResult RunMeans(const FileDictionary& dict, int variable, const std::vector<int>& groups,
                     bool weighted, Progress* progress = nullptr,
                     size_t maxGroups = kMeansMaxGroups, const CaseNumbers* selected = nullptr,
                     const ReaderHandle* file = nullptr, size_t heldValues = kMeansHeldValues);

}  // namespace lv
