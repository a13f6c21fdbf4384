// Everything the statistics gather of one variable in one pass: the count
// (weighted and of cases) of each distinct value, the missing counts, and
// the sums for the mean and variance, minimum and maximum.
//
// Memory is bounded: at most `kept` distinct values are held. When more
// arrive, the table keeps the smallest half of them (in value order) and
// counts the others, and every later value above the largest kept, as the
// rest, so that a frequency table still lists its first values exactly and
// says how many cases lie beyond. Moments, minimum and maximum never depend
// on the table; percentiles and the mode need it whole.
//
// The mean and variance come from Kahan–Neumaier compensated sums of the
// weights, of the values less the first valid value and of their squares:
// the shift keeps the subtraction of the variance formula small, the
// compensation keeps the sums' digits over millions of cases. The higher
// moments are taken about that mean afterwards, over the distinct values
// (moments.h, order_pass.h).
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/exact_sum.h"
#include "core/stats/stats_variable.h"

namespace lv {

enum class MissingKind { None, User, System };

// One distinct value and how often it came.
struct TallyEntry {
    double number = 0;  // numeric variables
    std::string text;   // string variables: without trailing blanks
    MissingKind missing = MissingKind::None;
    double weight = 0;
    int64_t cases = 0;
};

// Weighted and case counts side by side.
struct Amount {
    double weight = 0;
    int64_t cases = 0;
    void Add(double w) {
        weight += w;
        ++cases;
    }
};

class ValueTally {
  public:
    static constexpr size_t kDefaultKept = 1'000'000;

    explicit ValueTally(StatsVariable variable, size_t kept = kDefaultKept);

    void Add(const PassValue& value, double weight);

    const StatsVariable& variable() const { return variable_; }
    const Amount& valid() const { return valid_; }
    const Amount& userMissing() const { return userMissing_; }
    const Amount& systemMissing() const { return systemMissing_; }
    double totalWeight() const {
        return valid_.weight + userMissing_.weight + systemMissing_.weight;
    }

    // Whether every distinct value is held in the table.
    bool complete() const { return pruned_ == 0; }
    // Distinct values seen: exact when complete, else a lower bound.
    size_t distinctCount() const { return size() + pruned_; }
    // The values not held: the cases (valid, missing) that fell beyond.
    const Amount& restValid() const { return restValid_; }
    const Amount& restMissing() const { return restMissing_; }

    // The held values in value order (numbers ascending, strings by bytes).
    std::vector<TallyEntry> Entries() const;

    // Numeric variables, valid values (NaN when none, or when n <= 1 for sd).
    double minimum() const { return shifted_ ? min_ : nan(); }
    double maximum() const { return shifted_ ? max_ : nan(); }
    double Mean() const;
    // Variance with the weights' sum less one as divisor.
    double Variance() const;
    // Numbers: every distinct value up to this one is held with its whole
    // count (infinity while complete); the rest lie above it.
    double heldLimit() const { return numberLimit_; }

    // Distinct values held now.
    size_t held() const { return size(); }
    // Numbers: gives up the upper half of the held values now (counted as
    // the rest, as when the table fills), for a caller that bounds the
    // memory of many tallies together. Nothing below two values.
    void ShedUpperHalf();

  private:
    static double nan() { return std::numeric_limits<double>::quiet_NaN(); }
    // An empty slot holds kNoKey, the bits of a NaN, which is never
    // tallied as a number (the pass counts NaN as system-missing). 24 bytes,
    // so that a table of thousands of values stays in the processor's cache.
    static constexpr uint64_t kNoKey = ~uint64_t{0};
    struct Slot {
        uint64_t key = kNoKey;
        double weight = 0;
        int64_t cases = 0;
        bool used() const { return key != kNoKey; }
    };
    struct Counts {
        double weight = 0;
        int64_t cases = 0;
    };
    size_t size() const { return variable_.isString() ? texts_.size() : numberCount_; }
    MissingKind KindOf(const PassValue& value) const;
    void AddNumber(double x, double weight);
    void AddText(std::string_view text, double weight);
    Slot& FindSlot(uint64_t key);
    void GrowSlots();
    void PruneNumbers(size_t keep);
    void PruneTexts();
    void AddToRest(MissingKind kind, double weight, int64_t cases);

    StatsVariable variable_;
    size_t kept_;
    Amount valid_, userMissing_, systemMissing_;
    Amount restValid_, restMissing_;
    size_t pruned_ = 0;
    // Numbers: an open-addressing table keyed by the value's bits.
    std::vector<Slot> slots_;
    size_t numberCount_ = 0;
    double numberLimit_ = std::numeric_limits<double>::infinity();
    uint64_t lastKey_ = 0;
    Slot* lastSlot_ = nullptr;
    // Strings.
    // Looked up by string_view without building a string each time.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, Counts, TextHash, std::equal_to<>> texts_;
    std::string textLimit_;
    bool textLimited_ = false;
    // Moments of the valid numbers.
    bool shifted_ = false;
    double shift_ = 0;
    ExactSum sumW_, sumWD_, sumWD2_;
    double min_ = 0, max_ = 0;
};

}  // namespace lv
