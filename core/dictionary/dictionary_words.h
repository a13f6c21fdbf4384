// The words the dictionary's writers share: a variable's measure, alignment
// and role as the JSON, the codebook and the file-information lines name
// them, and its value labels and missing values as one text each.
//
// One rule for the words of a variable's type and measure: what programs
// read (JSON, CSV, the tool's output) keeps the stable English keys
// (MeasureWord, "numeric", "string"); what people read in the windows and
// in the workbook's dictionary sheet says it in Japanese (MeasureText,
// TypeText).
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string_view MeasureWord(int measure);      // "nominal", ..., "" when not recorded
std::string_view AlignmentWord(int alignment);  // "left", "right", "center", ""
std::string_view RoleWord(int role);            // "input", "target", ...

// For people: "名義", "順序", "スケール", "" when not recorded.
std::string_view MeasureText(int measure);
// For people: "数値", or "文字列 (幅 10)" for a string of 10 bytes.
std::string TypeText(const DictVariable& v);

// The value labels as one text, in the file's order: each value (a number
// as NumberText writes it, a string decoded from encoding), then equals and
// its label (decoded), the entries separated by between. The codebook
// writes `1=one; 2=two`, the workbook's dictionary sheet `1 = one` a line
// each.
std::string ValueLabelsText(const DictVariable& v, std::string_view encoding,
                            std::string_view equals, std::string_view between);

// The missing values as one text: `9; 99`, `LOWEST THRU -1; 999`, `"x"; "y"`
// (strings decoded from encoding).
std::string MissingValuesText(const DictVariable& v, std::string_view encoding);

}  // namespace lv
