#include "core/dictionary/variable_search.h"

#include "core/dictionary/variable_name.h"

namespace lv {

bool VariableMatches(const VariableFacts& variable, const TextMatcher& matcher) {
    return matcher.Matches(variable.name) ||
           (!variable.longName.empty() && matcher.Matches(variable.longName)) ||
           (!variable.label.empty() && matcher.Matches(variable.label));
}

VariableHit FindVariable(std::span<const VariableFacts> variables, const TextMatcher& matcher,
                         int from, bool backwards) {
    VariableHit hit;
    const int n = static_cast<int>(variables.size());
    if (n == 0 || matcher.empty()) return hit;
    if (from < 0 || from >= n) from = backwards ? n : -1;
    const int step = backwards ? -1 : 1;
    for (int k = 1; k <= n; ++k) {
        int i = from + step * k;
        const bool wrapped = i < 0 || i >= n;
        i = ((i % n) + n) % n;
        if (VariableMatches(variables[i], matcher)) {
            hit.index = i;
            hit.wrapped = wrapped;
            return hit;
        }
    }
    return hit;
}

int FindVariableNamedOrLabelled(std::span<const VariableFacts> variables, std::string_view typed,
                                std::string_view encoding) {
    const int named = FindVariableNamed(variables, typed, encoding);
    if (named >= 0) return named;
    const TextMatcher label(typed, FindOptions{false, true});
    if (label.empty()) return -1;
    for (size_t i = 0; i < variables.size(); ++i)
        if (!variables[i].label.empty() && label.Matches(variables[i].label))
            return static_cast<int>(i);
    return -1;
}

}  // namespace lv
