#include "core/stats/means.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

#include "core/stats/categories.h"
#include "core/stats/moments.h"
#include "core/stats/order_walk.h"
#include "core/stats/value_tally.h"

namespace lv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The values of one group: a tally of its distinct values, for the median
// and a second look at the moments about the mean, and the power sums
// about the group's first value, for the moments once the tally has given
// up values.
class GroupValues {
  public:
    GroupValues(const StatsVariable& variable, size_t kept) : tally_(variable, kept) {}

    void Add(const PassValue& x, double weight) {
        if (!started_) shift_ = x.number;
        started_ = true;
        tally_.Add(x, weight);
        sums_.Add(x.number - shift_, weight);
    }
    size_t held() const { return tally_.held(); }
    void ShedUpperHalf() { tally_.ShedUpperHalf(); }

    // lost: set when the median lies among values the tally gave up.
    MeansFigures Figures(bool& lost) const {
        const std::vector<TallyEntry> values = tally_.Entries();
        Moments m = MomentsOf(sums_, shift_);
        if (tally_.complete() && !values.empty()) {
            PowerSums central;
            const double mean = m.mean;
            for (const TallyEntry& e : values) central.Add(e.number - mean, e.weight);
            m = MomentsOf(central, mean);
        }
        MeansFigures f{};
        f.n = tally_.valid();
        f.mean = m.mean;
        f.variance = m.variance;
        f.sd = std::sqrt(m.variance);
        f.seMean = m.seMean;
        f.sum = m.weight > 0 ? m.sum : 0;
        f.skewness = m.skewness;
        f.seSkewness = m.seSkewness;
        f.kurtosis = m.kurtosis;
        f.seKurtosis = m.seKurtosis;
        f.minimum = tally_.minimum();
        f.maximum = tally_.maximum();
        f.range = f.maximum - f.minimum;
        f.median = kNaN;
        if (values.empty()) return f;
        // The held values are every value up to the tally's limit with its
        // whole count: the median is exact when the walk reaches its rank
        // among them.
        double total = tally_.restValid().weight;
        for (const TallyEntry& e : values) total += e.weight;
        const double points[] = {0.5};
        OrderWalk walk(total, points);
        double cumulative = 0;
        for (const TallyEntry& e : values) {
            walk.Add(e.number, e.weight, e.cases);
            cumulative += e.weight;
        }
        if (tally_.complete() || cumulative > (total + 1) * points[0])
            f.median = walk.Finish().percentiles[0];
        else
            lost = true;
        return f;
    }

  private:
    ValueTally tally_;
    bool started_ = false;
    double shift_ = 0;
    PowerSums sums_;
};

class MeansVisitor final : public CaseVisitor {
  public:
    MeansVisitor(const Means& m, size_t max, size_t heldValues)
        : total(m.variable, heldValues), variable_(m.variable), max_(max), budget_(heldValues) {
        for (const StatsVariable& g : m.groupVariables) groups.emplace_back(g);
    }

    void Case(std::span<const PassValue> values, double weight) override {
        if (tooMany) return;
        const PassValue& x = values[0];
        bool out = x.sysmis || variable_.missing().Holds(x.number);
        for (size_t g = 0; g < groups.size() && !out; ++g)
            out = groups[g].LeftOut(values[g + 1], false);
        if (out) {
            missing.Add(weight);
            return;
        }
        int place[2] = {0, 0};
        for (size_t g = 0; g < groups.size(); ++g) {
            place[g] = groups[g].Of(values[g + 1], false, max_);
            if (place[g] < 0) {
                tooMany = true;
                return;
            }
        }
        const uint64_t key = static_cast<uint64_t>(place[0]) << 32 | uint32_t(place[1]);
        auto it = combinations.find(key);
        if (it == combinations.end()) {
            if (combinations.size() >= max_) {
                tooMany = true;
                return;
            }
            it = combinations.try_emplace(key, variable_, budget_).first;
        }
        Add(it->second, x, weight);
        if (groups.size() == 2) {
            Add(first.try_emplace(place[0], variable_, budget_).first->second, x, weight);
            Add(second.try_emplace(place[1], variable_, budget_).first->second, x, weight);
        }
        Add(total, x, weight);
    }

