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
#include "core/stats/order_pass.h"
#include "core/stats/percentile.h"
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
// a figure does not apply; the moments as moments.h says). Percentiles are
// the weighted average at (W + 1)p; they and the modes need every distinct
// value, held in the table or read in further passes (order_pass)
// (percentilesExact), else NaN and none.
struct Descriptives {
    double mean = 0, sd = 0, minimum = 0, maximum = 0;
    double quartile1 = 0, median = 0, quartile3 = 0;
    bool percentilesExact = true;
    double seMean = 0, variance = 0, skewness = 0, seSkewness = 0;
    double kurtosis = 0, seKurtosis = 0, range = 0, sum = 0;
    std::vector<AskedPercentile> percentiles;  // as asked, with their values
    // The most frequent values, ascending (the first kListedModes), how
    // many there are and their count.
    std::vector<double> modes;
    size_t modeCount = 0;
    Amount modeAmount;
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
    // When the rows do not list every valid value: the most frequent valid
    // values the tally held (every value when it held all), most frequent
    // first, the smaller of equal counts first.
    std::vector<FrequencyRow> frequent;
    bool frequentOfAll = true;  // the tally held every distinct value
    size_t frequentAmong = 0;   // the valid values they were chosen from
};

// How many most frequent values a table keeps beside its rows.
inline constexpr size_t kFrequentValues = 10;

// The table of a tally. shownRows: valid values listed before the More row.
// beyond: what further passes found of the values the tally could not hold.
FrequencyTable MakeFrequencyTable(const ValueTally& tally, bool weighted,
                                  size_t shownRows = kShownValueRows,
                                  std::span<const AskedPercentile> asked = {},
                                  const BeyondTable* beyond = nullptr);

Descriptives MakeDescriptives(const ValueTally& tally, std::span<const AskedPercentile> asked = {},
                              const BeyondTable* beyond = nullptr);

struct FrequencyResult {
    PassResult pass;
    std::vector<FrequencyTable> tables;  // Complete passes only
};

// The tables of variables (indices into dict.variables), in one pass
// (through file when given: see ReadCasesOnce), and more only for a
// variable of more than kept distinct values (order_pass). asked: the
// percentiles wanted beside the quartiles. alongside, when given, sees
// every block of the same pass (its columns are variables, in order).
FrequencyResult RunFrequencies(const FileDictionary& dict, const std::vector<int>& variables,
                               bool weighted, Progress* progress = nullptr,
                               size_t kept = ValueTally::kDefaultKept,
                               const CaseNumbers* selected = nullptr,
                               const ReaderHandle* file = nullptr,
                               std::span<const AskedPercentile> asked = {},
                               CaseVisitor* alongside = nullptr);

// The quartiles' points and then asked's, in [0, 1].
std::vector<double> PercentilePoints(std::span<const AskedPercentile> asked);

}  // namespace lv
