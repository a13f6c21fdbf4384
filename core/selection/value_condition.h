// Conditions that select the cases holding one value of a variable, written
// in the condition language (what the statistics windows hand to the grid's
// filter when the user asks for the cases of a frequency row or a crosstab
// cell). Names and strings stay in the file's bytes.
#pragma once

#include <string>
#include <string_view>

namespace lv {

struct ConditionValue {
    enum class Kind { Number, UserMissingNumber, SystemMissing, Text };
    Kind kind = Kind::Number;
    double number = 0;
    std::string_view text;  // Text: without trailing blanks
};

// "name = 3.25", "VALUE(name) = 9" (a user-missing value compares as missing
// otherwise), "SYSMIS(name)", "name = 'it''s'". Numbers are written so that
// they read back as the same double.
std::string ValueCondition(std::string_view name, const ConditionValue& value);

// Both conditions at once.
std::string BothConditions(const std::string& first, const std::string& second);

}  // namespace lv
