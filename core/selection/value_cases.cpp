#include "core/selection/value_cases.h"

#include <algorithm>
#include <vector>

#include "core/grid/cell_block.h"

namespace lv {
namespace {

bool Holds(const NumberCell& cell, const ConditionValue& v) {
    if (v.kind == ConditionValue::Kind::SystemMissing) return cell.state == CellState::Sysmis;
    return cell.state == CellState::Value && cell.value == v.number;
}

}  // namespace

int FirstCaseOf(const GridData& grid, std::span<const CaseValue> values) {
    for (const CaseValue& v : values)
        if (v.column < 0 || v.column >= grid.columnCount()) return -1;
    constexpr uint32_t kBlock = 4096;
    std::vector<uint32_t> rows;
    std::vector<int> columns;
    for (const CaseValue& v : values) columns.push_back(v.column);
    CellBlock cells;
    std::vector<char> match;
    for (uint32_t first = 0; first < grid.rowCount(); first += kBlock) {
        const uint32_t n = std::min(kBlock, grid.rowCount() - first);
        rows.resize(n);
        for (uint32_t i = 0; i < n; ++i) rows[i] = grid.FileRow(first + i);
        match.assign(n, 1);
        cells.Gather(grid, columns, rows);
        for (size_t k = 0; k < values.size(); ++k) {
            const CaseValue& v = values[k];
            if (v.isString() != cells.isText(k)) return -1;
            for (uint32_t i = 0; i < n; ++i)
                match[i] &= v.isString() ? cells.State(k, i) == CellState::Value &&
                                               cells.Text(k, i) == v.value.text
                                         : Holds(cells.NumberAt(k, i), v.value);
        }
        for (uint32_t i = 0; i < n; ++i)
            if (match[i]) return static_cast<int>(first + i);
    }
    return -1;
}

std::string ValuesCondition(const FileDictionary& dict, std::span<const CaseValue> values) {
    std::string condition;
    for (const CaseValue& v : values) {
        if (v.column < 0 || size_t(v.column) >= dict.variables.size()) return {};
        const std::string one = ValueCondition(dict.variables[size_t(v.column)].name, v.value);
        condition = condition.empty() ? one : BothConditions(condition, one);
    }
    return condition;
}

}  // namespace lv
