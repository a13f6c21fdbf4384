// The windows with the keyboard alone: Enter on a variable-list line opens
// its value labels; Escape closes the variable list, the grid and the
// file-information window, never the main window, and in a cell's editor
// only takes the edit back; Shift+F10 opens a context menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "forms/file_info.h"
#include "forms/grid_additions.h"
#include "forms/grid_model.h"
#include "forms/grid_view.h"
#include "forms/menu_key.h"
#include "tests/core/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class KeyboardTest : public testsupport::WindowTest {
  protected:
    void Start() {
        fixture::File f = gridtest::Basic();
        f.variables = {gridtest::Numeric("A", 3, 0), gridtest::Numeric("B", 3, 0)};
        f.valueLabels = {{{0}, {{1, "one"}}, {}}};
        f.cases = {{1.0, 2.0}};
        dialogs.openAnswers = {Write(f, "keys.sav")};
        new TForm1();
        Form1->show();
    }
    static void Show(QWidget* window) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
};

}  // namespace

TEST_F(KeyboardTest, EnterOnAVariableLineOpensItsValueLabels) {
    Start();
    ASSERT_NE(frmVariable, nullptr);
    Show(frmVariable);
    frmVariable->ListBox1->setFocus();
    frmVariable->ListBox1->setCurrentRow(0);
    QTest::keyClick(frmVariable->ListBox1, Qt::Key_Return);
    EXPECT_EQ(modalShows, 1);
    EXPECT_EQ(spssdio1::SelectedVarIndex, 0);
    EXPECT_TRUE(frmVariable->isVisible());
}

TEST_F(KeyboardTest, EscapeClosesTheListTheGridAndTheFileInformationButNotTheMainWindow) {
    Start();
    Show(frmVariable);
    QTest::keyClick(frmVariable->ListBox1, Qt::Key_Escape);
    EXPECT_FALSE(frmVariable->isVisible());

    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    Show(frmDPGrid);
    // In the cell's editor Escape takes the edit back and the grid stays.
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(frmDPGrid->isVisible());
    frmDPGrid->btmWrite->setFocus();
    QTest::keyClick(frmDPGrid->btmWrite, Qt::Key_Escape);
    EXPECT_FALSE(frmDPGrid->isVisible());

    Form1->ShowFileInfo();
    ASSERT_NE(frmFileInfo, nullptr);
    Show(frmFileInfo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(frmFileInfo->isVisible());

    Show(Form1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(KeyboardTest, ShiftF10OpensTheContextMenuAsTheMenuKeyDoes) {
    lv::InstallShiftF10ContextMenus(QApplication::instance());
    Start();
    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    Show(frmDPGrid);
    frmDPGrid->StringGrid1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), frmDPGrid->StringGrid1);
    QTest::keyClick(frmDPGrid->StringGrid1, Qt::Key_F10, Qt::ShiftModifier);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup, static_cast<QWidget*>(frmDPGrid->additions->CellMenu()));
    popup->close();
    // F10 alone is not the menu's key.
    QTest::keyClick(frmDPGrid->StringGrid1, Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}
