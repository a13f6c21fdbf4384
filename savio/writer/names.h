// Variable names as a system file needs them: which long names are legal,
// and the unique upper-case short names of 8 bytes at most that the
// variable records carry (one per segment of a very long string).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encoding/charcut.h"
#include "savio/sav_writer.h"

namespace savio::writer {

// 1..64 bytes: a letter or '@' first, then letters, digits and . _ $ # @;
// bytes beyond ASCII count as letters; not a reserved word (AND, BY, ...).
bool IsVariableName(std::string_view name);

// Per variable, the short names of its records: the caller's, checked, or
// made from the long name; a very long string has one per segment. Throws
// InvalidName or DuplicateName.
std::vector<std::vector<std::string>> MakeShortNames(const std::vector<Variable>& variables,
                                                     lv::CharLayout layout);

// ASCII letters upper-cased, other bytes as they are.
std::string AsciiUpper(std::string_view text);

}  // namespace savio::writer