    std::vector<Categories> groups;
    std::unordered_map<uint64_t, GroupValues> combinations;
    std::unordered_map<int, GroupValues> first, second;
    GroupValues total;
    Amount missing;
    bool tooMany = false;

  private:
    void Add(GroupValues& group, const PassValue& x, double weight) {
        const size_t before = group.held();
        group.Add(x, weight);
        held_ = held_ - before + group.held();
        if (held_ > budget_) ShedLargest();
    }

    // Over the bound: the tallies holding the most values give up half of
    // theirs, the largest first, until a quarter of the bound is free, so
    // that the look over every group comes seldom, whatever their number.
    void ShedLargest() {
        std::vector<GroupValues*> all = {&total};
        for (auto* map : {&first, &second})
            for (auto& [key, group] : *map) all.push_back(&group);
        for (auto& [key, group] : combinations) all.push_back(&group);
        std::sort(all.begin(), all.end(),
                  [](const GroupValues* a, const GroupValues* b) { return a->held() > b->held(); });
        for (GroupValues* group : all) {
            if (held_ <= budget_ - budget_ / 4 || group->held() < 2) break;
            const size_t before = group->held();
            group->ShedUpperHalf();
            held_ = held_ - before + group->held();
        }
    }

    const StatsVariable& variable_;
    size_t max_, budget_;
    size_t held_ = 0;
};

}  // namespace

MeansResult RunMeans(const FileDictionary& dict, int variable, const std::vector<int>& groups,
                     bool weighted, Progress* progress, size_t maxGroups,
                     const CaseNumbers* selected, const ReaderHandle* file, size_t heldValues) {
    MeansResult result;
    Means& m = result.table;
    m.variable = MakeStatsVariable(dict, variable);
    for (int g : groups) m.groupVariables.push_back(MakeStatsVariable(dict, g));
    std::vector<int> variables = {variable};
    variables.insert(variables.end(), groups.begin(), groups.end());
    MeansVisitor visitor(m, maxGroups, heldValues);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected, file);
    m.weighted = result.pass.weighted;
    if (result.pass.outcome != PassOutcome::Complete) return result;
    if (visitor.tooMany) {
        m.error = Message{MessageCode::TooManyCategories, {}, {static_cast<long long>(maxGroups)}};
        return result;
    }
    std::vector<std::vector<size_t>> placeOf(groups.size());
    for (size_t g = 0; g < groups.size(); ++g)
        m.categories.push_back(visitor.groups[g].Sorted(placeOf[g]));
    const auto figures = [&](const GroupValues& values) {
        bool lost = false;
        MeansFigures f = values.Figures(lost);
        m.mediansLost += lost;
        return f;
    };
    const auto category = [&](size_t g, size_t firstCome) {
        return &m.categories[g][placeOf[g][firstCome]];
    };
    // Sorted by the categories' places in value order.
    std::map<std::pair<size_t, size_t>, MeansGroup> sorted;
    for (const auto& [key, values] : visitor.combinations) {
        MeansGroup group;
        const size_t a = key >> 32, b = key & 0xffffffffu;
        group.values.push_back(category(0, a));
        if (groups.size() == 2) group.values.push_back(category(1, b));
        group.figures = figures(values);
        sorted[{placeOf[0][a], groups.size() == 2 ? placeOf[1][b] : 0}] = std::move(group);
    }
    for (auto& [place, group] : sorted) m.groups.push_back(std::move(group));
    for (size_t g = 0; g < 2 && groups.size() == 2; ++g) {
        std::map<size_t, MeansGroup> alone;
        for (const auto& [firstCome, values] : g == 0 ? visitor.first : visitor.second) {
            MeansGroup group;
            group.values = {nullptr, nullptr};
            group.values[g] = category(g, size_t(firstCome));
            group.figures = figures(values);
            alone[placeOf[g][size_t(firstCome)]] = std::move(group);
        }
        for (auto& [place, group] : alone) m.subtotals.push_back(std::move(group));
    }
    m.total.values.assign(groups.size(), nullptr);
    m.total.figures = figures(visitor.total);
    m.missing = visitor.missing;
    return result;
}

}  // namespace lv
