// The cases of the grid that hold given values, as the statistics windows
// look for them: the first in the order shown (past a block of rows, under
// a selection), each kind of value matched as the condition would; the
// condition that selects them; and the cases a selection leaves shown.
#include "core/selection/value_cases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/selection/grid_selection.h"
#include "tests/core/grid/grid_fixture.h"

namespace {

using K = lv::ConditionValue::Kind;

// CODE 1 to 7 in turn, 9 user-missing; NAME "ab" or "abc". Case 4500
// alone holds CODE 9 and NAME "ab", case 4600 alone is system-missing.
fixture::File Many() {
    fixture::File f = gridtest::Basic();
    auto code = gridtest::Numeric("CODE", 3, 0);
    code.missing.discrete = {9};
    f.variables = {code, gridtest::String("NAME", 4)};
    for (int i = 0; i < 5000; ++i)
        f.cases.push_back(
            {i == 4600 ? fixture::kSysmis : double(1 + i % 7), std::string(i % 2 ? "abc" : "ab")});
    f.cases[4500] = {9.0, std::string("ab")};
    return f;
}

class ValueCases : public gridtest::GridFileTest {};

TEST_F(ValueCases, TheFirstCaseShownHoldingEveryValue) {
    lv::GridData& grid = Load(Many());
    const std::vector<lv::CaseValue> missing9 = {{0, {K::UserMissingNumber, 9, {}}},
                                                 {1, {K::Text, 0, "ab"}}};
    EXPECT_EQ(lv::FirstCaseOf(grid, missing9), 4500);
    EXPECT_EQ(lv::FirstCaseOf(grid, std::vector<lv::CaseValue>{{0, {K::SystemMissing, 0, {}}}}),
              4600);
    // "ab" is the stored "ab  " without its blanks, and not "abc".
    const std::vector<lv::CaseValue> code2ab = {{0, {K::Number, 2, {}}}, {1, {K::Text, 0, "ab"}}};
    EXPECT_EQ(lv::FirstCaseOf(grid, code2ab), 8);
    EXPECT_EQ(lv::FirstCaseOf(grid, std::vector<lv::CaseValue>{{1, {K::Text, 0, "a"}}}), -1);
    // In the order shown: under a selection, display rows.
    grid.SelectRows({1, 8, 4500, 4999});
    EXPECT_EQ(lv::FirstCaseOf(grid, code2ab), 1);
    EXPECT_EQ(lv::FirstCaseOf(grid, missing9), 2);
    EXPECT_EQ(lv::FirstCaseOf(grid, std::vector<lv::CaseValue>{{0, {K::SystemMissing, 0, {}}}}),
              -1);
    // A column the grid does not have holds nothing.
    EXPECT_EQ(lv::FirstCaseOf(grid, std::vector<lv::CaseValue>{{2, {K::Number, 1, {}}}}), -1);
    EXPECT_EQ(lv::FirstCaseOf(grid, std::vector<lv::CaseValue>{{-1, {K::Number, 1, {}}}}), -1);
}

TEST(ValuesCondition, JoinsEachValuesConditionInTheDictionarysNames) {
    lv::FileDictionary dict;
    dict.variables.resize(2);
    dict.variables[0].name = "CODE";
    dict.variables[1].name = "NAME";
    const std::vector<lv::CaseValue> both = {{0, {K::UserMissingNumber, 9, {}}},
                                             {1, {K::Text, 0, "it's"}}};
    EXPECT_EQ(lv::ValuesCondition(dict, both), "VALUE(CODE) = 9 AND NAME = 'it''s'");
    EXPECT_EQ(lv::ValuesCondition(dict, std::vector<lv::CaseValue>{{2, {K::Number, 1, {}}}}), "");
    EXPECT_EQ(lv::ValuesCondition(dict, {}), "");
}

TEST(ShownCases, TheSelectedFileRowsAscendingWhateverTheOrder) {
    lv::RowOrder order;
    order.Reset(5);
    EXPECT_FALSE(lv::ShownCasesOf(order, "x = 1").has_value());
    order.Assign({4, 3, 2, 1, 0});
    order.Select({1, 3});
    const std::optional<lv::ShownCases> shown = lv::ShownCasesOf(order, "x = 1");
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->condition, "x = 1");
    EXPECT_EQ(shown->cases, (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(shown->total, 5u);
}

}  // namespace
