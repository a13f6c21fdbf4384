// The summary of every variable of a file in one pass: one row per
// variable with its name, label, type, measure, valid and missing counts,
// number of distinct values (exact up to a cap, then "more than" it),
// minimum, maximum, mean, standard deviation, median and most frequent
// value with its label.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/frequencies.h"

namespace lv {

// Distinct values counted exactly per variable; beyond it "more than".
inline constexpr size_t kDescribeDistinctCap = 10'000;

struct DescribeRow {
    StatsVariable variable;
    std::string type;  // "numeric", or "string" and its width: "A10"
    Amount valid, userMissing, systemMissing;
    size_t distinct = 0;
    bool distinctExact = true;  // else more than kDescribeDistinctCap
    Descriptives stats;         // numeric variables; NaN otherwise
    // The most frequent valid value (the smallest of equals), when there is
    // a valid one; modeCount: how many values share its count.
    bool hasMode = false;
    size_t modeCount = 0;
    std::string modeText;   // as shown (file bytes)
    std::string modeLabel;  // its label (file bytes)
    double modeNumber = 0;
    Amount modeAmount;
};

struct DescribeResult {
    PassResult pass;
    std::vector<DescribeRow> rows;  // Complete passes only
};

// variables: indices into dict.variables (empty: every variable); file as
// for ReadCasesOnce. A numeric variable of more than cap distinct values
// has its median, percentiles, modes and distinct count from further
// passes over the values beyond its table (order_pass); a string variable
// keeps "more than cap" and no mode.
DescribeResult RunDescribe(const FileDictionary& dict, std::vector<int> variables, bool weighted,
                           Progress* progress = nullptr, size_t cap = kDescribeDistinctCap,
                           const CaseNumbers* selected = nullptr,
                           const ReaderHandle* file = nullptr,
                           std::span<const AskedPercentile> asked = {});

DescribeRow MakeDescribeRow(const ValueTally& tally, std::span<const AskedPercentile> asked = {},
                            const BeyondTable* beyond = nullptr);

}  // namespace lv
