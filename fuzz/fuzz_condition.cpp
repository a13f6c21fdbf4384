// libFuzzer target: the bytes as a case-selection condition, compiled
// against a few variables (numbers with user-missing values, a date, strings
// of both lengths under long names, a run Q1 to Q3) with the strings in UTF-8
// and in CP932 and, when it compiles, run over cases that hold every kind of
// value, missing ones included. The same bytes are compiled as an
// expression (a computed variable's, whose value may be a string) and
// evaluated over two blocks in a row, so that LAG's rings carry over, and
// read as a --compute argument (NAME[(FORMAT)]=EXPRESSION). A bad condition must give a message
// with a position inside it (or just past its end). fuzz/condition.dict
// holds the language's words.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/compute/computed_variables.h"
#include "core/condition/condition.h"
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
    for (const char* q : {"Q1", "Q2", "Q3"}) v.push_back(Variable(q, "", 0, SPSS_FMT_F));
    v[0].numericLabels = {{1, "one"}, {9, "nine"}};
    v[3].stringLabels = {{"a", "letter a"}};
    for (lv::DictVariable& each : v) each.BuildLookups();
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<lv::DictVariable> dictionary = Variables();
    static const std::vector<lv::ConditionVariable> variables =
        lv::ConditionVariablesOf(dictionary);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* encoding : {"UTF-8", "CP932"}) {
        auto compiled = lv::CompileCondition(text, variables, encoding);
        if (const auto* error = std::get_if<lv::ConditionError>(&compiled)) {
            if (error->position < 1 || error->position > size + 1 || !error->message)
                __builtin_trap();
            continue;
        }
        const lv::Condition& condition = std::get<lv::Condition>(compiled);
        static const double numbers[] = {0, 1, 9, -3, lv::kConditionMissing, 1e308, -1e308, 0.5};
        static const double dates[] = {0, 86400, 1.2e10, -1, lv::kConditionMissing, 1e300, 3, 2};
        static const std::string_view strings[] = {"",         "none", "none  ", "a",
                                                   "\xff\x01", "ab",   " ",      "\x82\xa0z"};
        lv::ConditionBlock block;
        block.rows = 8;
        for (int v : condition.variables()) {
            block.numbers.push_back(v == 2 ? dates : numbers);
            block.strings.push_back(strings);
        }
        std::vector<uint32_t> selected;
        condition.Select(block, 0, selected);
        if (selected.size() > block.rows) __builtin_trap();
    }
    auto expression = lv::CompileExpression(text, variables, "UTF-8");
    if (auto* compiled = std::get_if<lv::Condition>(&expression)) {
        static const double numbers[] = {0, 1, 9, -3, lv::kConditionMissing, 1e308, -1e308, 0.5};
        static const std::string_view strings[] = {"", "none", "a", "\xff", "ab", " ", "1,5", "x"};
        lv::ConditionBlock block;
        block.rows = 8;
        for (size_t k = 0; k < compiled->variables().size(); ++k) {
            block.numbers.push_back(numbers);
            block.strings.push_back(strings);
        }
        size_t values = 0;
        for (uint32_t first : {0u, 8u})
            compiled->Evaluate(
                block, first, [&](uint32_t, double) { ++values; },
                [&](uint32_t, std::string_view) { ++values; });
        if (values != 16) __builtin_trap();
    }
    (void)lv::ParseComputeSpec(text);
    return 0;
}
