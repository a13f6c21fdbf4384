#include "core/stats/order_pass.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lv {
namespace {

// One variable's window: the values above low, counted in a table of its
// own that gives up its upper half when it fills (as the first pass's
// does), so that the window ends where that table's held values end.
struct Window {
    const ValueTally* tally = nullptr;
    double mean = 0;
    double low = 0;
    size_t capacity = 0;
    std::optional<ValueTally> seen;
    PowerSums central;

    void Start() { seen.emplace(tally->variable(), capacity); }

    void Add(double x, double weight, bool firstPass) {
        if (std::isnan(x)) return;
        if (firstPass && !tally->variable().missing().Holds(x)) central.Add(x - mean, weight);
        if (x > low) seen->Add({false, x, {}}, weight);
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
    // A table's slots take 24 bytes and are filled to 70% at most, doubling
    // as they fill: under 72 bytes a value.
    const size_t capacity = std::max<size_t>(bufferBytes / 72 / windows.size(), 64);
    // Each walk starts with the values the table holds whole.
    std::vector<OrderWalk> walks;
    std::vector<size_t> distinct(windows.size());
    for (size_t k = 0; k < windows.size(); ++k) {
        windows[k].capacity = capacity;
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
            windows[k].Start();
            reading.push_back(&windows[k]);
            columns.push_back(variables[of[k]]);
        }
        WindowVisitor visitor(reading, first);
        result.pass = ReadCasesOnce(dict, columns, weighted, visitor, progress, selected, file);
        if (result.pass.outcome != PassOutcome::Complete) return result;
        std::vector<size_t> still;
        for (size_t k : open) {
            Window& w = windows[k];
            for (const TallyEntry& e : w.seen->Entries()) {
                ++distinct[k];
                if (e.missing == MissingKind::None) walks[k].Add(e.number, e.weight, e.cases);
            }
            // Values above the table's held ones wait for the next pass.
            if (!w.seen->complete()) {
                w.low = w.seen->heldLimit();
                still.push_back(k);
            }
            w.seen.reset();
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
