#include "core/stats/means.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

#include "core/stats/categories.h"
#include "core/stats/exact_sum.h"

namespace lv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The weighted moments of a group's values, summed exactly about the
// group's first value so that large values with a small spread keep their
// digits.
class Moments {
  public:
    void Add(double x, double w) {
        if (n_.cases == 0) shift_ = minimum_ = maximum_ = x;
        minimum_ = std::min(minimum_, x);
        maximum_ = std::max(maximum_, x);
        n_.Add(w);
        const double d = x - shift_;
        sumW_.Add(w);
        sumWD_.Add(w * d);
        sumWD2_.Add(w * d * d);
    }

    MeansFigures Figures() const {
        MeansFigures f{n_, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 0};
        const double w = sumW_.value();
        if (!(w > 0)) return f;
        const double s1 = sumWD_.value();
        f.mean = shift_ + s1 / w;
        f.sum = shift_ * w + s1;
        f.minimum = minimum_;
        f.maximum = maximum_;
        if (w > 1) {
            f.variance = std::max(0.0, (sumWD2_.value() - s1 * s1 / w) / (w - 1));
            f.sd = std::sqrt(f.variance);
            f.seMean = f.sd / std::sqrt(w);
        }
        return f;
    }

  private:
    Amount n_;
    double shift_ = 0, minimum_ = 0, maximum_ = 0;
    ExactSum sumW_, sumWD_, sumWD2_;
};

class MeansVisitor final : public CaseVisitor {
  public:
    MeansVisitor(const Means& m, size_t max) : variable_(m.variable), max_(max) {
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
            it = combinations.emplace(key, Moments{}).first;
        }
        it->second.Add(x.number, weight);
        if (groups.size() == 2) {
            first[place[0]].Add(x.number, weight);
            second[place[1]].Add(x.number, weight);
        }
        total.Add(x.number, weight);
    }

    std::vector<Categories> groups;
    std::unordered_map<uint64_t, Moments> combinations;
    std::unordered_map<int, Moments> first, second;
    Moments total;
    Amount missing;
    bool tooMany = false;

  private:
    const StatsVariable& variable_;
    size_t max_;
};

}  // namespace

MeansResult RunMeans(const FileDictionary& dict, int variable, const std::vector<int>& groups,
                     bool weighted, Progress* progress, size_t maxGroups,
                     const CaseNumbers* selected, const ReaderHandle* file) {
    MeansResult result;
    Means& m = result.table;
    m.variable = MakeStatsVariable(dict, variable);
    for (int g : groups) m.groupVariables.push_back(MakeStatsVariable(dict, g));
    std::vector<int> variables = {variable};
    variables.insert(variables.end(), groups.begin(), groups.end());
    MeansVisitor visitor(m, maxGroups);
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
    const auto category = [&](size_t g, size_t firstCome) {
        return &m.categories[g][placeOf[g][firstCome]];
    };
    // Sorted by the categories' places in value order.
    std::map<std::pair<size_t, size_t>, MeansGroup> sorted;
    for (const auto& [key, moments] : visitor.combinations) {
        MeansGroup group;
        const size_t a = key >> 32, b = key & 0xffffffffu;
        group.values.push_back(category(0, a));
        if (groups.size() == 2) group.values.push_back(category(1, b));
        group.figures = moments.Figures();
        sorted[{placeOf[0][a], groups.size() == 2 ? placeOf[1][b] : 0}] = std::move(group);
    }
    for (auto& [place, group] : sorted) m.groups.push_back(std::move(group));
    for (size_t g = 0; g < 2 && groups.size() == 2; ++g) {
        std::map<size_t, MeansGroup> alone;
        for (const auto& [firstCome, moments] : g == 0 ? visitor.first : visitor.second) {
            MeansGroup group;
            group.values = {nullptr, nullptr};
            group.values[g] = category(g, size_t(firstCome));
            group.figures = moments.Figures();
            alone[placeOf[g][size_t(firstCome)]] = std::move(group);
        }
        for (auto& [place, group] : alone) m.subtotals.push_back(std::move(group));
    }
    m.total.values.assign(groups.size(), nullptr);
    m.total.figures = visitor.total.Figures();
    m.missing = visitor.missing;
    return result;
}

}  // namespace lv
