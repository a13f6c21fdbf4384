// libFuzzer target: the bytes as a case-selection condition, compiled
// against a few variables (numbers with user-missing values, a date, strings
// of both lengths under long names) and, when it compiles, run over cases
// that hold every kind of value, missing ones included. A bad condition must
// give a message with a position inside it (or just past its end).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/selection/condition.h"
#include "savio/spssfio.h"

namespace {

lv::DictVariable Variable(const char* name, const char* longName, int width, int format) {
    lv::DictVariable v;
    v.name = name;
    v.longName = *longName ? longName : name;
    v.width = width;
    v.print.type = format;
    return v;
}

std::vector<lv::DictVariable> Variables() {
    std::vector<lv::DictVariable> v;
    v.push_back(Variable("A", "alpha", 0, SPSS_FMT_F));
    v[0].missingValues.count = 1;
    v[0].missingValues.numbers[0] = 9;
    v.push_back(Variable("B", "", 0, SPSS_FMT_F));
    v[1].missingValues.range = true;
    v[1].missingValues.low = -5;
    v[1].missingValues.high = -1;
    v.push_back(Variable("D", "born", 0, SPSS_FMT_ADATE));
    v.push_back(Variable("S", "name", 8, SPSS_FMT_A));
    v[3].missingValues.count = 1;
    v[3].missingValues.strings[0] = "none";
    v.push_back(Variable("L", "", 300, SPSS_FMT_A));
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<lv::DictVariable> dictionary = Variables();
    static const std::vector<lv::ConditionVariable> variables =
        lv::ConditionVariablesOf(dictionary);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto compiled = lv::CompileCondition(text, variables, "UTF-8");
    if (const auto* error = std::get_if<lv::ConditionError>(&compiled)) {
        if (error->position < 1 || error->position > size + 1 || !error->message) __builtin_trap();
        return 0;
    }
    const lv::Condition& condition = std::get<lv::Condition>(compiled);
    static const double numbers[] = {0, 1, 9, -3, lv::kConditionMissing, 1e308, -1e308, 0.5};
    static const double dates[] = {0, 86400, 1.2e10, -1, lv::kConditionMissing, 1e300, 3, 2};
    static const std::string_view strings[] = {"",         "none", "none  ", "a",
                                               "\xff\x01", "ab",   " ",      "z"};
    lv::ConditionBlock block;
    block.rows = 8;
    for (int v : condition.variables()) {
        block.numbers.push_back(v == 2 ? dates : numbers);
        block.strings.push_back(strings);
    }
    std::vector<uint32_t> selected;
    condition.Select(block, 0, selected);
    if (selected.size() > block.rows) __builtin_trap();
    return 0;
}
