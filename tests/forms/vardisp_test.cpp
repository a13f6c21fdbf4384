// The variable-list window: captions, lines on screen, the double click into
// the value-label window, the OK button's return, the resize rule.
#include "forms/windows/vardisp.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using namespace spssdio1;

fixture::File LabelledFile() {
    fixture::File f;
    fixture::Variable id;
    id.name = "ID";
    id.print = {5, 4, 0};
    fixture::Variable q;
    q.name = "Q1";
    q.print = {5, 8, 2};
    q.label = "Question one";
    q.longName = "QuestionOne";
    q.missing.discrete = {9};
    f.variables = {id, q};
    f.valueLabels = {{{1}, {{1, "yes"}, {2, "no"}}, {}}};
    f.cases = {{1.0, 1.0}};
    return f;
}

class VariableListTest : public testsupport::WindowTest {
  protected:
    void Open(const fixture::File& f) {
        DataFileName = Write(f, "v.sav");
        frmVariable = new TfrmVariable();
    }
};

TEST_F(VariableListTest, NoFileShowsAnEmptyListAndTheDesignCaption) {
    frmVariable = new TfrmVariable();
    EXPECT_EQ(frmVariable->ListBox1->count(), 0);
    EXPECT_EQ(frmVariable->Label1->text(), "filename");
    EXPECT_EQ(frmVariable->windowTitle(), "変数名");
    EXPECT_FALSE(frmVariable->isVisible());
}

TEST_F(VariableListTest, LinesCaptionAndTooltip) {
    Open(LabelledFile());
    EXPECT_EQ(frmVariable->Label1->text().toStdString(), DataFileName);
    EXPECT_EQ(testsupport::ListLines(frmVariable->ListBox1),
              (QStringList{"ID        num    N  N  ", "Q1        num    L  m  Question one"}));
    EXPECT_EQ(frmVariable->ListBox1->item(1)->toolTip(), "QuestionOne");
    EXPECT_EQ(frmVariable->ListBox1->item(0)->toolTip(), "");
}

TEST_F(VariableListTest, DoubleClickOpensTheValueLabelWindowModally) {
    Open(LabelledFile());
    QStringList shown;
    QString name, label;
    bool referenceSet = false;
    onModal = [&](QDialog& d) {
        auto& w = static_cast<TfrmValue&>(d);
        referenceSet = frmValue == &w;
        name = w.varname->text();
        label = w.Label1->text();
        shown = testsupport::ListLines(w.ListBox1);
    };
    frmVariable->show();
    frmVariable->ListBox1->setCurrentRow(1);
    const QPointF at =
        frmVariable->ListBox1->visualItemRect(frmVariable->ListBox1->item(1)).center();
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, frmVariable->ListBox1->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frmVariable->ListBox1->viewport(), &doubleClick);
    EXPECT_EQ(modalShows, 1);
    EXPECT_TRUE(referenceSet);
    EXPECT_EQ(frmValue, nullptr);  // destroyed when the modal display ended
    EXPECT_EQ(SelectedVarIndex, 1);
    EXPECT_EQ(CurrentVarName, "Q1");
    EXPECT_EQ(name, "Q1");
    EXPECT_EQ(label, "Question one");
    EXPECT_EQ(shown, (QStringList{"    1.00  yes", "    2.00  no", "", "** missing values **",
                                  "    9.00"}));
}

TEST_F(VariableListTest, DoubleClickWithoutSelectionDoesNothing) {
    Open(LabelledFile());
    frmVariable->ListBox1->clearSelection();
    frmVariable->ListBox1DblClick();
    EXPECT_EQ(modalShows, 0);
}

TEST_F(VariableListTest, OkReturnsToTheWindowNamedByReturnTarget) {
    Open(LabelledFile());
    new TForm1();  // cancelled dialog: no file, no list of its own
    Form1->hide();
    ReturnTarget = "";
    frmVariable->btnOK->click();
    EXPECT_FALSE(Form1->isVisible());
    ReturnTarget = "SPSSFILE";  // exact, case-sensitive
    frmVariable->btnOK->click();
    EXPECT_FALSE(Form1->isVisible());
    ReturnTarget = "spssfile";
    frmVariable->btnOK->click();
    EXPECT_TRUE(Form1->isVisible());
    ReturnTarget = "DPGrid";  // no grid: nothing
    frmVariable->btnOK->click();
}

TEST_F(VariableListTest, ResizeKeepsTheListBelowTheHeadings) {
    Open(LabelledFile());
    frmVariable->show();
    frmVariable->resize(700, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(frmVariable->ListBox1->geometry(), QRect(0, 56, 700, 344));
    EXPECT_EQ(frmVariable->btnOK->geometry(), QRect(304, 24, 75, 25));
}

TEST_F(VariableListTest, UtfEightNamesKeepTheColumnsOnScreen) {
    fixture::File f;
    fixture::Variable v;
    v.name = "年齢";  // 6 bytes, 4 columns
    v.print = {5, 3, 0};
    v.label = "満年齢";
    f.variables = {v};
    f.cases = {{30.0}};
    Open(f);
    const QString line = frmVariable->ListBox1->item(0)->text();
    EXPECT_EQ(line, "年齢      num    N  N  満年齢");
    const QByteArray bytes = frmVariable->ListBox1->item(0)->data(Qt::UserRole + 1).toByteArray();
    EXPECT_EQ(bytes.toStdString(), "年齢    num    N  N  満年齢");
}

}  // namespace
