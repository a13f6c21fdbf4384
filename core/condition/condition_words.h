// What a condition may name, for completing the word being typed: the
// variables, the functions and the system variables; and where in the text
// that word stands.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/condition/condition.h"

namespace lv {

// The names to offer (UTF-8): each variable's name as the grid shows it,
// then the functions (with their opening parenthesis) and $CASENUM,
// $SYSMIS.
std::vector<std::string> ConditionWords(std::span<const ConditionVariable> variables,
                                        const std::string& encoding);

// The name that ends at byte cursor of text (UTF-8): its first byte, or
// cursor itself when none ends there (inside a quoted string, or after a
// blank or an operator). Full-width letters count as letters.
size_t WordStart(std::string_view text, size_t cursor);

}  // namespace lv
