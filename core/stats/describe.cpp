#include "core/stats/describe.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>

#include "core/stats/value_text.h"

namespace lv {
namespace {

// Tallies every variable. Numbers are held for a block of cases and then
// tallied a variable at a time, so that each variable's table stays in the
// processor's cache while its block is counted (case by case, forty tables
// would take turns evicting each other). A full block is tallied on a
// second thread while the pass reads the next one into the other buffer:
// the numeric tables are touched by that thread only, one block at a time.
// Strings are tallied at once, on the reading thread, as their bytes last
// only for the call.
class TallyAll final : public CaseVisitor {
  public:
    static constexpr size_t kBlock = 4096;

    explicit TallyAll(std::vector<ValueTally>& tallies) : tallies_(tallies) {
        for (Held& b : blocks_) {
            b.numbers.resize(tallies.size());
            for (auto& column : b.numbers) column.reserve(kBlock);
            b.weights.reserve(kBlock);
        }
    }
    ~TallyAll() override {
        if (counting_.valid()) counting_.wait();
    }

    void Case(std::span<const PassValue> values, double weight) override {
        Held& b = blocks_[filling_];
        for (size_t i = 0; i < values.size(); ++i) {
            if (tallies_[i].variable().isString())
                tallies_[i].Add(values[i], weight);
            else
                b.numbers[i].push_back(values[i].sysmis ? kSysmisMark : values[i].number);
        }
        b.weights.push_back(weight);
        if (b.weights.size() == kBlock) Hand();
    }

    // The stream's block column by column: numbers into the held block,
    // strings tallied at once.
    void Block(const CaseStream& stream) override {
        const CaseValues& values = stream.values();
        const std::span<const double> weights = stream.weights();
        for (int64_t first = 0; first < stream.rows();) {
            Held& b = blocks_[filling_];
            const int64_t n =
                std::min(stream.rows() - first, static_cast<int64_t>(kBlock - b.weights.size()));
            for (int64_t i = first; i < first + n; ++i)
                b.weights.push_back(weights.empty() ? 1.0 : weights[size_t(i)]);
            const double* weight = &b.weights[b.weights.size() - size_t(n)];
            for (size_t k = 0; k < tallies_.size(); ++k) {
                if (tallies_[k].variable().isString()) {
                    for (int64_t i = 0; i < n; ++i)
                        tallies_[k].Add({false, 0, PassText(values.Text(first + i, k))}, weight[i]);
                    continue;
                }
                std::vector<double>& column = b.numbers[k];
                const double* from = values.Numbers(k) + first;
                const double sysmis = stream.sysmis();
                for (int64_t i = 0; i < n; ++i)
                    column.push_back(IsSystemMissing(from[i], sysmis) ? kSysmisMark : from[i]);
            }
            first += n;
            if (b.weights.size() == kBlock) Hand();
        }
    }

    // Tallies what is held; every table is complete when it returns.
    void Flush() {
        Hand();
        if (counting_.valid()) counting_.get();
    }

  private:
    struct Held {
        std::vector<std::vector<double>> numbers;
        std::vector<double> weights;
    };

    // Starts the filled block's count once the previous count is done, and
    // fills the other buffer meanwhile.
    void Hand() {
        if (counting_.valid()) counting_.get();
        Held& full = blocks_[filling_];
        if (full.weights.empty()) return;
        counting_ = std::async(std::launch::async, [this, &full] { Count(full); });
        filling_ ^= 1;
    }

    void Count(Held& b) {
        for (size_t i = 0; i < b.numbers.size(); ++i) {
            std::vector<double>& column = b.numbers[i];
            for (size_t k = 0; k < column.size(); ++k) {
                PassValue v;
                v.sysmis = std::isnan(column[k]);
                v.number = column[k];
                tallies_[i].Add(v, b.weights[k]);
            }
            column.clear();
        }
        b.weights.clear();
    }

    // System-missing values are held as NaN (a value the pass never hands
    // over as a number: NaN counts as system-missing there too).
    static constexpr double kSysmisMark = std::numeric_limits<double>::quiet_NaN();
    std::vector<ValueTally>& tallies_;
    Held blocks_[2];
    int filling_ = 0;
    std::future<void> counting_;
};

}  // namespace

DescribeRow MakeDescribeRow(const ValueTally& tally, std::span<const AskedPercentile> asked,
                            const BeyondTable* beyond) {
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
    row.distinct = beyond ? beyond->distinct : tally.distinctCount();
    row.distinctExact = tally.complete() || beyond;
    row.stats = MakeDescriptives(tally, asked, beyond);
    if (!v.isString()) {
        if (row.stats.modes.empty()) return row;
        row.hasMode = true;
        row.modeCount = row.stats.modeCount;
        row.modeAmount = row.stats.modeAmount;
        row.modeNumber = row.stats.modes.front();
        row.modeText = StatsValueText(v, row.modeNumber);
        if (const std::string* label = row.variable.LabelOf(row.modeNumber)) row.modeLabel = *label;
        return row;
    }
    if (!tally.complete()) return row;
    const TallyEntry* mode = nullptr;
    const std::vector<TallyEntry> entries = tally.Entries();
    for (const TallyEntry& e : entries) {
        if (e.missing != MissingKind::None) continue;
        const double tolerance = 1e-12 * std::max(e.weight, mode ? mode->weight : 0.0);
        if (!mode || e.weight > mode->weight + tolerance) {
            mode = &e;
            row.modeCount = 1;
        } else if (e.weight >= mode->weight - tolerance) {
            ++row.modeCount;
        }
    }
    if (!mode) return row;
    row.hasMode = true;
    row.modeAmount = Amount{mode->weight, mode->cases};
    row.modeText = mode->text;
    if (const std::string* label = row.variable.LabelOf(mode->text)) row.modeLabel = *label;
    return row;
}

DescribeResult RunDescribe(const FileDictionary& dict, std::vector<int> variables, bool weighted,
                           Progress* progress, size_t cap, const CaseNumbers* selected,
                           const ReaderHandle* file, std::span<const AskedPercentile> asked) {
    DescribeResult result;
    if (variables.empty())
        for (size_t i = 0; i < dict.variables.size(); ++i) variables.push_back(static_cast<int>(i));
    std::vector<ValueTally> tallies;
    tallies.reserve(variables.size());
    // One more than the cap is held, so that a variable of exactly cap
    // values is still counted exactly.
    for (int v : variables) tallies.emplace_back(MakeStatsVariable(dict, v), cap + 1);
    TallyAll visitor(tallies);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected, file);
    visitor.Flush();
    if (result.pass.outcome != PassOutcome::Complete) return result;
    const OrderPassResult order = CompleteOrder(dict, variables, tallies, weighted,
                                                PercentilePoints(asked), progress, selected, file);
    if (order.pass.outcome != PassOutcome::Complete) {
        result.pass = order.pass;
        return result;
    }
    for (size_t i = 0; i < tallies.size(); ++i)
        result.rows.push_back(
            MakeDescribeRow(tallies[i], asked, order.beyond[i] ? &*order.beyond[i] : nullptr));
    return result;
}

}  // namespace lv
