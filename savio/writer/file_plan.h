// What the writer decides from a file's description before writing a byte:
// the dictionary checked, each variable's place in a case and the short
// names of its records.
#pragma once

#include <string>
#include <vector>

#include "encoding/charcut.h"
#include "savio/case_layout.h"
#include "savio/sav_writer.h"

namespace savio::writer {

struct FilePlan {
    std::vector<ValueSlots> values;                    // per variable, 0-based slots
    std::vector<std::vector<std::string>> shortNames;  // per variable, one per segment
    int slotCount = 0;
    lv::CharLayout layout = lv::CharLayout::Utf8;
};

// Checks the description (throws WriteError with the first fault) and plans it.
FilePlan PlanFile(const FileSpec& spec);

// The default formats resolved and packed as the variable records store them.
int32_t PackedFormat(const Variable& v, const Format& f);

// The display parameters with their defaults resolved.
int MeasureOf(const Variable& v);
int ColumnWidthOf(const Variable& v);
int AlignmentOf(const Variable& v);

// A string without its trailing blanks.
std::string_view WithoutTrailingBlanks(std::string_view s);

}  // namespace savio::writer
