#include "core/stats/stats_variable.h"

#include <algorithm>

#include "core/text/display_encoding.h"
#include "savio/spssfio.h"

namespace lv {

const std::string* StatsVariable::LabelOf(double value) const {
    for (const auto& [v, label] : dict->numericLabels)
        if (v == value) return &label;
    return nullptr;
}

const std::string* StatsVariable::LabelOf(std::string_view valueWithoutBlanks) const {
    for (const auto& [v, label] : dict->stringLabels)
        if (v == valueWithoutBlanks) return &label;
    return nullptr;
}

StatsVariable MakeStatsVariable(const FileDictionary& dict, int index) {
    StatsVariable s;
    s.index = index;
    s.dict = &dict.variables[static_cast<size_t>(index)];
    const DictVariable& v = *s.dict;
    MissingValues& m = s.missing;
    switch (v.missingCode) {
        case SPSS_ONE_MISSVAL:
        case SPSS_TWO_MISSVAL:
        case SPSS_THREE_MISSVAL:
            m.count = v.missingCode;
            break;
        case SPSS_MISS_RANGE:
            m.range = true;
            break;
        case SPSS_MISS_RANGEANDVAL:
            m.range = true;
            m.count = 1;
            break;
        default:
            break;
    }
    // The range's ends come first, then its one discrete value.
    if (v.isString()) {
        std::string texts[3];
        for (int k = 0; k < 3; ++k) texts[k] = std::string(WithoutTrailingBlanks(v.missingText[k]));
        if (m.range) {
            m.lowText = texts[0];
            m.highText = texts[1];
            if (m.count == 1) m.strings[0] = texts[2];
        } else {
            for (int k = 0; k < m.count; ++k) m.strings[k] = texts[k];
        }
    } else if (m.range) {
        m.low = v.missing[0];
        m.high = v.missing[1];
        if (m.count == 1) m.numbers[0] = v.missing[2];
    } else {
        for (int k = 0; k < m.count; ++k) m.numbers[k] = v.missing[k];
    }
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

const char* MeasureName(int measure) {
    switch (measure) {
        case SPSS_MLVL_NOM:
            return "nominal";
        case SPSS_MLVL_ORD:
            return "ordinal";
        case SPSS_MLVL_RAT:
            return "scale";
        default:
            return "";
    }
}

}  // namespace lv
