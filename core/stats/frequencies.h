// Frequency tables and descriptive statistics of variables, from one pass
// over the file: one row per distinct value in value order with its label,
// count, percent of all cases, percent of valid cases and cumulative valid
// percent; user-missing values after the valid ones; system-missing as one
// row. Counts are weighted when the table is.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/histogram.h"
#include "core/stats/value_tally.h"

namespace lv {

// The rows a table lists before it sums up the others in one row.
inline constexpr size_t kShownValueRows = 1000;

struct FrequencyRow {
    enum class Kind { Value, More, SystemMissing };
    Kind kind = Kind::Value;
    double number = 0;      // Value of a numeric variable
    std::string text;       // Value of a string variable (file bytes)
    std::string valueText;  // as shown (file bytes); More: empty
    std::string label;      // the value's label (file bytes); empty when none
    MissingKind missing = MissingKind::None;
    size_t moreValues = 0;  // More: the values it stands for
    bool moreExact = true;  // More: whether moreValues is exact (else at least)
    Amount amount;
    double percent = 0;
    double validPercent = 0;       // NaN for missing rows
    double cumulativePercent = 0;  // NaN for missing rows
};

// Descriptive statistics of a numeric variable's valid values (NaN where
// a figure does not apply). Percentiles are the weighted average at
// (W + 1)p; they need every distinct value (percentilesExact), else NaN.
struct Descriptives {
    double mean = 0, sd = 0, minimum = 0, maximum = 0;
    double quartile1 = 0, median = 0, quartile3 = 0;
    bool percentilesExact = true;
};

struct FrequencyTable {
    StatsVariable variable;
    bool weighted = false;
    std::vector<FrequencyRow> rows;
    Amount valid, userMissing, systemMissing, total;
    size_t distinct = 0;  // distinct non-system-missing values
    bool distinctExact = true;
    Descriptives stats;   // numeric variables
    Histogram histogram;  // numeric variables: of every valid value
};

// The table of a tally. shownRows: valid values listed before the More row.
FrequencyTable MakeFrequencyTable(const ValueTally& tally, bool weighted,
                                  size_t shownRows = kShownValueRows);

Descriptives MakeDescriptives(const ValueTally& tally);

struct FrequencyResult {
    PassResult pass;
    std::vector<FrequencyTable> tables;  // Complete passes only
};

// The tables of variables (indices into dict.variables), in one pass
// (through file when given: see ReadCasesOnce).
FrequencyResult RunFrequencies(const FileDictionary& dict, const std::vector<int>& variables,
                               bool weighted, Progress* progress = nullptr,
                               size_t kept = ValueTally::kDefaultKept,
                               const CaseNumbers* selected = nullptr,
                               const ReaderHandle* file = nullptr);

}  // namespace lv
