#include "core/stats/stats_variable.h"

#include <algorithm>

#include "core/text/display_encoding.h"
#include "savio/spssfio.h"

namespace lv {

StatsVariable MakeStatsVariable(const FileDictionary& dict, int index) {
    StatsVariable s;
    s.index = index;
    s.dict = &dict.variables[static_cast<size_t>(index)];
    return s;
}

int FindStatsVariable(const FileDictionary& dict, const std::string& name,
                      const std::string& encoding) {
    const auto& vars = dict.variables;
    for (size_t i = 0; i < vars.size(); ++i)
        if (vars[i].name == name || vars[i].longName == name) return static_cast<int>(i);
    for (size_t i = 0; i < vars.size(); ++i)
        if (ToUtf8(vars[i].longName, encoding) == name || ToUtf8(vars[i].name, encoding) == name)
            return static_cast<int>(i);
    // Names are matched without regard to ASCII case, as the file's own
    // programs match them.
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string wanted = lower(name);
    for (size_t i = 0; i < vars.size(); ++i)
        if (lower(vars[i].name) == wanted || lower(vars[i].longName) == wanted)
            return static_cast<int>(i);
    return -1;
}

int WeightVariableIndex(const FileDictionary& dict) {
    if (dict.weightVariable.empty()) return -1;
    for (size_t i = 0; i < dict.variables.size(); ++i)
        if (dict.variables[i].name == dict.weightVariable && !dict.variables[i].isString())
            return static_cast<int>(i);
    return -1;
}

}  // namespace lv
