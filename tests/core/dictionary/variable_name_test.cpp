// Finding a variable by a typed name: one rule for every command, window
// and condition.
#include "core/dictionary/variable_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dictionary/variable_search.h"
#include "core/text/half_width.h"

namespace {

TEST(VariableName, ShortThenLongEachExactThenDecodedThenFolded) {
    // 年齢 in CP932; ÆØÅ in windows-1252.
    const std::string age = "\x94\x4e\x97\xee";
    const std::string nordic = "\xc6\xd8\xc5";
    const std::vector<lv::VariableNames> names = {{"SCORE", "SCORE"}, {"V2      ", "score"},
                                                  {"INC1", "Income"}, {"INC2", "INCOME"},
                                                  {age, ""},          {"N", nordic}};
    const lv::VariableNameIndex cp932(names, "CP932");
    EXPECT_EQ(cp932.Find("SCORE"), 0);
    // A short name in any case comes before a long name as typed.
    EXPECT_EQ(cp932.Find("score"), 0);
    EXPECT_EQ(cp932.Find(" v2 "), 1);  // blanks around and after a name
    EXPECT_EQ(cp932.Find("INCOME"), 3);
    EXPECT_EQ(cp932.Find("income"), 2);  // a tie goes to the first
    EXPECT_EQ(cp932.Find(age), 4);
    EXPECT_EQ(cp932.Find("年齢"), 4);
    // What an input method types: full-width letters and the ideographic space.
    EXPECT_EQ(cp932.Find("ｓｃｏｒｅ"), 0);
    EXPECT_EQ(cp932.Find("　ＩＮＣ２　"), 3);
    EXPECT_EQ(lv::ToHalfWidth("問１＝（Ａ）　～"), "問1=(A) ~");
    for (const char* none : {"", "  ", "nope", "SCOR", "ＳＣＯＲ"})
        EXPECT_EQ(cp932.Find(none), -1) << none;

    // A legacy encoding's letters fold after decoding.
    const lv::VariableNameIndex latin(names, "WINDOWS-1252");
    EXPECT_EQ(latin.Find(nordic), 5);
    EXPECT_EQ(latin.Find("ÆØÅ"), 5);
    EXPECT_EQ(latin.Find("æøå"), 5);
    EXPECT_EQ(lv::FindVariableNamed(names, "æøå", "WINDOWS-1252"), 5);

    // The go-to dialog's step: names first, then a whole label in any case.
    std::vector<lv::VariableFacts> facts(2);
    facts[0].name = "A";
    facts[0].label = "b";
    facts[1].name = "B";
    facts[1].label = "Income per year";
    EXPECT_EQ(lv::FindVariableNamedOrLabelled(facts, "b", "UTF-8"), 1);
    EXPECT_EQ(lv::FindVariableNamedOrLabelled(facts, "income PER year", "UTF-8"), 1);
    EXPECT_EQ(lv::FindVariableNamedOrLabelled(facts, "income", "UTF-8"), -1);
}

}  // namespace
