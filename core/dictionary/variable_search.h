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

// The variable that typed (UTF-8) names: its name or long name, else its
// label, whole and in any case; -1 when none does.
int ResolveVariable(std::span<const VariableFacts> variables, std::string_view typed);

}  // namespace lv
