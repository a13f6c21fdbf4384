#include "core/selection/value_condition.h"

#include "core/text/number_text.h"

namespace lv {
namespace {

std::string Quoted(std::string_view text) {
    std::string out = "'";
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace

std::string ValueCondition(std::string_view name, const ConditionValue& value) {
    const std::string n(name);
    switch (value.kind) {
        case ConditionValue::Kind::SystemMissing:
            return "SYSMIS(" + n + ")";
        case ConditionValue::Kind::UserMissingNumber:
            return "VALUE(" + n + ") = " + NumberText(value.number);
        case ConditionValue::Kind::Text:
            return n + " = " + Quoted(value.text);
        case ConditionValue::Kind::Number:
            break;
    }
    return n + " = " + NumberText(value.number);
}

std::string BothConditions(const std::string& first, const std::string& second) {
    return first + " AND " + second;
}

}  // namespace lv
