// Finding a variable by the name a user gives: on the command line, in a
// window, in a condition. One rule everywhere:
//
//   1. the short names, 2. then the long names; for each, in turn,
//      a. the name's bytes are the text given,
//      b. the name decoded to UTF-8 (with the encoding in force: the one
//         the user chose, else the file's) is the text given,
//      c. the two are equal once folded: full-width forms of ASCII read as
//         ASCII (what an input method types: ＡＧＥ, 問１) and Unicode
//         simple case folding, so an ASCII name matches in any letter case
//         and width too.
//
// The first step that matches decides, so a long name never hides a short
// one; of two variables matching at the same step, the first in dictionary
// order wins. Blanks around the text given and after a name do not count.
// Labels are not names: a window that also finds a variable by its label
// does so after this (FindVariableNamedOrLabelled, variable_search.h).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/variable_facts.h"

namespace lv {

// A variable's names in the file's bytes; the long name may be empty or
// the short name again.
struct VariableNames {
    std::string_view name;
    std::string_view longName;
};

// The rule above, over names made ready once for many lookups.
class VariableNameIndex {
  public:
    VariableNameIndex(std::span<const VariableNames> variables, std::string_view encoding);

    // The variable typed names (0-based, dictionary order), or -1.
    int Find(std::string_view typed) const;

  private:
    // Per step (short name exact, decoded, folded; long name the same):
    // the first variable of each text.
    std::unordered_map<std::string, int> steps_[6];
};

std::vector<VariableNames> NamesOf(std::span<const DictVariable> variables);
std::vector<VariableNames> NamesOf(std::span<const VariableFacts> variables);

// One lookup by the rule above: the variable typed names, or -1.
int FindVariableNamed(std::span<const VariableNames> variables, std::string_view typed,
                      std::string_view encoding);
int FindVariableNamed(std::span<const DictVariable> variables, std::string_view typed,
                      std::string_view encoding);
int FindVariableNamed(std::span<const VariableFacts> variables, std::string_view typed,
                      std::string_view encoding);

}  // namespace lv
