#include "core/stats/crosstab.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <unordered_map>

#include "core/stats/value_text.h"

namespace lv {
namespace {

// The categories of one side, numbered as they first come.
class Categories {
  public:
    explicit Categories(const StatsVariable& v) : variable_(v) {}

    // Whether a case with value is left out of the table.
    bool LeftOut(const PassValue& value, bool includeUserMissing) const {
        if (variable_.isString())
            return !includeUserMissing && variable_.missing().Holds(value.text);
        return value.sysmis || (!includeUserMissing && variable_.missing().Holds(value.number));
    }

    // The category of value (-1 when the case is left out, -2 when there are
    // too many).
    int Of(const PassValue& value, bool includeUserMissing, size_t max) {
        CrossCategory c;
        if (variable_.isString()) {
            c.missing =
                variable_.missing().Holds(value.text) ? MissingKind::User : MissingKind::None;
            if (c.missing != MissingKind::None && !includeUserMissing) return -1;
            const auto it = texts_.find(std::string(value.text));
            if (it != texts_.end()) return it->second;
            if (list_.size() >= max) return -2;
            c.text = value.text;
            texts_.emplace(c.text, static_cast<int>(list_.size()));
        } else {
            if (value.sysmis) return -1;
            const double x = value.number == 0 ? 0 : value.number;
            c.missing = variable_.missing().Holds(x) ? MissingKind::User : MissingKind::None;
            if (c.missing != MissingKind::None && !includeUserMissing) return -1;
            const uint64_t key = std::bit_cast<uint64_t>(x);
            const auto it = numbers_.find(key);
            if (it != numbers_.end()) return it->second;
            if (list_.size() >= max) return -2;
            c.number = x;
            numbers_.emplace(key, static_cast<int>(list_.size()));
        }
        list_.push_back(std::move(c));
        return static_cast<int>(list_.size()) - 1;
    }

    // The categories in value order, and where each first-come number went.
    std::vector<CrossCategory> Sorted(std::vector<size_t>& placeOf) const {
        std::vector<size_t> order(list_.size());
        std::iota(order.begin(), order.end(), size_t{0});
        const bool strings = variable_.isString();
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return strings ? list_[a].text < list_[b].text : list_[a].number < list_[b].number;
        });
        std::vector<CrossCategory> sorted;
        placeOf.assign(list_.size(), 0);
        for (size_t i = 0; i < order.size(); ++i) {
            CrossCategory c = list_[order[i]];
            const std::string* label =
                strings ? variable_.LabelOf(c.text) : variable_.LabelOf(c.number);
            if (label) c.label = *label;
            c.valueText = strings ? c.text : StatsValueText(*variable_.dict, c.number);
            placeOf[order[i]] = i;
            sorted.push_back(std::move(c));
        }
        return sorted;
    }

  private:
    const StatsVariable& variable_;
    std::vector<CrossCategory> list_;
    std::unordered_map<uint64_t, int> numbers_;
    std::unordered_map<std::string, int> texts_;
};

class CrossVisitor final : public CaseVisitor {
  public:
    CrossVisitor(const StatsVariable& r, const StatsVariable& c, bool includeUserMissing,
                 size_t max)
        : rows(r), columns(c), include_(includeUserMissing), max_(max) {}

    void Case(std::span<const PassValue> values, double weight) override {
        if (tooMany) return;
        if (rows.LeftOut(values[0], include_) || columns.LeftOut(values[1], include_)) {
            missing.Add(weight);
            return;
        }
        const int r = rows.Of(values[0], include_, max_);
        const int c = columns.Of(values[1], include_, max_);
        if (r < 0 || c < 0) {
            tooMany = true;
            return;
        }
        cells[static_cast<uint64_t>(r) << 32 | static_cast<uint32_t>(c)].Add(weight);
    }

    Categories rows, columns;
    std::unordered_map<uint64_t, Amount> cells;
    Amount missing;
    bool tooMany = false;

  private:
    bool include_;
    size_t max_;
};

}  // namespace

CrosstabResult RunCrosstab(const FileDictionary& dict, int rowVariable, int columnVariable,
                           bool weighted, bool includeUserMissing, Progress* progress,
                           size_t maxCategories, const CaseNumbers* selected,
                           const ReaderHandle* file) {
    CrosstabResult result;
    Crosstab& t = result.table;
    t.rowVariable = MakeStatsVariable(dict, rowVariable);
    t.columnVariable = MakeStatsVariable(dict, columnVariable);
    t.includeUserMissing = includeUserMissing;
    CrossVisitor visitor(t.rowVariable, t.columnVariable, includeUserMissing, maxCategories);
    result.pass = ReadCasesOnce(dict, {rowVariable, columnVariable}, weighted, visitor, progress,
                                selected, file);
    t.weighted = result.pass.weighted;
    if (result.pass.outcome != PassOutcome::Complete) return result;
    if (visitor.tooMany) {
        t.error =
            Message{MessageCode::TooManyCategories, {}, {static_cast<long long>(maxCategories)}};
        return result;
    }
    std::vector<size_t> rowPlace, columnPlace;
    t.rows = visitor.rows.Sorted(rowPlace);
    t.columns = visitor.columns.Sorted(columnPlace);
    t.cells.assign(t.rows.size() * t.columns.size(), Amount{});
    t.rowTotals.assign(t.rows.size(), Amount{});
    t.columnTotals.assign(t.columns.size(), Amount{});
    for (const auto& [key, amount] : visitor.cells) {
        const size_t r = rowPlace[key >> 32], c = columnPlace[key & 0xffffffffu];
        t.cells[r * t.columns.size() + c] = amount;
    }
    // Totals summed in table order, so that they do not depend on the
    // order the hash table holds the cells in.
    for (size_t r = 0; r < t.rows.size(); ++r)
        for (size_t c = 0; c < t.columns.size(); ++c) {
            const Amount& a = t.Cell(r, c);
            t.rowTotals[r].weight += a.weight;
            t.rowTotals[r].cases += a.cases;
            t.columnTotals[c].weight += a.weight;
            t.columnTotals[c].cases += a.cases;
            t.total.weight += a.weight;
            t.total.cases += a.cases;
        }
    t.missing = visitor.missing;
    return result;
}

}  // namespace lv
