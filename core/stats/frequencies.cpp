#include "core/stats/frequencies.h"

#include <cmath>
#include <limits>

#include "core/stats/percentile.h"
#include "core/stats/value_text.h"

namespace lv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Percent(double part, double whole) {
    return whole > 0 ? 100.0 * part / whole : kNaN;
}

class TallyVisitor final : public CaseVisitor {
  public:
    explicit TallyVisitor(std::vector<ValueTally>& tallies) : tallies_(tallies) {}
    void Case(std::span<const PassValue> values, double weight) override {
        for (size_t i = 0; i < values.size(); ++i) tallies_[i].Add(values[i], weight);
    }
    // A variable at a time: each table is counted over the whole block.
    void Block(const CaseStream& stream) override {
        const CaseValues& values = stream.values();
        const std::span<const double> weights = stream.weights();
        for (size_t k = 0; k < tallies_.size(); ++k) {
            ValueTally& tally = tallies_[k];
            for (int64_t i = 0; i < stream.rows(); ++i) {
                const double weight = weights.empty() ? 1.0 : weights[size_t(i)];
                if (values.isText(k))
                    tally.Add({false, 0, PassText(values.Text(i, k))}, weight);
                else
                    tally.Add({stream.Sysmis(i, k), values.Number(i, k), {}}, weight);
            }
        }
    }

  private:
    std::vector<ValueTally>& tallies_;
};

FrequencyRow ValueRow(const StatsVariable& v, const TallyEntry& e) {
    FrequencyRow row;
    row.missing = e.missing;
    row.amount = Amount{e.weight, e.cases};
    if (v.isString()) {
        row.text = e.text;
        row.valueText = e.text;
        if (const std::string* label = v.LabelOf(e.text)) row.label = *label;
    } else {
        row.number = e.number;
        row.valueText = StatsValueText(*v.dict, e.number);
        if (const std::string* label = v.LabelOf(e.number)) row.label = *label;
    }
    return row;
}

}  // namespace

Descriptives MakeDescriptives(const ValueTally& tally) {
    Descriptives d;
    d.mean = tally.Mean();
    d.sd = std::sqrt(tally.Variance());
    d.minimum = tally.minimum();
    d.maximum = tally.maximum();
    d.percentilesExact = tally.complete();
    d.quartile1 = d.median = d.quartile3 = kNaN;
    if (!d.percentilesExact || tally.variable().isString()) return d;
    std::vector<WeightedValue> values;
    for (const TallyEntry& e : tally.Entries())
        if (e.missing == MissingKind::None) values.push_back({e.number, e.weight});
    d.quartile1 = WeightedAveragePercentile(values, 0.25);
    d.median = WeightedAveragePercentile(values, 0.5);
    d.quartile3 = WeightedAveragePercentile(values, 0.75);
    return d;
}

FrequencyTable MakeFrequencyTable(const ValueTally& tally, bool weighted, size_t shownRows) {
    FrequencyTable t;
    t.variable = tally.variable();
    t.weighted = weighted;
    t.valid = tally.valid();
    t.userMissing = tally.userMissing();
    t.systemMissing = tally.systemMissing();
    t.total =
        Amount{tally.totalWeight(), t.valid.cases + t.userMissing.cases + t.systemMissing.cases};
    t.distinct = tally.distinctCount();
    t.distinctExact = tally.complete();
    const double total = t.total.weight, valid = t.valid.weight;

    const std::vector<TallyEntry> entries = tally.Entries();
    FrequencyRow more;
    more.kind = FrequencyRow::Kind::More;
    more.moreExact = tally.complete();
    more.amount = tally.restValid();
    more.moreValues = tally.complete() ? 0 : tally.distinctCount() - entries.size();
    size_t shown = 0;
    double cumulative = 0;
    for (const TallyEntry& e : entries) {
        if (e.missing != MissingKind::None) continue;
        if (shown == shownRows) {
            ++more.moreValues;
            more.amount.weight += e.weight;
            more.amount.cases += e.cases;
            continue;
        }
        ++shown;
        FrequencyRow row = ValueRow(t.variable, e);
        cumulative += e.weight;
        row.percent = Percent(e.weight, total);
        row.validPercent = Percent(e.weight, valid);
        row.cumulativePercent = Percent(cumulative, valid);
        t.rows.push_back(std::move(row));
    }
    if (more.amount.cases > 0) {
        cumulative += more.amount.weight;
        more.percent = Percent(more.amount.weight, total);
        more.validPercent = Percent(more.amount.weight, valid);
        more.cumulativePercent = Percent(cumulative, valid);
        t.rows.push_back(more);
    }
    for (const TallyEntry& e : entries) {
        if (e.missing == MissingKind::None) continue;
        FrequencyRow row = ValueRow(t.variable, e);
        row.percent = Percent(e.weight, total);
        row.validPercent = row.cumulativePercent = kNaN;
        t.rows.push_back(std::move(row));
    }
    if (tally.restMissing().cases > 0) {
        FrequencyRow rest;
        rest.kind = FrequencyRow::Kind::More;
        rest.missing = MissingKind::User;
        rest.moreExact = false;
        rest.amount = tally.restMissing();
        rest.percent = Percent(rest.amount.weight, total);
        rest.validPercent = rest.cumulativePercent = kNaN;
        t.rows.push_back(rest);
    }
    if (t.systemMissing.cases > 0) {
        FrequencyRow row;
        row.kind = FrequencyRow::Kind::SystemMissing;
        row.missing = MissingKind::System;
        row.valueText = ".";
        row.amount = t.systemMissing;
        row.percent = Percent(t.systemMissing.weight, total);
        row.validPercent = row.cumulativePercent = kNaN;
        t.rows.push_back(row);
    }
    if (!t.variable.isString()) {
        t.stats = MakeDescriptives(tally);
        t.histogram = MakeHistogram(tally);
    }
    return t;
}

FrequencyResult RunFrequencies(const FileDictionary& dict, const std::vector<int>& variables,
                               bool weighted, Progress* progress, size_t kept,
                               const CaseNumbers* selected, const ReaderHandle* file) {
    FrequencyResult result;
    std::vector<ValueTally> tallies;
    tallies.reserve(variables.size());
    for (int v : variables) tallies.emplace_back(MakeStatsVariable(dict, v), kept);
    TallyVisitor visitor(tallies);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected, file);
    if (result.pass.outcome != PassOutcome::Complete) return result;
    for (const ValueTally& tally : tallies)
        result.tables.push_back(MakeFrequencyTable(tally, result.pass.weighted));
    return result;
}

}  // namespace lv
