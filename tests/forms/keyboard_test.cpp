// The windows with the keyboard alone: Enter on a variable-list line opens
// its value labels; Escape closes the variable list, the grid and the
// file-information window, never the main window, and in a cell's editor
// only takes the edit back; Shift+F10 opens a context menu; Tab reaches
// every button in order and Enter or Space presses it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/go_to_dialog.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/table_export_dialog.h"
#include "forms/seam/focus_keys.h"
#include "forms/seam/menu_key.h"
#include "forms/seam/password_dialog.h"
#include "forms/stats/stats_windows.h"
#include "forms/windows/file_info.h"
#include "forms/windows/variable_list_additions.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class KeyboardTest : public testsupport::WindowTest {
  protected:
    void Start() {
        static const bool keys = (lv::InstallFocusKeys(qApp), true);
        (void)keys;
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
    static void Focus(QWidget* widget) {
        Show(widget->window());
        widget->setFocus(Qt::TabFocusReason);
    }
};

// The texts of the buttons Tab reaches from first, once round the window
// (or until a table keeps Tab for its cells).
QStringList ButtonsAfterTabs(QAbstractButton* first) {
    QStringList texts{first->text()};
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* at = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (at == first) break;
        if (at && (qobject_cast<QPushButton*>(at) || qobject_cast<QToolButton*>(at)))
            texts << at->text();
    }
    return texts;
}

QAbstractButton* ButtonNamed(QWidget* window, const QString& text) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

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
    // In a cell's editor too, the grid's menu rather than the editor's.
    frmDPGrid->StringGrid1->ReopenEditor();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && frmDPGrid->StringGrid1->isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_F10, Qt::ShiftModifier);
    popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup, static_cast<QWidget*>(frmDPGrid->additions->CellMenu()));
    popup->close();
}

TEST_F(KeyboardTest, ButtonsReachedByKeysShowItAndDataGivesTheGridTheKeyboard) {
    Start();
    Form1->Button5Click();
    Show(frmDPGrid);
    // Ctrl+Tab from the cell to OK, the default button: a ring shows it.
    const QImage plain = frmDPGrid->btnOK->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), frmDPGrid->btnOK);
    EXPECT_NE(frmDPGrid->btnOK->grab().toImage(), plain);

    // DATA表示 with the grid open gives it the keyboard.
    Show(Form1);
    Form1->Button5->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Form1->Button5, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitForWindowActive(frmDPGrid));
    EXPECT_EQ(QApplication::focusWidget()->window(), frmDPGrid);

    // The value labels a move opens say how to keep moves from opening them.
    QString tip;
    onModal = [&](QDialog& d) { tip = d.toolTip(); };
    frmDPGrid->StringGrid1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(modalShows, 1);
    EXPECT_TRUE(tip.contains(QStringLiteral("「セル移動で値ラベルを開く」をオフ")));
}

TEST_F(KeyboardTest, TabReachesEveryButtonInOrderAndEnterOrSpacePressesIt) {
    Start();
    Form1->Button5Click();
    Form1->ShowFileInfo();
    frmVariable->additions->findBar->Open();
    frmDPGrid->additions->filterBar->Open();
    frmDPGrid->additions->findBar->Open();
    TfrmValue values;
    GoToDialog goTo(nullptr, {}, 1);
    TableExportDialog exportChoices(nullptr, TableFormat::Csv, {}, true);
    PasswordDialog password(nullptr, "keys.sav", false);
    // Closed with the test's other windows.
    const std::unique_ptr<QWidget> frequencies(OpenFrequencyWindow(0));
    const std::unique_ptr<QWidget> describe(OpenDescribeWindow());
    const std::unique_ptr<QWidget> crosstab(OpenCrosstabWindow(0));
    ASSERT_TRUE(frequencies && describe && crosstab);

    struct Row {
        QWidget* window;
        QStringList buttons;  // as Tab reaches them; the first presses
    };
    const QString ok = QStringLiteral("OK"), cancel = QStringLiteral("ｷｬﾝｾﾙ");
    const QString close = QStringLiteral("×");
    const std::vector<Row> rows = {
        // The main window's Tab order puts 終了 before DATA表示.
        {Form1, {"変数名表示", "終了", "DATA表示", ""}},
        {frmVariable, {ok, "前へ", "次へ", close}},
        {&values, {ok}},
        {frmDPGrid, {"全変数名表示", "書き込み", "適用", "解除", close, "前へ", "次へ", close}},
        {frmFileInfo, {ok}},
        {&goTo, {cancel, ok}},
        {&exportChoices, {cancel, "書き出す"}},
        {&password, {cancel, ok}},
        {frequencies.get(), {"グラフをコピー", "閉じる", "表示する統計量", "グラフを保存..."}},
        {describe.get(), {"すべてコピー", "閉じる", "CSV に書き出す..."}},
        {crosstab.get(), {"集計"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.window->windowTitle().toStdString());
        Show(row.window);
        QAbstractButton* first = ButtonNamed(row.window, row.buttons.front());
        ASSERT_NE(first, nullptr);
        Focus(first);
        EXPECT_EQ(ButtonsAfterTabs(first).join(" | ").toStdString(),
                  row.buttons.join(" | ").toStdString());
        // Each key presses the button with the focus, once, whatever the
        // window's default button is.
        QSignalSpy clicks(first, &QAbstractButton::clicked);
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
            Focus(first);
            QTest::keyClick(first, key);
        }
        EXPECT_EQ(clicks.count(), 3);
    }
    EXPECT_EQ(goTo.result(), QDialog::Rejected);
}

TEST_F(KeyboardTest, TabLeavesTheSummaryAndCtrlTabLeavesTheGrid) {
    Start();
    Show(Form1);
    const QString summary = Form1->Memo1->toPlainText();
    Focus(Form1->Memo1);
    QTest::keyClick(Form1->Memo1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Form1->fileget);
    QTest::keyClick(Form1->fileget, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Form1->Memo1);
    QTest::keyClick(Form1->Memo1, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Form1->Button5);
    EXPECT_EQ(Form1->Memo1->toPlainText(), summary);

    // In the grid Tab moves between cells; Ctrl+Tab goes on to the buttons,
    // from the cell's editor too, and Ctrl+Shift+Tab back to the last one.
    Form1->Button5Click();
    Show(frmDPGrid);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && frmDPGrid->StringGrid1->isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(frmDPGrid->StringGrid1->currentIndex().column(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), frmDPGrid->btnOK);
    Focus(frmDPGrid->StringGrid1);
    QTest::keyClick(frmDPGrid->StringGrid1, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), frmDPGrid->btmWrite);
}
