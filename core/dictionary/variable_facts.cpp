#include "core/dictionary/variable_facts.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "core/state/spssdio1.h"
#include "savio/spssfio.h"

namespace lv {

MissingValues MissingValuesOf(const DictVariable& v) {
    MissingValues m;
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
        if (m.range) {
            m.lowText = v.missingText[0];
            m.highText = v.missingText[1];
            if (m.count == 1) m.strings[0] = v.missingText[2];
        } else {
            for (int k = 0; k < m.count; ++k) m.strings[k] = v.missingText[k];
        }
    } else if (m.range) {
        m.low = v.missing[0];
        m.high = v.missing[1];
        if (m.count == 1) m.numbers[0] = v.missing[2];
    } else {
        for (int k = 0; k < m.count; ++k) m.numbers[k] = v.missing[k];
    }
    return m;
}

namespace {

void TakeLabels(const DictVariable& v, VariableFacts& f) {
    // Stable: of two values that are equal without their blanks, the first
    // keeps its label.
    const auto byValue = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (f.isString) {
        f.stringLabels = v.stringLabels;
        std::stable_sort(f.stringLabels.begin(), f.stringLabels.end(), byValue);
        return;
    }
    // A label of a value that is not a number could never be matched (and
    // would leave the list unsortable).
    for (const auto& entry : v.numericLabels)
        if (!std::isnan(entry.first)) f.numberLabels.push_back(entry);
    std::stable_sort(f.numberLabels.begin(), f.numberLabels.end(), byValue);
}

}  // namespace

bool MissingValues::Holds(double value) const {
    for (int k = 0; k < count; ++k)
        if (value == numbers[k]) return true;
    return range && value >= low && value <= high;
}

bool MissingValues::Holds(std::string_view value) const {
    for (int k = 0; k < count; ++k)
        if (value == strings[k]) return true;
    return range && value >= lowText && value <= highText;
}

const std::string* VariableFacts::LabelOf(double value) const {
    const auto it = std::lower_bound(numberLabels.begin(), numberLabels.end(), value,
                                     [](const auto& entry, double v) { return entry.first < v; });
    return it != numberLabels.end() && it->first == value ? &it->second : nullptr;
}

const std::string* VariableFacts::LabelOf(std::string_view valueWithoutBlanks) const {
    const auto it =
        std::lower_bound(stringLabels.begin(), stringLabels.end(), valueWithoutBlanks,
                         [](const auto& entry, std::string_view v) { return entry.first < v; });
    return it != stringLabels.end() && it->first == valueWithoutBlanks ? &it->second : nullptr;
}

void TakeFacts(const DictVariable& variable, VariableFacts& facts) {
    facts.longName = variable.longName == facts.name ? std::string() : variable.longName;
    facts.label = variable.hasLabel ? variable.label : std::string();
    facts.formatType = variable.print.type;
    facts.formatWidth = variable.print.width;
    facts.formatDecimals = variable.print.decimals;
    facts.missing = MissingValuesOf(variable);
    TakeLabels(variable, facts);
}

namespace {

// The names and kinds of the first varCount variables as the shared state
// holds them, nothing more.
std::vector<VariableFacts> NamedFacts(int varCount) {
    using namespace spssdio1;
    varCount = std::max(varCount, 0);
    EnsureVarCapacity(varCount);
    std::vector<VariableFacts> facts(varCount);
    for (int i = 0; i < varCount; ++i) {
        facts[i].name = std::string(SlotText(VarNames[i]));
        facts[i].isString = VarTypes[i] != 0;
    }
    return facts;
}

void TakeAllFacts(const FileDictionary& dict, std::vector<VariableFacts>& facts) {
    std::unordered_map<std::string_view, const DictVariable*> byName;
    for (size_t i = 0; i < facts.size(); ++i) {
        VariableFacts& f = facts[i];
        const DictVariable* v = nullptr;
        if (i < dict.variables.size() && dict.variables[i].name == f.name) {
            v = &dict.variables[i];
        } else {
            // The shared state names the variables; the file is asked by name.
            if (byName.empty())
                for (const DictVariable& d : dict.variables) byName.emplace(d.name, &d);
            const auto it = byName.find(f.name);
            if (it != byName.end()) v = it->second;
        }
        if (v) TakeFacts(*v, f);
    }
}

}  // namespace

std::vector<VariableFacts> VariableFactsOf(const FileDictionary& dict, int varCount) {
    std::vector<VariableFacts> facts = NamedFacts(varCount);
    TakeAllFacts(dict, facts);
    return facts;
}

std::vector<VariableFacts> ReadVariableFacts(const std::string& path, int varCount,
                                             Progress* progress,
                                             std::shared_ptr<const FileDictionary>* dictionary) {
    if (dictionary) dictionary->reset();
    std::vector<VariableFacts> facts = NamedFacts(varCount);
    if (path.empty()) return facts;
    // A failed call leaves only its own part empty (see ReadFileDictionary).
    auto dict = std::make_shared<FileDictionary>();
    const int status = ReadFileDictionary(path, dict.get(), progress);
    if (status == kDictionaryCancelled) return facts;
    TakeAllFacts(*dict, facts);
    if (dictionary && status == 0) *dictionary = std::move(dict);
    return facts;
}

}  // namespace lv
