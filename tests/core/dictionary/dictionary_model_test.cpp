// The dictionary model read through ReaderHandle: the handle is closed on
// every path, a failed call empties only its own part, and the grid's facts
// agree with the dictionary they are a view of.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/reader_handle.h"
#include "core/dictionary/variable_facts.h"
#include "core/windows/variable_list.h"
#include "tests/core/windows/varlist_library_faults.h"
#include "tests/core/windows/varlist_testfiles.h"

namespace {

using testsupport::Num;
using testsupport::Str;

class DictionaryModelTest : public testsupport::BuilderTest {
  protected:
    // Two numeric variables with labels and missing values, and a string
    // variable whose missing value and label value start with a blank.
    std::string ChooseLabelledFile() {
        fixture::Variable age = Num("age", {5, 3, 0});
        age.longName = "AgeInYears";
        age.label = "Age";
        age.missing.discrete = {99, 98};
        fixture::Variable income = Num("income");
        income.missing.range = std::make_pair(-5.0, -1.0);
        fixture::Variable code = Str("code", 4);
        code.missing.strings = {" a", "zz  "};
        fixture::File f = testsupport::FileWith({age, income, code});
        f.valueLabels.push_back({{0, 1}, {{2, "two"}, {1, "one"}}, {}});
        f.valueLabels.push_back({{2}, {}, {{" a", "blank a"}, {"b", "bee"}}});
        return Choose(f);
    }

    // The variable list fills the shared names and types the facts start from.
    void ListVariables() {
        lv::LineCollector lines;
        ASSERT_TRUE(lv::BuildVariableList(lines));
    }
};

TEST_F(DictionaryModelTest, AnExceptionInTheMiddleOfReadingLeavesNoFileOpen) {
    const std::string path = ChooseLabelledFile();
    ListVariables();
    {
        faults::ScopedLibraryFaults faults;
        faults->numericLabels = [](int, const char*, double**, char***, int*) -> int {
            throw std::runtime_error("read failed");
        };
        // More reads than the reader's table of open files has room for.
        for (int i = 0; i < 300; ++i) {
            lv::FileDictionary dict;
            EXPECT_THROW(lv::ReadFileDictionary(path, &dict), std::runtime_error);
            EXPECT_THROW(lv::ReadVariableFacts(path, spssdio1::VarCount), std::runtime_error);
        }
    }
    lv::FileDictionary dict;
    EXPECT_EQ(lv::ReadFileDictionary(path, &dict), 0);
    lv::ReaderHandle reader;
    EXPECT_EQ(reader.Open(path), 0);
    EXPECT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.Close(), 0);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.Close(), 0);  // nothing left to close
}

TEST_F(DictionaryModelTest, FactsAreTheDictionarysVariablesSortedForLookUp) {
    const std::string path = ChooseLabelledFile();
    ListVariables();
    lv::FileDictionary dict;
    ASSERT_EQ(lv::ReadFileDictionary(path, &dict), 0);
    const auto facts = lv::ReadVariableFacts(path, spssdio1::VarCount);
    ASSERT_EQ(facts.size(), 3u);

    // The dictionary keeps the file's order, and the order by value beside it.
    ASSERT_EQ(dict.variables[0].numericLabels.size(), 2u);
    EXPECT_EQ(dict.variables[0].numericLabels[0].first, 2);
    EXPECT_EQ(dict.variables[0].labelOrder, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(*facts[0].LabelOf(1.0), "one");
    EXPECT_EQ(*facts[1].LabelOf(2.0), "two");

    EXPECT_EQ(facts[0].longName, "AgeInYears");
    EXPECT_EQ(facts[1].longName, "");  // the same as the short name
    EXPECT_EQ(facts[0].label, "Age");
    EXPECT_EQ(facts[0].format.width, 3);
    EXPECT_TRUE(facts[0].missing().Holds(98.0));
    EXPECT_TRUE(facts[1].missing().Holds(-3.0));
    EXPECT_FALSE(facts[1].missing().Holds(0.0));

    // String values keep their leading blanks and lose their trailing ones,
    // in the dictionary's writers as in the grid.
    EXPECT_EQ(dict.variables[2].missingText[0], " a");
    EXPECT_EQ(dict.variables[2].missingText[1], "zz");
    EXPECT_TRUE(facts[2].missing().Holds(std::string_view(" a")));
    EXPECT_FALSE(facts[2].missing().Holds(std::string_view("a")));
    EXPECT_EQ(*facts[2].LabelOf(std::string_view(" a")), "blank a");
}

TEST_F(DictionaryModelTest, AFailedCallEmptiesOnlyItsOwnPart) {
    const std::string path = ChooseLabelledFile();
    ListVariables();
    faults::ScopedLibraryFaults faults;
    faults->numericMissing = [](int h, const char* name, int* code, double* a, double* b,
                                double* c) -> int {
        if (std::string_view(name) == "age") return SPSS_INVALID_HANDLE;
        return faults::RealGetVarNMissingValues(h, name, code, a, b, c);
    };
    lv::FileDictionary dict;
    EXPECT_EQ(lv::ReadFileDictionary(path, &dict), SPSS_INVALID_HANDLE);
    ASSERT_EQ(dict.variables.size(), 3u);
    EXPECT_EQ(dict.variables[0].missingCode, SPSS_NO_MISSVAL);
    EXPECT_EQ(dict.variables[1].missingCode, SPSS_MISS_RANGE);

    const auto facts = lv::ReadVariableFacts(path, spssdio1::VarCount);
    EXPECT_FALSE(facts[0].missing().any());
    EXPECT_EQ(facts[0].label, "Age");  // the rest of the variable is read
    EXPECT_NE(facts[0].LabelOf(1.0), nullptr);
    EXPECT_TRUE(facts[1].missing().range);
}

}  // namespace
