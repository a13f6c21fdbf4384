#include "core/selection/value_cases.h"

#include <algorithm>
#include <vector>

#include "core/text/trim.h"

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
    std::vector<NumberCell> numbers;
    std::vector<StringCell> strings;
    std::vector<char> match;
    for (uint32_t first = 0; first < grid.rowCount(); first += kBlock) {
        const uint32_t n = std::min(kBlock, grid.rowCount() - first);
        rows.resize(n);
        for (uint32_t i = 0; i < n; ++i) rows[i] = grid.FileRow(first + i);
        match.assign(n, 1);
        for (const CaseValue& v : values) {
            if (v.isString()) {
                strings.assign(n, StringCell{});
                grid.store().GatherStrings(v.column, rows, strings.data());
                for (uint32_t i = 0; i < n; ++i)
                    match[i] &= strings[i].state == CellState::Value &&
                                WithoutTrailingBlanks(strings[i].stored) == v.value.text;
            } else {
                numbers.assign(n, NumberCell{});
                grid.store().GatherNumbers(v.column, rows, numbers.data());
                for (uint32_t i = 0; i < n; ++i) match[i] &= Holds(numbers[i], v.value);
            }
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
