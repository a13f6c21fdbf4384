// Selecting the cases of a data file by a condition, read straight from the
// file in one pass of the case stream (only the variables the condition
// names are looked at): what lorivane-dump's select and --where use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/selection/condition.h"

namespace lv {

struct FileSelection {
    enum class Status { Ok, BadCondition, BadFile };
    Status status = Status::Ok;
    ConditionError error;         // BadCondition
    int fileStatus = 0;           // BadFile: the reader's status (SPSS_...)
    std::vector<uint32_t> cases;  // selected, 0-based, ascending
    int64_t caseCount = 0;        // cases read
};

// encoding: what names and string literals are taken in; empty for the
// file's own.
FileSelection SelectFileCases(const std::string& path, std::string_view condition,
                              const std::string& encoding = {});
// The same through the open file dict was read from, which stays open (its
// cases can be read again after).
FileSelection SelectFileCases(const ReaderHandle& file, const FileDictionary& dict,
                              std::string_view condition, const std::string& encoding = {});

}  // namespace lv
