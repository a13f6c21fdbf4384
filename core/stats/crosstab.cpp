#include "core/stats/crosstab.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "core/stats/categories.h"

namespace lv {
namespace {

using CellMap = std::unordered_map<uint64_t, Amount>;

uint64_t CellKey(int r, int c) {
    return static_cast<uint64_t>(r) << 32 | static_cast<uint32_t>(c);
}

class CrossVisitor final : public CaseVisitor {
  public:
    CrossVisitor(const StatsVariable& r, const StatsVariable& c, const StatsVariable* layer,
                 bool includeUserMissing, size_t max)
        : rows(r), columns(c), include_(includeUserMissing), max_(max) {
        if (layer) layers.emplace(*layer);
    }

    void Case(std::span<const PassValue> values, double weight) override {
        if (tooMany) return;
        int l = 0;
        if (layers) {
            if (layers->LeftOut(values[2], include_)) {
                missing.Add(weight);
                return;
            }
            l = layers->Of(values[2], include_, max_);
            if (l < 0) {
                tooMany = true;
                return;
            }
            if (static_cast<size_t>(l) >= layerCells.size()) {
                layerCells.resize(size_t(l) + 1);
                layerMissing.resize(size_t(l) + 1);
            }
        }
        if (rows.LeftOut(values[0], include_) || columns.LeftOut(values[1], include_)) {
            missing.Add(weight);
            if (layers) layerMissing[size_t(l)].Add(weight);
            return;
        }
        const int r = rows.Of(values[0], include_, max_);
        const int c = columns.Of(values[1], include_, max_);
        if (r < 0 || c < 0) {
            tooMany = true;
            return;
        }
        cells[CellKey(r, c)].Add(weight);
        if (layers) layerCells[size_t(l)][CellKey(r, c)].Add(weight);
    }

    Categories rows, columns;
    std::optional<Categories> layers;
    CellMap cells;
    std::vector<CellMap> layerCells;  // by the layer's first-come number
    std::vector<Amount> layerMissing;
    Amount missing;
    bool tooMany = false;

  private:
    bool include_;
    size_t max_;
};

// Fills t's cells and totals from the counted cells; with keepEmpty false,
// the rows and columns without a case are dropped.
void FillTable(Crosstab& t, const std::vector<CrossCategory>& rows,
               const std::vector<CrossCategory>& columns, const std::vector<size_t>& rowPlace,
               const std::vector<size_t>& columnPlace, const CellMap& cells, bool keepEmpty) {
    std::vector<bool> rowUsed(rows.size(), keepEmpty), columnUsed(columns.size(), keepEmpty);
    for (const auto& [key, amount] : cells) {
        rowUsed[rowPlace[key >> 32]] = true;
        columnUsed[columnPlace[key & 0xffffffffu]] = true;
    }
    // Where each sorted category lands in t (-1: dropped).
    const auto keep = [](const std::vector<CrossCategory>& all, const std::vector<bool>& used,
                         std::vector<CrossCategory>& kept) {
        std::vector<long> at(all.size(), -1);
        for (size_t i = 0; i < all.size(); ++i)
            if (used[i]) {
                at[i] = static_cast<long>(kept.size());
                kept.push_back(all[i]);
            }
        return at;
    };
    const std::vector<long> rowAt = keep(rows, rowUsed, t.rows);
    const std::vector<long> columnAt = keep(columns, columnUsed, t.columns);
    t.cells.assign(t.rows.size() * t.columns.size(), Amount{});
    t.rowTotals.assign(t.rows.size(), Amount{});
    t.columnTotals.assign(t.columns.size(), Amount{});
    for (const auto& [key, amount] : cells) {
        const size_t r = size_t(rowAt[rowPlace[key >> 32]]);
        const size_t c = size_t(columnAt[columnPlace[key & 0xffffffffu]]);
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
}

}  // namespace

CrosstabResult RunCrosstab(const FileDictionary& dict, int rowVariable, int columnVariable,
                           bool weighted, bool includeUserMissing, Progress* progress,
                           size_t maxCategories, const CaseNumbers* selected,
                           const ReaderHandle* file, int layerVariable) {
    CrosstabResult result;
    Crosstab& t = result.table;
    t.rowVariable = MakeStatsVariable(dict, rowVariable);
    t.columnVariable = MakeStatsVariable(dict, columnVariable);
    t.includeUserMissing = includeUserMissing;
    std::vector<int> variables = {rowVariable, columnVariable};
    if (layerVariable >= 0) {
        result.layerVariable = MakeStatsVariable(dict, layerVariable);
        variables.push_back(layerVariable);
    }
    CrossVisitor visitor(t.rowVariable, t.columnVariable,
                         result.layerVariable ? &*result.layerVariable : nullptr,
                         includeUserMissing, maxCategories);
    result.pass = ReadCasesOnce(dict, variables, weighted, visitor, progress, selected, file);
    t.weighted = result.pass.weighted;
    if (result.pass.outcome != PassOutcome::Complete) return result;
    if (visitor.tooMany) {
        t.error =
            Message{MessageCode::TooManyCategories, {}, {static_cast<long long>(maxCategories)}};
        return result;
    }
    std::vector<size_t> rowPlace, columnPlace;
    const std::vector<CrossCategory> rows = visitor.rows.Sorted(rowPlace);
    const std::vector<CrossCategory> columns = visitor.columns.Sorted(columnPlace);
    FillTable(t, rows, columns, rowPlace, columnPlace, visitor.cells, true);
    t.missing = visitor.missing;
    if (!visitor.layers) return result;
    std::vector<size_t> layerPlace;
    std::vector<CrossCategory> values = visitor.layers->Sorted(layerPlace);
    result.layers.resize(values.size());
    visitor.layerCells.resize(values.size());
    visitor.layerMissing.resize(values.size());
    for (size_t l = 0; l < values.size(); ++l) {
        CrossLayer& layer = result.layers[layerPlace[l]];
        layer.table.rowVariable = t.rowVariable;
        layer.table.columnVariable = t.columnVariable;
        layer.table.weighted = t.weighted;
        layer.table.includeUserMissing = includeUserMissing;
        FillTable(layer.table, rows, columns, rowPlace, columnPlace, visitor.layerCells[l], false);
        layer.table.missing = visitor.layerMissing[l];
    }
    for (size_t l = 0; l < values.size(); ++l) result.layers[l].value = std::move(values[l]);
    return result;
}

}  // namespace lv
