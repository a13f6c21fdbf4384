#include "core/stats/order_pass.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lv {
namespace {

struct Counted {
    double value = 0;
    double weight = 0;
    int64_t cases = 0;
    bool missing = false;  // user-missing: counted as distinct only
};

// One variable's window of values (low, high].
struct Window {
    const ValueTally* tally = nullptr;
    double mean = 0;
    double low = 0;
    double high = std::numeric_limits<double>::infinity();
    size_t capacity = 0;
    bool cut = false;  // high came down during this pass
    std::vector<Counted> held;
    PowerSums central;

    // Sorts and merges equal values; gives up the upper half of the
    // distinct values when more than half the buffer is left.
    void Compact() {
        std::sort(held.begin(), held.end(),
                  [](const Counted& a, const Counted& b) { return a.value < b.value; });
        size_t n = 0;
        for (const Counted& c : held) {
            if (n > 0 && held[n - 1].value == c.value) {
                held[n - 1].weight += c.weight;
                held[n - 1].cases += c.cases;
            } else {
                held[n++] = c;
            }
        }
        held.resize(n);
        const size_t keep = std::max<size_t>(capacity / 2, 1);
        if (held.size() > keep && held.size() * 2 > capacity) {
            held.resize(keep);
            high = held.back().value;
            cut = true;
        }
    }

    void Add(double x, double weight, bool firstPass) {
        if (std::isnan(x)) return;
        const bool missing = tally->variable().missing().Holds(x);
        if (firstPass && !missing) central.Add(x - mean, weight);
        if (!(x > low) || x > high) return;
        held.push_back({x, weight, 1, missing});
        if (held.size() >= capacity) Compact();
    }
};

class WindowVisitor final : public CaseVisitor {
  public:
    WindowVisitor(std::vector<Window*>& windows, bool firstPass)
        : windows_(windows), firstPass_(firstPass) {}
    void Case(std::span<const PassValue> values, double weight) override {
        for (size_t k = 0; k < windows_.size(); ++k)
            windows_[k]->Add(values[k].sysmis ? NAN : values[k].number, weight, firstPass_);
    }
    void Block(const CaseStream& stream) override {
        const std::span<const double> weights = stream.weights();
        for (size_t k = 0; k < windows_.size(); ++k) {
            const double* numbers = stream.values().Numbers(k);
            for (int64_t i = 0; i < stream.rows(); ++i) {
                const double x = IsSystemMissing(numbers[i], stream.sysmis()) ? NAN : numbers[i];
                windows_[k]->Add(x, weights.empty() ? 1.0 : weights[size_t(i)], firstPass_);
            }
        }
    }

  private:
    std::vector<Window*>& windows_;
    bool firstPass_;
};

}  // namespace

OrderPassResult CompleteOrder(const FileDictionary& dict, const std::vector<int>& variables,
                              const std::vector<ValueTally>& tallies, bool weighted,
                              std::span<const double> points, Progress* progress,
                              const CaseNumbers* selected, const ReaderHandle* file,
                              size_t bufferBytes) {
    OrderPassResult result;
    result.pass.outcome = PassOutcome::Complete;
    result.beyond.resize(tallies.size());
    std::vector<Window> windows;
    std::vector<size_t> of;  // the tally of each window
    for (size_t i = 0; i < tallies.size(); ++i) {
        const ValueTally& t = tallies[i];
        if (t.complete() || t.variable().isString() || t.valid().cases == 0) continue;
        Window w;
        w.tally = &t;
        w.mean = t.Mean();
        w.low = t.heldLimit();
        windows.push_back(std::move(w));
        of.push_back(i);
    }
    if (windows.empty()) return result;
    const size_t capacity = std::max<size_t>(bufferBytes / sizeof(Counted) / windows.size(), 64);
    // Each walk starts with the values the table holds whole.
    std::vector<OrderWalk> walks;
    std::vector<size_t> distinct(windows.size());
    for (size_t k = 0; k < windows.size(); ++k) {
        windows[k].capacity = capacity;
        windows[k].held.reserve(capacity);
        walks.emplace_back(windows[k].tally->valid().weight, points);
        for (const TallyEntry& e : windows[k].tally->Entries()) {
            ++distinct[k];
            if (e.missing == MissingKind::None) walks[k].Add(e.number, e.weight, e.cases);
        }
    }
    std::vector<size_t> open(windows.size());
    for (size_t k = 0; k < open.size(); ++k) open[k] = k;
    for (bool first = true; !open.empty(); first = false) {
        std::vector<Window*> reading;
        std::vector<int> columns;
        for (size_t k : open) {
            reading.push_back(&windows[k]);
            columns.push_back(variables[of[k]]);
        }
        WindowVisitor visitor(reading, first);
        result.pass = ReadCasesOnce(dict, columns, weighted, visitor, progress, selected, file);
        if (result.pass.outcome != PassOutcome::Complete) return result;
        std::vector<size_t> still;
        for (size_t k : open) {
            Window& w = windows[k];
            w.Compact();
            for (const Counted& c : w.held) {
                ++distinct[k];
                if (!c.missing) walks[k].Add(c.value, c.weight, c.cases);
            }
            w.held.clear();
            if (w.cut && w.high < std::numeric_limits<double>::infinity()) {
                w.low = w.high;
                w.high = std::numeric_limits<double>::infinity();
                w.cut = false;
                still.push_back(k);
            }
        }
        open.swap(still);
    }
    for (size_t k = 0; k < windows.size(); ++k) {
        BeyondTable& b = result.beyond[of[k]].emplace();
        b.order = walks[k].Finish();
        b.moments = MomentsOf(windows[k].central, windows[k].mean);
        b.distinct = distinct[k];
    }
    return result;
}

}  // namespace lv
