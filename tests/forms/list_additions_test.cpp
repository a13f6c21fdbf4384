// The variable list's find bar and copying, and copying in the value-label
// window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "forms/grid/find_bar.h"
#include "forms/seam/line_copy.h"
#include "forms/windows/variable_list_additions.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using namespace spssdio1;

fixture::File Variables() {
    fixture::File f;
    auto id = fixture::Numeric("ID", {5, 4, 0});
    auto q1 = fixture::Numeric("Q1");
    q1.label = "Satisfaction overall";
    q1.longName = "Overall";
    auto q2 = fixture::Numeric("Q2");
    q2.label = "Would come again";
    auto q3 = fixture::Numeric("Q3");
    q3.label = "Satisfaction with staff";
    f.variables = {id, q1, q2, q3};
    f.valueLabels = {{{1}, {{1, "yes"}, {2, "no"}}, {}}};
    f.cases = {{1.0, 1.0, 2.0, 1.0}};
    return f;
}

// The list's context menu action of the given text.
QAction* MenuAction(QWidget* list, const QString& text) {
    for (QMenu* menu : list->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->text() == text) return action;
    return nullptr;
}

class ListAdditionsTest : public testsupport::WindowTest {
  protected:
    TfrmVariable& Open() {
        DataFileName = Write(Variables(), "v.sav");
        frmVariable = new TfrmVariable();
        frmVariable->show();
        frmVariable->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frmVariable));
        return *frmVariable;
    }
};

TEST_F(ListAdditionsTest, TheVariableListFindsByNameLongNameOrLabelAndWraps) {
    TfrmVariable& w = Open();
    QListWidget* list = w.ListBox1;
    const int listHeight = list->height();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = w.additions->findBar;
    ASSERT_FALSE(bar->isHidden());
    EXPECT_EQ(list->height(), listHeight - bar->height());
    QTest::keyClicks(bar->text, "satisfaction");
    QTest::keyClick(bar->text, Qt::Key_Return);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(bar->status->text(), "2 件");
    QTest::keyClick(bar->text, Qt::Key_F3);
    EXPECT_EQ(list->currentRow(), 3);
    QTest::keyClick(bar->text, Qt::Key_Return);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(bar->status->text(), "2 件　" + WrapText(false));
    bar->text->setText("overall");  // the long name (and a label)
    list->setCurrentRow(0);
    w.additions->Find(false);
    EXPECT_EQ(list->currentRow(), 1);
    bar->text->setText("q2");  // a name
    w.additions->Find(true);
    EXPECT_EQ(list->currentRow(), 2);
    bar->text->setText("nowhere");
    w.additions->Find(false);
    EXPECT_EQ(bar->status->text(), NotFoundText());
    EXPECT_EQ(modalShows, 0);  // finding never opens the value-label window
    QTest::keyClick(bar->text, Qt::Key_Escape);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(list->height(), listHeight);
}

TEST_F(ListAdditionsTest, CtrlCCopiesTheSelectedLineAndTheMenuCopiesAll) {
    TfrmVariable& w = Open();
    QListWidget* list = w.ListBox1;
    list->setCurrentRow(2);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), list->item(2)->text() + "\n");
    QAction* all = MenuAction(list, "すべてコピー");
    ASSERT_NE(all, nullptr);
    all->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), lv::ListLines(list, false));
    EXPECT_EQ(lv::ListLines(list, false).count('\n'), 4);
    EXPECT_NE(MenuAction(list, "コピー"), nullptr);
}

TEST_F(ListAdditionsTest, TheValueLabelWindowCopiesItsLines) {
    TfrmVariable& w = Open();
    w.ListBox1->setCurrentRow(1);
    QStringList copied;
    onModal = [&](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentRow(0);
        MenuAction(list, "コピー")->trigger();
        copied << QApplication::clipboard()->text();
        MenuAction(list, "すべてコピー")->trigger();
        copied << QApplication::clipboard()->text();
    };
    w.ListBox1DblClick();
    ASSERT_EQ(copied.size(), 2);
    EXPECT_TRUE(copied[0].endsWith("yes\n"));
    EXPECT_EQ(copied[0].count('\n'), 1);
    EXPECT_TRUE(copied[1].startsWith(copied[0]));
    EXPECT_TRUE(copied[1].contains("** missing values **"));
}

}  // namespace
