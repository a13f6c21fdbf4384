#include "core/stats/describe.h"

#include <cmath>
#include <limits>

#include "core/stats/value_text.h"

namespace lv {
namespace {

// Tallies every variable. Numbers are held for a block of cases and then
// tallied a variable at a time, so that each variable's table stays in the
// processor's cache while its block is counted (case by case, forty tables
// would take turns evicting each other); strings are tallied at once, as
// their bytes last only for the call.
class TallyAll final : public CaseVisitor {
  public:
    static constexpr size_t kBlock = 4096;

    explicit TallyAll(std::vector<ValueTally>& tallies) : tallies_(tallies) {
        held_.resize(tallies.size());
        for (auto& column : held_) column.reserve(kBlock);
        weights_.reserve(kBlock);
    }
    ~TallyAll() override { Flush(); }

    void Case(std::span<const PassValue> values, double weight) override {
        for (size_t i = 0; i < values.size(); ++i) {
            if (tallies_[i].variable().isString())
                tallies_[i].Add(values[i], weight);
            else
                held_[i].push_back(values[i].sysmis ? kSysmisMark : values[i].number);
        }
        weights_.push_back(weight);
        if (weights_.size() == kBlock) Flush();
    }

    void Flush() {
        for (size_t i = 0; i < held_.size(); ++i) {
            std::vector<double>& column = held_[i];
            for (size_t k = 0; k < column.size(); ++k) {
                PassValue v;
                v.sysmis = std::isnan(column[k]);
                v.number = column[k];
                tallies_[i].Add(v, weights_[k]);
            }
            column.clear();
        }
        weights_.clear();
    }

  private:
    // System-missing values are held as NaN (a value the pass never hands
    // over as a number: NaN counts as system-missing there too).
    static constexpr double kSysmisMark = std::numeric_limits<double>::quiet_NaN();
    std::vector<ValueTally>& tallies_;
    std::vector<std::vector<double>> held_;
    std::vector<double> weights_;
};

}  // namespace

DescribeRow MakeDescribeRow(const ValueTally& tally) {
    DescribeRow row;
    row.variable = tally.variable();
    const DictVariable& v = *row.variable.dict;
    row.type = "numeric";
    if (v.isString()) {
        row.type = 'A';
        row.type += std::to_string(v.width);
    }
    row.valid = tally.valid();
    row.userMissing = tally.userMissing();
    row.systemMissing = tally.systemMissing();
    row.distinct = tally.distinctCount();
    row.distinctExact = tally.complete();
    row.stats = MakeDescriptives(tally);
    if (!tally.complete()) return row;
    const TallyEntry* mode = nullptr;
    const std::vector<TallyEntry> entries = tally.Entries();
    for (const TallyEntry& e : entries)
        if (e.missing == MissingKind::None && (!mode || e.weight > mode->weight)) mode = &e;
    if (!mode) return row;
    row.hasMode = true;
    row.modeAmount = Amount{mode->weight, mode->cases};
    if (v.isString()) {
        row.modeText = mode->text;
        if (const std::string* label = row.variable.LabelOf(mode->text)) row.modeLabel = *label;
    } else {
        row.modeNumber = mode->number;
        row.modeText = StatsValueText(v, mode->number);
        if (const std::string* label = row.variable.LabelOf(mode->number)) row.modeLabel = *label;
    }
    return row;
}

DescribeResult RunDescribe(const FileDictionary& dict, std::vector<int> variables, bool weighted,
                           Progress* progress, size_t cap, const CaseNumbers* selected) {
    DescribeResult result;
    if (variables.empty())
        for (size_t i = 0; i < dict.variables.size(); ++i) variables.push_back(static_cast<int>(i));
    std::vector<ValueTally> tallies;
    tallies.reserve(variables.size());
    // One more than the cap is held, so that a variable of exactly cap
    // values is still counted exactly.
    for (int v : variables) tallies.emplace_back(MakeStatsVariable(dict, v), cap + 1);
    TallyAll visitor(tallies);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected);
    visitor.Flush();
    if (result.pass.outcome != PassOutcome::Complete) return result;
    for (const ValueTally& tally : tallies) result.rows.push_back(MakeDescribeRow(tally));
    return result;
}

}  // namespace lv
