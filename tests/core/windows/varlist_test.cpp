// The variable list's build: its lines, the per-variable display data in the
// shared state, and every failure row, with fixture files and injected faults.
#include <gtest/gtest.h>

#include "core/rendering/format_traits.h"
#include "core/windows/variable_list.h"
#include "savio/spssfio.h"
#include "tests/core/windows/varlist_library_faults.h"
#include "tests/core/windows/varlist_testfiles.h"

namespace {

using namespace spssdio1;
using testsupport::Num;
using testsupport::Str;

class VarListTest : public testsupport::BuilderTest {
  protected:
    std::vector<std::string> Build() {
        lv::LineCollector lines;
        EXPECT_TRUE(lv::BuildVariableList(lines));
        collected = lines;
        return lines.Bytes();
    }
    lv::LineCollector collected;
    faults::ScopedLibraryFaults inject;
};

TEST_F(VarListTest, LinesOfTheFourExamples) {
    auto age = Num("AGE", {5, 3, 0});
    age.label = "Age in years";
    age.missing.discrete = {99};
    auto city = Str("CITY", 12);
    city.label = "City of residence";
    auto id = Num("ID");
    auto response = Str("RESPONSE", 1);
    response.label = "First answer";
    fixture::File f = testsupport::FileWith({age, city, id, response});
    f.valueLabels = {{{0}, {{1, "young"}}, {}}, {{3}, {}, {{"a", "yes"}}}};
    Choose(f);

    const auto lines = Build();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "AGE       num    L  m  Age in years");
    EXPECT_EQ(lines[1], "CITY      str 12 N  N  City of residence");
    EXPECT_EQ(lines[2], "ID        num    N  N  ");
    EXPECT_EQ(lines[2].size(), 23u);
    EXPECT_EQ(lines[3], "RESPONSE  str  1 L  N  First answer");
    EXPECT_EQ(lv::NameFromLine(lines[3]), "RESPONSE");
    EXPECT_EQ(VarCount, 4);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(VarListTest, DisplayDataFromThePrintFormat) {
    auto date = Num("D", {23, 10, 0});
    auto strDate = Str("SD", 12);
    strDate.print = {20, 12, 0};  // a string never gets the date specifier
    Choose(testsupport::FileWith({Num("A", {5, 8, 2}), Num("B", {5, 3, 0}), Str("S", 12), date,
                                  strDate, Num("W", {5, 40, 3})}));
    Build();
    EXPECT_EQ(DisplayFormats[0], "%8.2f");
    EXPECT_EQ(ColumnWidths[0], 8);
    EXPECT_EQ(DisplayFormats[1], "%3.0f");
    EXPECT_EQ(DisplayFormats[2], "%12s");
    EXPECT_EQ(ColumnWidths[2], 12);
    EXPECT_EQ(DisplayFormats[3], "%4d/%2.2d/%2.2d");
    EXPECT_EQ(ColumnWidths[3], 11);
    EXPECT_EQ(PrintFormatTypes[3], 23);
    EXPECT_EQ(DisplayFormats[4], "%12s");
    EXPECT_EQ(DisplayFormats[5], "%40.3f");
    EXPECT_EQ(VarTypes[2], 12);
    EXPECT_EQ(std::string(SlotText(VarNames[5])), "W");
}

TEST_F(VarListTest, LabelIsCutAt122Bytes) {
    auto v = Num("LONGLAB");
    v.label = std::string(122, 'x') + std::string(78, 'y');
    Choose(testsupport::FileWith({v}));
    const auto lines = Build();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "LONGLAB   num    N  N  " + std::string(122, 'x'));
}

TEST_F(VarListTest, StringVariablesUseTheStringCallsForTheirFlags) {
    auto s = Str("NAME", 8);
    s.missing.strings = {"none"};
    fixture::File f = testsupport::FileWith({s, Str("PLAIN", 4)});
    f.valueLabels = {{{0}, {}, {{"Alice", "Alice A."}}}};
    Choose(f);
    const auto lines = Build();
    EXPECT_EQ(lines[0].substr(0, 23), "NAME      str  8 L  m  ");
    EXPECT_EQ(lines[1].substr(0, 23), "PLAIN     str  4 N  N  ");
}

TEST_F(VarListTest, LongNameIsTheLineNote) {
    auto v = Num("SHORT");
    v.longName = "AVeryLongName";
    Choose(testsupport::FileWith({v, Num("SAME")}));
    Build();
    EXPECT_EQ(collected.lines[0].note(), "AVeryLongName");
    EXPECT_EQ(collected.lines[1].note(), "");
}

TEST_F(VarListTest, EmptyFileNameBuildsNothing) {
    int calls = 0;
    inject->numberOfVariables = [&](int, int*) { return ++calls, 0; };
    lv::LineCollector lines;
    EXPECT_FALSE(lv::BuildVariableList(lines));
    EXPECT_TRUE(lines.lines.empty());
    EXPECT_EQ(calls, 0);
}

TEST_F(VarListTest, MoreThan600VariablesAreListedWhole) {
    std::vector<fixture::Variable> vars;
    for (int i = 0; i < 700; ++i)
        vars.push_back(Num(std::string("V").append(std::to_string(i)), {5, 6, 1}));
    Choose(testsupport::FileWith(vars));
    const auto lines = Build();
    ASSERT_EQ(lines.size(), 700u);
    EXPECT_EQ(lines[699].substr(0, 10), "V699      ");
    EXPECT_GE(DisplayFormats.size(), 700u);
    EXPECT_EQ(DisplayFormats[699], "%6.1f");
    EXPECT_EQ(ColumnWidths[699], 6);
}

