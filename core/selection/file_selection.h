// Selecting the cases of a data file by a condition, read straight from the
// file in one pass of the case stream (only the variables the condition
// names are looked at): what lorivane-dump's select and --where use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/condition/condition.h"
#include "core/dictionary/file_dictionary.h"

namespace lv {

struct FileSelection {
    enum class Status { Ok, BadCondition, BadFile };
    Status status = Status::Ok;
    ConditionError error;         // BadCondition
    int fileStatus = 0;           // BadFile: the reader's status (SPSS_...)
    std::vector<uint32_t> cases;  // selected, 0-based, ascending
    int64_t caseCount = 0;        // cases read
};

// text compiled against dict's variables (its computed ones too); names and
// string literals are taken in encoding, or the file's own when empty.
std::variant<Condition, ConditionError> CompileFileCondition(const FileDictionary& dict,
                                                             std::string_view text,
                                                             const std::string& encoding = {});

// encoding: what names and string literals are taken in; empty for the
// file's own.
FileSelection SelectFileCases(const std::string& path, std::string_view condition,
                              const std::string& encoding = {});
// The same through the open file dict was read from, which stays open (its
// cases can be read again after).
FileSelection SelectFileCases(const ReaderHandle& file, const FileDictionary& dict,
                              std::string_view condition, const std::string& encoding = {});

}  // namespace lv
