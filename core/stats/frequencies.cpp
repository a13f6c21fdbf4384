#include "core/stats/frequencies.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/stats/moments.h"
#include "core/stats/order_walk.h"
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
    TallyVisitor(std::vector<ValueTally>& tallies, CaseVisitor* alongside)
        : tallies_(tallies), alongside_(alongside) {}
    void Case(std::span<const PassValue> values, double weight) override {
        for (size_t i = 0; i < values.size(); ++i) tallies_[i].Add(values[i], weight);
        if (alongside_) alongside_->Case(values, weight);
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
        if (alongside_) alongside_->Block(stream);
    }

  private:
    std::vector<ValueTally>& tallies_;
    CaseVisitor* alongside_;
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

std::vector<double> PercentilePoints(std::span<const AskedPercentile> asked) {
    std::vector<double> points = {0.25, 0.5, 0.75};
    for (const AskedPercentile& p : asked) points.push_back(p.percent / 100);
    return points;
}

Descriptives MakeDescriptives(const ValueTally& tally, std::span<const AskedPercentile> asked,
                              const BeyondTable* beyond) {
    Descriptives d;
    d.minimum = tally.minimum();
    d.maximum = tally.maximum();
    d.range = d.maximum - d.minimum;
    d.percentiles.assign(asked.begin(), asked.end());
    for (AskedPercentile& p : d.percentiles) p.value = kNaN;
    d.percentilesExact = tally.complete() || beyond;
    d.quartile1 = d.median = d.quartile3 = kNaN;
    // Without every value, only what the pass summed: the mean and variance.
    Moments m;
    if (beyond) {
        m = beyond->moments;
    } else {
        m.mean = tally.Mean();
        m.variance = tally.Variance();
        m.sum = m.mean * tally.valid().weight;
        m.seMean = std::sqrt(m.variance / tally.valid().weight);
        m.skewness = m.seSkewness = m.kurtosis = m.seKurtosis = kNaN;
    }
    std::vector<TallyEntry> values;
    if (tally.complete() && !tally.variable().isString()) {
        values = tally.Entries();
        std::erase_if(values, [](const TallyEntry& e) { return e.missing != MissingKind::None; });
        // A second look at the distinct values: the moments about the mean.
        if (!values.empty()) {
            PowerSums central;
            const double mean = m.mean;
            for (const TallyEntry& e : values) central.Add(e.number - mean, e.weight);
            m = MomentsOf(central, mean);
        }
    }
    d.mean = m.mean;
    d.variance = m.variance;
    d.sd = std::sqrt(m.variance);
    d.seMean = m.seMean;
    d.skewness = m.skewness;
    d.seSkewness = m.seSkewness;
    d.kurtosis = m.kurtosis;
    d.seKurtosis = m.seKurtosis;
    d.sum = m.sum;
    if (!d.percentilesExact || tally.variable().isString()) return d;
    const std::vector<double> points = PercentilePoints(asked);
    OrderFigures order;
    if (beyond) {
        order = beyond->order;
    } else {
        double total = 0;
        for (const TallyEntry& e : values) total += e.weight;
        OrderWalk walk(total, points);
        for (const TallyEntry& e : values) walk.Add(e.number, e.weight, e.cases);
        order = walk.Finish();
    }
    d.quartile1 = order.percentiles[0];
    d.median = order.percentiles[1];
    d.quartile3 = order.percentiles[2];
    for (size_t i = 0; i < d.percentiles.size(); ++i)
        d.percentiles[i].value = order.percentiles[3 + i];
    d.modes = std::move(order.modes);
    d.modeCount = order.modeCount;
    d.modeAmount = Amount{order.modeWeight, order.modeCases};
    return d;
}

FrequencyTable MakeFrequencyTable(const ValueTally& tally, bool weighted, size_t shownRows,
                                  std::span<const AskedPercentile> asked,
                                  const BeyondTable* beyond) {
    FrequencyTable t;
    t.variable = tally.variable();
    t.weighted = weighted;
    t.valid = tally.valid();
    t.userMissing = tally.userMissing();
    t.systemMissing = tally.systemMissing();
    t.total =
        Amount{tally.totalWeight(), t.valid.cases + t.userMissing.cases + t.systemMissing.cases};
    t.distinct = beyond ? beyond->distinct : tally.distinctCount();
    t.distinctExact = tally.complete() || beyond;
    const double total = t.total.weight, valid = t.valid.weight;

    const std::vector<TallyEntry> entries = tally.Entries();
    // The rows' room at once, no more: a document of many variables holds
    // every table.
    {
        size_t validEntries = 0;
        for (const TallyEntry& e : entries) validEntries += e.missing == MissingKind::None;
        const bool moreRow = validEntries > shownRows || tally.restValid().cases > 0;
        t.rows.reserve(std::min(validEntries, shownRows) + moreRow + entries.size() - validEntries +
                       (tally.restMissing().cases > 0) + (t.systemMissing.cases > 0));
    }
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
        // The most frequent of every held value, beyond the rows listed.
        std::vector<const TallyEntry*> held;
        for (const TallyEntry& e : entries)
            if (e.missing == MissingKind::None) held.push_back(&e);
        const size_t keep = std::min(kFrequentValues, held.size());
        std::partial_sort(held.begin(), held.begin() + static_cast<ptrdiff_t>(keep), held.end(),
                          [](const TallyEntry* a, const TallyEntry* b) {
                              if (a->weight != b->weight) return a->weight > b->weight;
                              return a < b;  // entries are in value order
                          });
        for (size_t i = 0; i < keep; ++i) {
            FrequencyRow row = ValueRow(t.variable, *held[i]);
            row.percent = Percent(held[i]->weight, total);
            row.validPercent = Percent(held[i]->weight, valid);
            t.frequent.push_back(std::move(row));
        }
        t.frequentOfAll = tally.complete();
        t.frequentAmong = held.size();
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
        t.stats = MakeDescriptives(tally, asked, beyond);
        t.histogram = MakeHistogram(tally);
    }
    return t;
}

FrequencyResult RunFrequencies(const FileDictionary& dict, const std::vector<int>& variables,
                               bool weighted, Progress* progress, size_t kept,
                               const CaseNumbers* selected, const ReaderHandle* file,
                               std::span<const AskedPercentile> asked, CaseVisitor* alongside) {
    FrequencyResult result;
    std::vector<ValueTally> tallies;
    tallies.reserve(variables.size());
    for (int v : variables) tallies.emplace_back(MakeStatsVariable(dict, v), kept);
    TallyVisitor visitor(tallies, alongside);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected, file);
    if (result.pass.outcome != PassOutcome::Complete) return result;
    const std::vector<double> points = PercentilePoints(asked);
    OrderPassResult order =
        CompleteOrder(dict, variables, tallies, weighted, points, progress, selected, file);
    if (order.pass.outcome != PassOutcome::Complete) {
        result.pass = order.pass;
        return result;
    }
    result.tables.reserve(tallies.size());
    for (size_t i = 0; i < tallies.size(); ++i) {
        const BeyondTable* beyond = order.beyond[i] ? &*order.beyond[i] : nullptr;
        result.tables.push_back(
            MakeFrequencyTable(tallies[i], result.pass.weighted, kShownValueRows, asked, beyond));
        // The tally's table is done with: its memory goes before the next
        // table is made, so that tallies and tables are not held together.
        ValueTally done = std::move(tallies[i]);
    }
    return result;
}

}  // namespace lv
