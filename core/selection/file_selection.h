// Selecting the cases of a data file by a condition, read straight from the
// file in one pass (only the variables the condition names are looked at):
// what lorivane-dump's select and --where use, and the grid when it has not
// loaded the values itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/condition/condition.h"

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

}  // namespace lv
