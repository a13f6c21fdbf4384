// The words the dictionary's writers share: a variable's measure, alignment
// and role as the JSON, the codebook and the file-information lines name
// them, and its missing values as one text.
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string_view MeasureWord(int measure);      // "nominal", ..., "" when not recorded
std::string_view AlignmentWord(int alignment);  // "left", "right", "center", ""
std::string_view RoleWord(int role);            // "input", "target", ...

// The missing values as one text: `9; 99`, `LOWEST THRU -1; 999`, `"x"; "y"`
// (strings decoded from encoding).
std::string MissingValuesText(const DictVariable& v, std::string_view encoding);

}  // namespace lv
