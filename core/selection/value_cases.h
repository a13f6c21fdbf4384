// The cases of the grid that hold given values (what a row of a frequency
// table or a cell of a crosstab stands for): the first of them in the order
// the grid shows its rows, and the condition that selects them all.
#pragma once

#include <span>
#include <string>

#include "core/dictionary/file_dictionary.h"
#include "core/grid/grid_data.h"
#include "core/selection/value_condition.h"

namespace lv {

// A value of a variable (a grid column, a dictionary index).
struct CaseValue {
    int column = 0;
    ConditionValue value;
    bool isString() const { return value.kind == ConditionValue::Kind::Text; }
};

// The display row of the first case shown that holds every value: a string
// equal without its trailing blanks, a number equal, system-missing for
// SystemMissing. -1 when no case does, or a value's column is not the grid's.
int FirstCaseOf(const GridData& grid, std::span<const CaseValue> values);

// The condition that selects the cases holding every value, in the names
// of dict's variables (the file's bytes); empty when there is no value or a
// value's column is not one of dict's variables.
std::string ValuesCondition(const FileDictionary& dict, std::span<const CaseValue> values);

}  // namespace lv
