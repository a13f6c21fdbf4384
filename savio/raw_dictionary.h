// The dictionary records as the file holds them, before the variables are
// assembled: one entry per variable record that is not a continuation, and
// the bodies of the extension records that matter to the reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary.h"

namespace savio {

struct RawVariable {
    std::string name;
    int width = 0;  // the record's type field: 0 numeric, 1..255 string
    int slot = 0;   // 0-based first slot
    uint32_t print = 0;
    uint32_t write = 0;
    bool hasLabel = false;
    std::string label;
    int missingCode = 0;
    std::array<std::array<uint8_t, 8>, 3> missing{};
    std::vector<int> labelSets;
};

// Which variables (by first slot, 1-based as in the file) a label set names.
struct LabelSetUse {
    int set = 0;
    std::vector<int32_t> slots;
    size_t offset = 0;  // of the type 3 record
};

struct ExtensionBody {
    int subtype = 0;
    int size = 0;
    int count = 0;
    size_t offset = 0;  // of its record type in the file
    std::string_view body;
};

struct RawDictionary {
    std::vector<RawVariable> variables;
    std::vector<LabelSetUse> labelUses;
    std::vector<ExtensionBody> extensions;
    int32_t weightSlot = 0;  // 1-based, 0 = none
};

// Records a warning about skipped dictionary content. A damaged file can
// hold any number of faults; past kMaxWarnings only their count is kept.
inline constexpr size_t kMaxWarnings = 100;
void Warn(Dictionary* dict, std::string text);

// Assembles dict's variables from raw (very long strings, long names, value
// labels, long-string labels and missing values, weight) and the rest of the
// dictionary (display parameters, attributes and roles, multiple-response
// and variable sets, machine and product details). Problems with
// optional information drop that information; returns SPSS_INVALID_FILE
// only for a floating-point format other than IEEE.
int AssembleDictionary(RawDictionary& raw, Dictionary* dict);

}  // namespace savio
