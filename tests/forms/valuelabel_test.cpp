// The value-label window itself: design texts, fill, decoding, OK and resize.
#include "forms/windows/ValueLabel.h"

#include <QLabel>
#include <QPushButton>

#include "core/windows/variable_list.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using namespace spssdio1;

class ValueLabelWindowTest : public testsupport::WindowTest {
  protected:
    void Choose(const fixture::File& f, const std::string& var) {
        DataFileName = Write(f, "l.sav");
        lv::LineCollector list;
        lv::BuildVariableList(list);
        CurrentVarName = var;
        SelectedVarIndex = 0;
    }
};

TEST_F(ValueLabelWindowTest, NoFileKeepsTheDesign) {
    TfrmValue w;
    EXPECT_EQ(w.windowTitle(), "frmValue");
    EXPECT_EQ(w.varname->text(), "varname");
    EXPECT_EQ(w.Label1->text(), "var label");
    EXPECT_EQ(w.ListBox1->count(), 0);
    EXPECT_EQ(w.btnOK->text(), "OK");
}

TEST_F(ValueLabelWindowTest, Cp932LabelsAreDecoded) {
    fixture::File f;
    fixture::Variable v;
    v.name = "SEX";
    v.print = {5, 1, 0};
    v.label = "\x90\xab\x95\xca";  // 性別
    f.variables = {v};
    f.valueLabels = {{{0}, {{1, "\x92\x6a"}, {2, "\x8f\x97"}}, {}}};  // 男, 女
    f.cases = {{1.0}};
    f.encoding = "";
    f.characterCode = 932;
    Choose(f, "SEX");
    lv::SetCurrentFileEncoding("CP932");
    TfrmValue w;
    EXPECT_EQ(w.varname->text(), "SEX");
    EXPECT_EQ(w.Label1->text(), "性別");
    EXPECT_EQ(testsupport::ListLines(w.ListBox1),
              (QStringList{"1  男", "2  女", "", "** missing values **", "なし"}));
}

TEST_F(ValueLabelWindowTest, OkClosesWithTheOkResult) {
    TfrmValue w;
    w.show();
    w.btnOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ValueLabelWindowTest, ResizeKeepsTheListBelowTheCaptions) {
    TfrmValue w;
    w.show();
    w.resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ListBox1->geometry(), QRect(0, 56, 500, 244));
}

TEST_F(ValueLabelWindowTest, RenderingErrorIsShownAndTheWindowStillOpens) {
    fixture::File f;
    fixture::Variable v;
    v.name = "A";
    v.print = {5, 8, 2};
    f.variables = {v};
    f.valueLabels = {{{0}, {{1, "one"}}, {}}};
    f.cases = {{1.0}};
    Choose(f, "A");
    DisplayFormats[0] = "%8s";
    lv::OpenValueLabelWindow();
    EXPECT_EQ(modalShows, 1);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].second.find("%8s"), std::string::npos);
}

}  // namespace
