// Finding a variable by what a user types: its name, long name or label.
#pragma once

#include <span>
#include <string_view>

#include "core/dictionary/variable_facts.h"
#include "core/text/text_match.h"

namespace lv {

// Whether the variable's name, long name or label matches.
bool VariableMatches(const VariableFacts& variable, const TextMatcher& matcher);

struct VariableHit {
    int index = -1;  // -1: none matches
    bool wrapped = false;
};

// The first matching variable after from (before it, backwards), going on
// from the other end; from -1 starts at the first (last) variable.
VariableHit FindVariable(std::span<const VariableFacts> variables, const TextMatcher& matcher,
                         int from, bool backwards);

// The variable that typed (UTF-8) names (FindVariableNamed, decoding with
// encoding), else the first whose label is typed, whole and in any case;
// -1 when none is. For a window that finds variables by label on purpose.
int FindVariableNamedOrLabelled(std::span<const VariableFacts> variables, std::string_view typed,
                                std::string_view encoding);

}  // namespace lv
