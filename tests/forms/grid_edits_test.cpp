// Edits in the grid window that the user can see and take back: the edited
// cell's colour and tooltip, Ctrl+Z and the menu's undo (the last edit
// first), editing switched off for the run, and Escape in the editor.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;
using lv::ConfirmAnswer;

namespace {

// CODE (F3.0) with a label for 1; NAME (A4).
fixture::File Coded() {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("CODE", 3, 0), gridtest::String("NAME", 4)};
    f.valueLabels = {{{0}, {{1, "one"}}, {}}};
    f.cases = {{1.0, std::string("ab")}, {2.0, std::string("cd")}, {3.0, std::string("ef")}};
    return f;
}

class GridEditsTest : public testsupport::WindowTest {
  protected:
    TfrmDPGrid& Open() { return OpenGrid(Coded()); }
    static QString Text(TfrmDPGrid& w, int row, int column) {
        return w.model->data(w.model->index(row, column), Qt::DisplayRole).toString();
    }
    static bool Marked(TfrmDPGrid& w, int row, int column) {
        return w.model->data(w.model->index(row, column), Qt::BackgroundRole).isValid();
    }
    static QLineEdit* Editor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
    // Types text over the current cell's editor and leaves the cell downwards.
    static void Type(const QString& text) {
        QLineEdit* editor = Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Down);
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
};

}  // namespace

TEST_F(GridEditsTest, EditedCellsAreMarkedAndCtrlZTakesThemBackLastFirst) {
    TfrmDPGrid& w = Open();
    ASSERT_TRUE(w.model->editing());
    EXPECT_FALSE(Marked(w, 0, 0));
    Type("7");
    Type("8");
    EXPECT_EQ(Text(w, 0, 0), "7");
    EXPECT_EQ(Text(w, 1, 0), "8");
    EXPECT_TRUE(Marked(w, 0, 0) && Marked(w, 1, 0));
    EXPECT_FALSE(Marked(w, 2, 0));
    EXPECT_EQ(w.model->data(w.model->index(0, 0), Qt::ToolTipRole).toString(),
              "変数名: CODE\n値: 7（編集済み）\n元の値: 1\n値ラベル: one");

    // The same cell edited twice comes back through both texts.
    w.StringGrid1->GoTo(w.model->index(0, 0), true);
    Type("5");
    EXPECT_EQ(Text(w, 0, 0), "5");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(w, 0, 0), "7");
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 0));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(w, 1, 0), "   2");
    EXPECT_FALSE(Marked(w, 1, 0));
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(1, 0));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(w, 0, 0), "   1");
    EXPECT_FALSE(w.model->grid().hasEdits());
    Press(Qt::Key_Z, Qt::ControlModifier);  // nothing left: nothing changes
    EXPECT_EQ(Text(w, 0, 0), "   1");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridEditsTest, EditsAreCountedMarkedOnTheSelectionAndNumbersChecked) {
    TfrmDPGrid& w = Open();
    EXPECT_TRUE(w.editCount->isHidden() && w.undoAllEdits->isHidden());
    // A text that is not a number in CODE is asked about: kept out, then in.
    Type("x1");
    EXPECT_EQ(Text(w, 0, 0), "   1");
    ASSERT_EQ(dialogs.confirms.size(), 1u);
    EXPECT_EQ(dialogs.confirms[0],
              "「x1」は数値ではありません。数値の変数 CODE にこのまま入力しますか？ "
              "入力する（はい）／ 元のまま（いいえ）");
    dialogs.confirmAnswers = {ConfirmAnswer::Yes};
    Type("x1");
    EXPECT_EQ(Text(w, 1, 0), "x1");
    Type("2,5");  // a decimal comma is a number
    w.StringGrid1->GoTo(w.model->index(0, 1), true);
    Type("zz");  // NAME holds text
    EXPECT_EQ(dialogs.confirms.size(), 2u);
    EXPECT_FALSE(w.editCount->isHidden());
    EXPECT_EQ(w.editCount->text(), "編集したセル: 3");

    // The mark shows on a selected edited cell, not on a selected other one.
    w.StringGrid1->GoTo(w.model->index(2, 1), false);
    w.StringGrid1->selectAll();
    const QImage image = w.StringGrid1->viewport()->grab().toImage();
    const auto mark = [&](int row, int column) {
        const QRect cell = w.StringGrid1->visualRect(w.model->index(row, column));
        return image.pixel(cell.topRight() + QPoint(-1, 1)) == 0xFFE06000;
    };
    EXPECT_TRUE(mark(1, 0) && mark(2, 0) && mark(0, 1));
    EXPECT_FALSE(mark(0, 0) || mark(1, 1));

    w.undoAllEdits->click();
    EXPECT_FALSE(w.model->grid().hasEdits());
    EXPECT_TRUE(w.editCount->isHidden() && w.undoAllEdits->isHidden());
}