TEST_F(VarListTest, PrintFormatFailureFallsBackToTheWriteFormat) {
    auto v = Num("X", {23, 10, 0});
    v.write = {5, 10, 3};
    v.writeSet = true;
    Choose(testsupport::FileWith({v}));
    inject->printFormat = [](int, const char*, int* type, int*, int*) {
        *type = SPSS_FMT_ADATE;  // what a failed query may leave behind
        return SPSS_INVALID_PRFOR;
    };
    Build();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "Error at spssGetVarPrintFormat.SPSS_INVALID_PRFOR");
    EXPECT_EQ(DisplayFormats[0], "%10.3f");
    EXPECT_EQ(ColumnWidths[0], 10);
    EXPECT_FALSE(lv::IsDayFormat(PrintFormatTypes[0]));
}

TEST_F(VarListTest, BothFormatQueriesFailingLeaveTheEntriesAndGoOn) {
    Choose(testsupport::FileWith({Num("X"), Num("Y", {5, 5, 1})}));
    DisplayFormats[0] = "%7.1f";
    ColumnWidths[0] = 7;
    inject->printFormat = [](int, const char* name, int*, int*, int*) {
        return std::string(name) == "X" ? SPSS_INVALID_PRFOR : -99;
    };
    inject->writeFormat = [](int, const char*, int*, int*, int*) { return SPSS_INVALID_WRFOR; };
    const auto lines = Build();
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"Error at spssGetVarPrintFormat.SPSS_INVALID_PRFOR",
                                        "Error at spssGetVarWriteFormat.SPSS_INVALID_WRFOR",
                                        "Error at spssGetVarPrintFormat.",
                                        "Error at spssGetVarWriteFormat.SPSS_INVALID_WRFOR"}));
    EXPECT_EQ(DisplayFormats[0], "%7.1f");
    EXPECT_EQ(ColumnWidths[0], 7);
}

TEST_F(VarListTest, VariableQueryFailingAtTheSixthOfTenKeepsFiveLines) {
    std::vector<fixture::Variable> vars;
    for (int i = 0; i < 10; ++i) vars.push_back(Num(std::string("V").append(std::to_string(i))));
    Choose(testsupport::FileWith(vars));
    inject->varInfo = [](int h, int i, char* name, int* type) {
        return i == 5 ? SPSS_INVALID_HANDLE : faults::RealGetVarInfo(h, i, name, type);
    };
    int closes = 0;
    inject->closeRead = [&](int h) { return ++closes, faults::RealCloseRead(h); };
    const auto lines = Build();
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"File handle error at getVarInfo:SPSS_INVALID_HANDLE"});
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(LastStatus, 0);
}

TEST_F(VarListTest, CountQueryFailingListsNothingAndCloses) {
    Choose(testsupport::FileWith({Num("A")}));
    inject->numberOfVariables = [](int, int*) { return SPSS_INVALID_HANDLE; };
    int closes = 0;
    inject->closeRead = [&](int h) { return ++closes, faults::RealCloseRead(h); };
    EXPECT_TRUE(Build().empty());
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"File handle error at getVarInfo:SPSS_INVALID_HANDLE"});
    EXPECT_EQ(closes, 1);
}

TEST_F(VarListTest, FileThatCannotBeOpenedReportsTwice) {
    spssdio1::DataFileName = Path("missing.sav");
    EXPECT_TRUE(Build().empty());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0], "file access失敗");
    EXPECT_EQ(dialogs.messages[1].rfind("File handle error at getVarInfo:", 0), 0u);
}

TEST_F(VarListTest, FlagsFollowTheStatusOfTheirQueries) {
    Choose(testsupport::FileWith({Num("A")}));
    OpenDataFile();
    inject->numericLabels = [](int, const char*, double**, char***, int*) { return SPSS_NO_LABEL; };
    EXPECT_EQ(lv::ValueLabelFlag("A", false), "N");
    inject->numericLabels = [](int, const char*, double**, char***, int*) {
        return SPSS_VAR_NOTFOUND;
    };
    EXPECT_EQ(lv::ValueLabelFlag("A", false), "L");
    EXPECT_EQ(LastStatus, SPSS_VAR_NOTFOUND);
    inject->numericMissing = [](int, const char*, int* code, double*, double*, double*) {
        *code = 1;
        return SPSS_VAR_NOTFOUND;
    };
    EXPECT_EQ(lv::MissingValueFlag("A", false), "N");
    inject->numericMissing = [](int, const char*, int* code, double*, double*, double*) {
        *code = SPSS_MISS_RANGE;
        return 0;
    };
    EXPECT_EQ(lv::MissingValueFlag("A", false), "m");
    spssCloseRead(FileHandle);
}

TEST_F(VarListTest, NoVariablesGiveAnEmptyListNoMessageAndAClosedFile) {
    Choose(testsupport::FileWith({Num("A")}));
    inject->numberOfVariables = [](int, int* n) { return *n = 0, 0; };
    int closes = 0;
    inject->closeRead = [&](int h) { return ++closes, faults::RealCloseRead(h); };
    EXPECT_TRUE(Build().empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(closes, 1);
}

}  // namespace
