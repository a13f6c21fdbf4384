// Finding variables by name: exact before case-folded, the first of a
// repeated name, growth past many names, and no match for an empty name.
#include <gtest/gtest.h>

#include <string>

#include "savio/name_match.h"
#include "tests/savio/reader_support.h"

namespace {

TEST(NameIndex, ExactBeforeFoldedAndTheFirstOfARepeatedName) {
    savio::NameIndex index;
    index.Add("age", 0);
    index.Add("AGE", 1);
    index.Add("Income", 2);
    index.Add("age", 3);
    index.Add("\x94\xd4\x8d\x86", 4);  // bytes above ASCII are compared as they are
    EXPECT_EQ(index.Find("age"), 0);
    EXPECT_EQ(index.Find("AGE"), 1);
    EXPECT_EQ(index.Find("Age"), 0);
    EXPECT_EQ(index.Find("INCOME"), 2);
    EXPECT_EQ(index.Find("\x94\xd4\x8d\x86"), 4);
    EXPECT_EQ(index.Find("\x94\xf4\x8d\x86"), -1);
    EXPECT_EQ(index.Find("ag"), -1);
    EXPECT_EQ(index.Find(""), -1);
}

TEST(NameIndex, ManyNamesAfterGrowingFromEmpty) {
    savio::NameIndex index;
    for (int i = 0; i < 50000; ++i) index.Add("v" + std::to_string(i), i);
    for (int i = 0; i < 50000; i += 7) ASSERT_EQ(index.Find("V" + std::to_string(i)), i);
    EXPECT_EQ(index.Find("v50000"), -1);
}

// A name the caller leaves empty never finds a variable, not even one
// without a long name.
TEST(NameIndex, AnEmptyNameFindsNoVariable) {
    readertest::OpenedFile file(fixture::Build(fixture::SampleFile()));
    ASSERT_EQ(file.status, 0);
    double handle = 0;
    EXPECT_EQ(spssGetVarHandle(file.handle, "", &handle), SPSS_VAR_NOTFOUND);
    char label[SPSS_VAR_LABEL_SIZE];
    EXPECT_EQ(spssGetVarLabel(file.handle, "", label), SPSS_VAR_NOTFOUND);
}

}  // namespace