TEST_F(GridEditsTest, WritingAndClosingWithEditsAsk) {
    TfrmDPGrid& w = Open();
    w.StringGrid1->GoTo(w.model->index(0, 1), true);
    Type("zz");
    const auto write = [&](const std::string& name, std::deque<ConfirmAnswer> answers) {
        const std::string out = Path(name);
        dialogs.saveAnswers = {out};
        dialogs.confirmAnswers = std::move(answers);
        w.btmWrite->click();
        return gridtest::ReadAll(out);
    };
    EXPECT_EQ(write("with.txt", {ConfirmAnswer::Yes, ConfirmAnswer::Yes}).substr(0, 8), "   1 zz ");
    EXPECT_EQ(dialogs.confirms.back(),
              "編集したセルが 1 個あります。編集を含めて書き込みますか？ "
              "含める（はい）／ 含めない（いいえ）");
    EXPECT_EQ(write("without.txt", {ConfirmAnswer::Yes, ConfirmAnswer::No}).substr(0, 8),
              "   1 ab ");
    EXPECT_EQ(Text(w, 0, 1), "zz");  // the edits are back on screen
    EXPECT_EQ(write("none.txt", {ConfirmAnswer::Yes, ConfirmAnswer::Cancel}), "");

    // Closing: Cancel stays, Yes writes first, No closes with the edits kept.
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(dialogs.confirms.back(),
              "編集したセルが 1 個あります。閉じる前に書き込みますか？ "
              "書き込む（はい）／ 書き込まずに閉じる（いいえ）");
    dialogs.saveAnswers = {Path("closing.txt")};
    dialogs.confirmAnswers = {ConfirmAnswer::Yes, ConfirmAnswer::Yes, ConfirmAnswer::Yes};
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(gridtest::ReadAll(Path("closing.txt")).substr(0, 8), "   1 zz ");
    w.show();
    dialogs.confirmAnswers = {ConfirmAnswer::No};
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.model->grid().hasEdits());
}

TEST_F(GridEditsTest, TheMenuUndoesAllAndSwitchesEditingOffAndRemembersIt) {
    TfrmDPGrid& w = Open();
    QMenu* menu = w.additions->CellMenu();
    EXPECT_TRUE(menu->actions().contains(w.additions->allowEdits));
    EXPECT_TRUE(w.additions->allowEdits->isChecked());
    EXPECT_FALSE(w.additions->undoEdit->isEnabled());
    Type("7");
    w.StringGrid1->GoTo(w.model->index(0, 1), true);
    Type("zz");
    w.additions->CellMenu();
    EXPECT_TRUE(w.additions->undoEdit->isEnabled());
    w.additions->undoAllEdits->trigger();
    EXPECT_EQ(Text(w, 0, 0), "   1");
    EXPECT_EQ(Text(w, 0, 1), "ab  ");
    EXPECT_FALSE(w.model->grid().hasEdits());

    w.additions->allowEdits->trigger();
    EXPECT_FALSE(w.additions->allowEdits->isChecked());
    EXPECT_FALSE(w.model->flags(w.model->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(Editor(), nullptr);
    Press(Qt::Key_7);
    EXPECT_FALSE(w.model->setData(w.model->index(0, 0), "7", Qt::EditRole));
    EXPECT_FALSE(w.model->grid().hasEdits());

    // A grid opened later, in this run or the next, is read-only too, until
    // allowed again.
    EXPECT_FALSE(QSettings().value("grid/allowEdits").toBool());
    delete frmDPGrid;
    frmDPGrid = nullptr;
    TfrmDPGrid& again = Open();
    EXPECT_FALSE(again.model->editing());
    EXPECT_FALSE(again.additions->allowEdits->isChecked());
    again.additions->allowEdits->trigger();
    EXPECT_TRUE(again.model->editing());
    EXPECT_TRUE(again.model->setData(again.model->index(0, 0), "7", Qt::EditRole));
    EXPECT_TRUE(QSettings().value("grid/allowEdits").toBool());
}

TEST_F(GridEditsTest, EscapeInTheEditorLeavesTheCellAsItWas) {
    TfrmDPGrid& w = Open();
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "xyz");
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(Text(w, 0, 0), "   1");
    EXPECT_FALSE(w.model->grid().hasEdits());
    // The editor is open again, on the cell's own text.
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "   1");
    QTest::keyClick(Editor(), Qt::Key_Down);
    EXPECT_FALSE(w.model->grid().hasEdits());
    EXPECT_TRUE(w.isVisible());
}
