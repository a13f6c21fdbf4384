// The value-label window's fill: captions, label lines, the missing-value
// block for every format code, dates, strings, and the failure rows.
#include <gtest/gtest.h>

#include "core/state/errors.h"
#include "core/windows/value_labels.h"
#include "core/windows/variable_list.h"
#include "savio/spssfio.h"
#include "tests/core/windows/varlist_library_faults.h"
#include "tests/core/windows/varlist_testfiles.h"

namespace {

using namespace spssdio1;
using testsupport::Num;
using testsupport::Str;

struct Window : lv::ValueLabelSink {
    void SetVarName(std::string_view b) override { name = b; }
    void SetVarLabel(std::string_view b) override { label = b; }
    void AddLine(const lv::DisplayLine& l) override { lines.push_back(l.Bytes()); }
    std::string name = "varname", label = "var label";
    std::vector<std::string> lines;
};

class ValueLabelsTest : public testsupport::BuilderTest {
  protected:
    // Builds the variable list for f (display formats), then fills the window for var.
    Window Fill(const fixture::File& f, const std::string& var) {
        Choose(f);
        SysmisValue = spssSysmisVal();  // as the summary leaves it
        lv::LineCollector list;
        lv::BuildVariableList(list);
        for (int i = 0; i < VarCount; ++i) {
            if (SlotText(VarNames[i]) == var) SelectedVarIndex = i;
        }
        CurrentVarName = var;
        return FillOnly();
    }
    Window FillOnly() {
        Window w;
        lv::FillValueLabelWindow(w);
        return w;
    }
    faults::ScopedLibraryFaults inject;
};

const std::string kMissingHeader = "** missing values **";

TEST_F(ValueLabelsTest, LabelsAndNoMissingValues) {
    auto v = Num("Q1", {5, 8, 2});
    v.label = "Question one";
    fixture::File f = testsupport::FileWith({Num("ID"), v});
    f.valueLabels = {{{1}, {{1, "yes"}, {2, "no"}}, {}}};
    const Window w = Fill(f, "Q1");
    EXPECT_EQ(w.name, "Q1");
    EXPECT_EQ(w.label, "Question one");
    EXPECT_EQ(w.lines, (std::vector<std::string>{"    1.00  yes", "    2.00  no", "",
                                                 kMissingHeader, "なし"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ValueLabelsTest, EveryMissingValueFormatCode) {
    auto one = Num("ONE", {5, 3, 0});
    one.missing.discrete = {9};
    auto two = Num("TWO", {5, 3, 0});
    two.missing.discrete = {8, 9};
    auto three = Num("THREE", {5, 3, 0});
    three.missing.discrete = {7, 8, 9};
    auto range = Num("RANGE", {5, 3, 0});
    range.missing.range = std::make_pair(1.0, 5.0);
    auto rangeValue = Num("RV", {5, 3, 0});
    rangeValue.missing.range = std::make_pair(1.0, 5.0);
    rangeValue.missing.discrete = {9};
    const fixture::File f = testsupport::FileWith({one, two, three, range, rangeValue});
    const auto last = [&](const std::string& var) {
        const Window w = Fill(f, var);
        EXPECT_EQ(w.lines.size(), 4u) << var;
        EXPECT_EQ(w.lines[0], "** no value labels **");
        EXPECT_EQ(w.lines[2], kMissingHeader);
        return w.lines.back();
    };
    EXPECT_EQ(last("ONE"), "  9");
    EXPECT_EQ(last("TWO"), "  8,   9");
    EXPECT_EQ(last("THREE"), "  7,   8,   9");
    EXPECT_EQ(last("RANGE"), "  1 から   5 まで");
    EXPECT_EQ(last("RV"), "  1 から   5 まで,   9");
}

TEST_F(ValueLabelsTest, InvalidFormatCodes) {
    const fixture::File f = testsupport::FileWith({Num("A")});
    for (const auto& [code, text] : std::vector<std::pair<int, std::string>>{
             {-1, "type 指定に間違いがありました: -1"}, {4, "type 指定に間違いがありました:  4"}}) {
        inject->numericMissing = [code = code](int, const char*, int* c, double*, double*,
                                               double*) { return *c = code, 0; };
        EXPECT_EQ(Fill(f, "A").lines.back(), text);
    }
}

TEST_F(ValueLabelsTest, DateVariableShowsDates) {
    auto born = Num("BORN", {20, 11, 0});
    born.missing.discrete = {12219379200.0};  // 1970-01-01
    fixture::File f = testsupport::FileWith({born});
    f.valueLabels = {{{0}, {{13203129600.0, "spring day"}, {fixture::kSysmis, "none"}}, {}}};
    const Window w = Fill(f, "BORN");
    EXPECT_EQ(w.lines, (std::vector<std::string>{"2001/03/05  spring day", ".  none", "",
                                                 kMissingHeader, "1970/01/01"}));
}

TEST_F(ValueLabelsTest, StringVariableUsesItsStringSpecifier) {
    auto name = Str("NAME", 8);
    name.missing.strings = {"none", "n/a"};
    fixture::File f = testsupport::FileWith({name});
    f.valueLabels = {{{0}, {}, {{"Alice", "Alice A."}, {"Bob", "Bob B."}}}};
    const Window w = Fill(f, "NAME");
    EXPECT_EQ(w.lines, (std::vector<std::string>{"Alice     Alice A.", "Bob       Bob B.", "",
                                                 kMissingHeader, "none    , n/a     "}));
}

TEST_F(ValueLabelsTest, EveryQueryFailingLeavesNameAndEmptyList) {
    const fixture::File f = testsupport::FileWith({Num("A")});
    inject->varLabel = [](int, const char*, char*) { return SPSS_NO_LABEL; };
    inject->numericLabels = [](int, const char*, double**, char***, int*) {
        return SPSS_VAR_NOTFOUND;
    };
    inject->numericMissing = [](int, const char*, int*, double*, double*, double*) {
        return SPSS_VAR_NOTFOUND;
    };
    const Window w = Fill(f, "A");
    EXPECT_EQ(w.name, "A");
    EXPECT_EQ(w.label, "");
    EXPECT_TRUE(w.lines.empty());
}

TEST_F(ValueLabelsTest, FailedCloseShowsTheStatusNameAlone) {
    const fixture::File f = testsupport::FileWith({Num("A")});
    inject->closeRead = [](int h) { return faults::RealCloseRead(h), SPSS_FILE_RERROR; };
    Fill(f, "A");
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"SPSS_FILE_RERROR"});
}

TEST_F(ValueLabelsTest, FileThatCannotBeOpened) {
    CurrentVarName = "A";
    DataFileName = Path("gone.sav");
    const Window w = FillOnly();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages[0], "file access失敗");
    EXPECT_EQ(w.name, "A");
    EXPECT_EQ(w.label, "");
}

TEST_F(ValueLabelsTest, NoFileChosenLeavesTheDesignTexts) {
    const Window w = FillOnly();
    EXPECT_EQ(w.name, "varname");
    EXPECT_EQ(w.label, "var label");
    EXPECT_TRUE(w.lines.empty());
}

TEST_F(ValueLabelsTest, RenderingErrorClosesTheFileAndPropagates) {
    fixture::File f = testsupport::FileWith({Num("A")});
    f.valueLabels = {{{0}, {{1, "one"}}, {}}};
    Choose(f);
    lv::LineCollector list;
    lv::BuildVariableList(list);
    DisplayFormats[0] = "%8s";  // a string specifier cannot render a number
    CurrentVarName = "A";
    int closes = 0;
    inject->closeRead = [&](int h) { return ++closes, faults::RealCloseRead(h); };
    Window w;
    EXPECT_THROW(lv::FillValueLabelWindow(w), lv::ConversionError);
    EXPECT_EQ(closes, 1);
}

}  // namespace
