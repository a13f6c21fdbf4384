#include "core/stats/describe.h"

#include "core/stats/value_text.h"

namespace lv {
namespace {

class TallyAll final : public CaseVisitor {
  public:
    explicit TallyAll(std::vector<ValueTally>& tallies) : tallies_(tallies) {}
    void Case(std::span<const PassValue> values, double weight) override {
        for (size_t i = 0; i < values.size(); ++i) tallies_[i].Add(values[i], weight);
    }

  private:
    std::vector<ValueTally>& tallies_;
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
                           Progress* progress, size_t cap) {
    DescribeResult result;
    if (variables.empty())
        for (size_t i = 0; i < dict.variables.size(); ++i) variables.push_back(static_cast<int>(i));
    std::vector<ValueTally> tallies;
    tallies.reserve(variables.size());
    // One more than the cap is held, so that a variable of exactly cap
    // values is still counted exactly.
    for (int v : variables) tallies.emplace_back(MakeStatsVariable(dict, v), cap + 1);
    TallyAll visitor(tallies);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress);
    if (result.pass.outcome != PassOutcome::Complete) return result;
    for (const ValueTally& tally : tallies) result.rows.push_back(MakeDescribeRow(tally));
    return result;
}

}  // namespace lv
