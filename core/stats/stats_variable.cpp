#include "core/stats/stats_variable.h"

#include "core/dictionary/variable_name.h"

namespace lv {

StatsVariable MakeStatsVariable(const FileDictionary& dict, int index) {
    StatsVariable s;
    s.index = index;
    s.dict = &dict.variables[static_cast<size_t>(index)];
    return s;
}

int WeightVariableIndex(const FileDictionary& dict) {
    if (dict.weightVariable.empty()) return -1;
    const int index = FindVariableNamed(dict.variables, dict.weightVariable, dict.encoding);
    return index >= 0 && !dict.variables[static_cast<size_t>(index)].isString() ? index : -1;
}

}  // namespace lv
