#include "core/dictionary/variable_facts.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "core/state/spssdio1.h"
#include "savio/spssfio.h"

namespace lv {

void TakeFacts(const DictVariable& variable, VariableFacts& facts) {
    facts.longName = variable.longName == facts.name ? std::string() : variable.longName;
    facts.label = variable.hasLabel ? variable.label : std::string();
    facts.format = variable.print;
    facts.variable = variable;
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
        VariableFacts& f = facts[i];
        f.name = std::string(SlotText(VarNames[i]));
        f.isString = VarTypes[i] != 0;
        f.variable.name = f.name;
        f.variable.longName = f.name;
        f.variable.width = f.isString ? std::max(VarTypes[i], 1) : 0;
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
