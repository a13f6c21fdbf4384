// The codebook's content beyond the frequency tables: the cases of a
// multiple-response set that responded at all, counted in the same pass,
// and the most frequent values of a variable of more values than a table
// lists, chosen from every value.
#include "core/codebook/codebook_content.h"

#include <gtest/gtest.h>

#include "tests/support/savfixture.h"

namespace {

lv::FileDictionary Read(const fixture::File& f, const std::string& name) {
    lv::FileDictionary dict;
    EXPECT_EQ(lv::ReadFileDictionary(fixture::WriteFile(f, fixture::TempDir() + "/" + name), &dict),
              0);
    return dict;
}

TEST(CodebookContent, SetsCountTheCasesThatRespondedAtAll) {
    fixture::File f;
    f.variables = {fixture::Numeric("D1"), fixture::Numeric("D2"), fixture::String("C1", 2),
                   fixture::String("C2", 2), fixture::Numeric("W")};
    f.variables[2].missing.strings = {"NA"};
    f.weightVariable = 4;
    f.mrsets = {{"$D", "dichotomies", true, "1", false, false, {0, 1}},
                {"$C", "categories", false, "", false, false, {2, 3}}};
    const double s = fixture::kSysmis;
    using std::string;
    f.cases = {{1.0, 1.0, string("a"), string("b"), 2.0},  // both sets, twice
               {0.0, 1.0, string("NA"), string(""), 1.0},  // $D only
               {0.0, 0.0, string(""), string("c"), 1.0},   // $C only
               {s, 2.0, string("NA"), string("  "), 0.5},  // neither
               {1.0, s, string("a"), string(""), 0.0}};    // no weight: left out
    const lv::FileDictionary dict = Read(f, "mr.sav");
    const lv::CodebookContent all = lv::BuildCodebook(dict, {}, {});
    std::vector<lv::CodebookSet> sets = lv::MultipleResponseSets(all);
    ASSERT_EQ(sets.size(), 2u);
    ASSERT_TRUE(sets[0].respondersCounted && sets[1].respondersCounted);
    EXPECT_DOUBLE_EQ(sets[0].responders.weight, 3.0);
    EXPECT_EQ(sets[0].responders.cases, 2);
    EXPECT_DOUBLE_EQ(sets[1].responders.weight, 3.0);
    EXPECT_EQ(sets[1].responders.cases, 2);
    // A set with a member left out of the codebook is not counted.
    sets = lv::MultipleResponseSets(lv::BuildCodebook(dict, {0, 2, 3}, {}));
    EXPECT_FALSE(sets[0].respondersCounted);
    EXPECT_TRUE(sets[1].respondersCounted);
}

TEST(CodebookContent, FrequentValuesComeFromEveryValueNotTheListedRows) {
    fixture::File f;
    f.variables = {fixture::Numeric("X")};
    for (int i = 0; i < 3000; ++i) f.cases.push_back({double(i)});
    for (int i = 0; i < 5; ++i) f.cases.push_back({2500.0});  // beyond the first 1,000
    for (int i = 0; i < 3; ++i) f.cases.push_back({7.0});
    const lv::CodebookSection s =
        lv::SectionOf(lv::BuildCodebook(Read(f, "frequent.sav"), {}, {}), 0);
    ASSERT_FALSE(s.listed);
    ASSERT_GE(s.frequent.size(), 2u);
    EXPECT_EQ(s.frequent[0].number, 2500.0);
    EXPECT_EQ(s.frequent[0].amount.cases, 6);
    EXPECT_EQ(s.frequent[1].number, 7.0);
    EXPECT_EQ(s.frequent[2].number, 0.0);  // then the smallest of equal counts
    EXPECT_FALSE(s.frequentOfListed);
    EXPECT_EQ(s.distinct, 3000u);
}

}  // namespace
