// The grid window's additions through its keys and menus: value labels,
// the muted colour and tooltips, the find bar, go to, copy, sort, and the
// progress dialog of a long load, cancelled.
#include "forms/grid/grid_additions.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/go_to_dialog.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/row_numbers.h"
#include "forms/seam/progress_dialog.h"
#include "savio/spssfio.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class GridAdditionsTest : public testsupport::WindowTest {
  protected:
    TfrmDPGrid& Open(const fixture::File& f) { return OpenGrid(f); }
    static QString Text(TfrmDPGrid& w, int row, int column) {
        return w.model->data(w.model->index(row, column), Qt::DisplayRole).toString();
    }
    // A key as the user types it, to the widget that has the focus.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    static QString Clipboard() { return QApplication::clipboard()->text(); }
};

TEST_F(GridAdditionsTest, LabelsColourAndTooltipsAppearOnlyWhenAsked) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    EXPECT_EQ(Text(w, 0, 0), "   1");
    EXPECT_FALSE(w.model->data(w.model->index(0, 0), Qt::ForegroundRole).isValid());
    // User-missing values are muted; their text stays.
    EXPECT_TRUE(w.model->data(w.model->index(1, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(Text(w, 1, 0), "   9");
    EXPECT_TRUE(w.additions->findBar->isHidden());

    Press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(w.model->showLabels());
    EXPECT_TRUE(w.additions->showLabels->isChecked());
    EXPECT_EQ(Text(w, 0, 0), "one");
    EXPECT_EQ(Text(w, 1, 0), "   9");  // no label: the value
    EXPECT_EQ(Text(w, 0, 1), "ab  ");
    // The editor of the current cell shows the label and, left alone,
    // records no edit.
    EXPECT_FALSE(w.model->grid().hasEdits());
    Press(Qt::Key_Down);
    EXPECT_FALSE(w.model->grid().hasEdits());

    const QString cell = w.model->data(w.model->index(1, 0), Qt::ToolTipRole).toString();
    EXPECT_EQ(cell, "変数名: CODE (TheCode)\n変数ラベル: The code\n値: 9\nユーザー欠損値");
    EXPECT_EQ(w.model->data(w.model->index(0, 0), Qt::ToolTipRole).toString(),
              "変数名: CODE (TheCode)\n変数ラベル: The code\n値: 1\n値ラベル: one");
    EXPECT_EQ(w.model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(),
              "変数名: CODE (TheCode)\n変数ラベル: The code\n書式: F3.0");
    EXPECT_EQ(w.model->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(),
              "変数名: NAME\n書式: A4");

    // The context menu holds the same switch; a second Ctrl+L turns it off.
    QMenu* menu = w.additions->CellMenu();
    EXPECT_TRUE(menu->actions().contains(w.additions->showLabels));
    EXPECT_EQ(w.additions->showLabels->text(), "値ラベルを表示");
    Press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(Text(w, 0, 0), "   1");
}

TEST_F(GridAdditionsTest, PrintFormatsAppearOnlyWhenAskedAndLabelsStillComeFirst) {
    fixture::File f = gridtest::Coded();
    auto price = gridtest::Numeric("PRICE", 10, 2);
    price.print = {4, 10, 2};  // DOLLAR10.2
    auto when = gridtest::Numeric("WHEN", 20, 0);
    when.print = {22, 20, 0};  // DATETIME20
    f.variables.push_back(price);
    f.variables.push_back(when);
    for (auto& c : f.cases) {
        c.push_back(1234.5);
        c.push_back(13203179130.0);
    }
    TfrmDPGrid& w = Open(f);
    const QString plainPrice = Text(w, 0, 2);
    EXPECT_EQ(plainPrice.trimmed(), "1234.50");
    // Off, the tooltip still tells the formatted text where it differs.
    EXPECT_TRUE(w.model->data(w.model->index(0, 3), Qt::ToolTipRole)
                    .toString()
                    .contains("書式どおり: 05-MAR-2001 13:45:30"));
    EXPECT_FALSE(
        w.model->data(w.model->index(0, 0), Qt::ToolTipRole).toString().contains("書式どおり"));

    Press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.additions->showFormatted->isChecked());
    EXPECT_EQ(Text(w, 0, 2).trimmed(), "$1,234.50");
    EXPECT_EQ(Text(w, 0, 3).trimmed(), "05-MAR-2001 13:45:30");
    EXPECT_EQ(Text(w, 0, 0), "   1");
    Press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(Text(w, 0, 0), "one");
    EXPECT_EQ(Text(w, 1, 0), "   9");

    EXPECT_TRUE(w.additions->CellMenu()->actions().contains(w.additions->showFormatted));
    EXPECT_TRUE(w.additions->HeaderMenu(2)->actions().contains(w.additions->showFormatted));
    EXPECT_EQ(w.additions->showFormatted->text(), "書式どおりに表示");
    Press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(w, 0, 2), plainPrice);
}

TEST_F(GridAdditionsTest, ALoadEndedByARenderingErrorStillKnowsItsVariables) {
    Choose(gridtest::Coded());
    spssdio1::DisplayFormats[1] = "%8.2f";  // a number specifier on a string column
    frmDPGrid = new TfrmDPGrid();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(frmDPGrid->model->headerData(0, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .startsWith("変数名: CODE (TheCode)"));
    // No value of case 2 was read: nothing to mute.
    const QModelIndex unread = frmDPGrid->model->index(1, 0);
    EXPECT_FALSE(frmDPGrid->model->data(unread, Qt::ForegroundRole).isValid());
}

TEST_F(GridAdditionsTest, TheFindBarFindsCountsWrapsAndCloses) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    const int gridHeight = w.StringGrid1->height();
    Press(Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = w.additions->findBar;
    ASSERT_FALSE(bar->isHidden());
    EXPECT_EQ(w.StringGrid1->height(), gridHeight - bar->height());
    EXPECT_EQ(QApplication::focusWidget(), bar->text);

    QTest::keyClicks(bar->text, "ab");
    Press(Qt::Key_Return);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 1));
    EXPECT_EQ(bar->status->text(), "2 件");
    Press(Qt::Key_F3);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(3, 1));
    Press(Qt::Key_Return);  // past the last: from the top again, with a notice
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 1));
    EXPECT_EQ(bar->status->text(), "2 件　" + WrapText(false));
    Press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(3, 1));
    EXPECT_EQ(bar->status->text(), "2 件　" + WrapText(true));
    // Whole cells only: "ab" alone, not "abc".
    bar->wholeCell->setChecked(true);
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 1));
    EXPECT_EQ(bar->status->text(), "1 件");
    // The current column only, with labels shown.
    bar->wholeCell->setChecked(false);
    bar->columnOnly->setChecked(true);
    w.additions->ToggleLabels();
    bar->text->setText("ON");
    w.StringGrid1->SetCurrentQuietly(w.model->index(1, 0));
    w.additions->Find(false);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(3, 0));  // "one" again
    bar->text->setText("nothing like it");
    Press(Qt::Key_Return);
    EXPECT_EQ(bar->status->text(), NotFoundText());
    EXPECT_TRUE(modalShows == 0);  // a find never opens the value-label window

    Press(Qt::Key_Escape);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(w.StringGrid1->height(), gridHeight);
}

TEST_F(GridAdditionsTest, GoToTakesACaseNumberOrAVariableThroughTheDialog) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    w.additions->Sort(0, true);  // CODE descending: cases 2 (9, missing) last
    QString caseNumber, variable;
    onModal = [&](QDialog& d) {
        auto& go = static_cast<GoToDialog&>(d);
        go.caseNumber->setText(caseNumber);
        go.variable->setText(variable);
    };
    caseNumber = "2";
    Press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(modalShows, 1);
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(3, 0));
    caseNumber = "";
    variable = "the CODE";  // a label, matched as shown
    w.additions->GoTo();
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(3, 0));
    caseNumber = "1";
    variable = "name";  // a name, in any case
    w.additions->GoTo();
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(1, 1));
    variable = "nosuch";
    w.additions->GoTo();
    EXPECT_EQ(dialogs.messages.back(), "その変数は見つかりません");
    caseNumber = "5";
    variable = "";
    w.additions->GoTo();
    EXPECT_EQ(dialogs.messages.back(), "ケース番号は 1 から 4 までです");
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(1, 1));
}

TEST_F(GridAdditionsTest, TheFilterBarCompletesTheNameBeingTyped) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    FilterBar* bar = w.additions->filterBar;
    w.additions->OpenFilter();
    // Full-width letters from an input method find the ASCII name.
    QTest::keyClicks(bar->text, "MEAN(");
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("ｔｈ"));
    QApplication::sendEvent(bar->text, &typed);
    ASSERT_NE(bar->completer(), nullptr);
    EXPECT_TRUE(bar->completer()->popup()->isVisible());
    EXPECT_EQ(bar->completer()->currentCompletion(), "TheCode");
    emit bar->completer()->activated(QStringLiteral("TheCode"));
    EXPECT_EQ(bar->text->text(), "MEAN(TheCode");
    QTest::keyClicks(bar->text, ") > 1 AND xdate.y");
    EXPECT_EQ(bar->completer()->currentCompletion(), "XDATE.YEAR(");
    QTest::keyClicks(bar->text, "ear(1) = 1 OR name = 'th");
    EXPECT_FALSE(bar->completer()->popup()->isVisible());  // inside a string
}

TEST_F(GridAdditionsTest, TheFilterBarShowsTheSelectedCasesAndEverythingFollowsIt) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    const int gridHeight = w.StringGrid1->height();
    const auto caseNumber = [&](int row) {
        return w.model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString().trimmed();
    };
    FilterBar* bar = w.additions->filterBar;
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(w.additions->CellMenu()->actions().contains(w.additions->filter));
    EXPECT_EQ(w.additions->filter->text(), "条件で絞り込む...");
    Press(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_FALSE(bar->isHidden());
    EXPECT_EQ(w.StringGrid1->height(), gridHeight - bar->height());
    EXPECT_EQ(QApplication::focusWidget(), bar->text);

    // CODE 9 is user-missing: case 2 is neither equal nor unequal to 2.
    QTest::keyClicks(bar->text, "thecode <> 2 AND name <> 'x'");
    Press(Qt::Key_Return);
    ASSERT_EQ(w.model->rowCount(), 2);
    EXPECT_EQ(caseNumber(0), "1");
    EXPECT_EQ(caseNumber(1), "4");
    EXPECT_EQ(bar->status->text(), "2 / 4 ケース");

    // Sort, copy, find and go to walk the selected cases only.
    w.additions->Sort(1, true);
    EXPECT_EQ(caseNumber(0), "4");
    w.additions->selectAll->trigger();
    w.additions->copy->trigger();
    EXPECT_EQ(Clipboard(), "1\tabc\n1\tab\n");
    w.additions->findBar->text->setText("zz");
    w.additions->Find(false);
    EXPECT_EQ(w.additions->findBar->status->text(), NotFoundText());
    onModal = [](QDialog& d) { static_cast<GoToDialog&>(d).caseNumber->setText("2"); };
    w.additions->GoTo();
    EXPECT_EQ(dialogs.messages.back(), "ケース 2 は条件に合わないため表示されていません");
    onModal = [](QDialog& d) { static_cast<GoToDialog&>(d).caseNumber->setText("1"); };
    w.additions->GoTo();
    EXPECT_EQ(w.StringGrid1->currentIndex().row(), 1);
    EXPECT_EQ(modalShows, 2);  // the go-to dialogs only: no value-label window

    // A bad condition says where, and leaves the rows as they were.
    bar->text->setText("code >");
    w.additions->ApplyFilter();
    EXPECT_EQ(w.model->rowCount(), 2);
    EXPECT_TRUE(bar->error->text().startsWith("7 文字目: ")) << bar->error->text().toStdString();
    EXPECT_EQ(bar->status->text(), "2 / 4 ケース");
    EXPECT_EQ(bar->text->cursorPosition(), 6);

    // 解除 shows every case in the order they stand; Escape clears and closes.
    bar->clear->click();
    EXPECT_EQ(w.model->rowCount(), 4);
    EXPECT_TRUE(bar->status->text().isEmpty());
    bar->text->setText("code = 1");
    w.additions->ApplyFilter();
    EXPECT_EQ(w.model->rowCount(), 2);
    bar->text->setFocus();
    Press(Qt::Key_Escape);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(w.model->rowCount(), 4);
    EXPECT_EQ(w.StringGrid1->height(), gridHeight);
}

TEST_F(GridAdditionsTest, CopyTakesTheSelectionAsShownWithAndWithoutNames) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    w.StringGrid1->horizontalHeader()->moveSection(1, 0);  // NAME, CODE
    QItemSelectionModel* selection = w.StringGrid1->selectionModel();
    selection->select(QItemSelection(w.model->index(0, 0), w.model->index(1, 1)),
                      QItemSelectionModel::ClearAndSelect);
    // The current cell's editor has the focus and no text selected: the
    // grid copies.
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "ab\t1\nzz\t9\n");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime->hasHtml());
    EXPECT_TRUE(mime->html().contains("<tr><td>ab</td><td>1</td></tr>"));
    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Clipboard(), "NAME\tCODE\nab\t1\nzz\t9\n");
    // The context menu's items do the same.
    QApplication::clipboard()->clear();
    w.additions->copy->trigger();
    EXPECT_EQ(Clipboard(), "ab\t1\nzz\t9\n");
    w.additions->copyWithNames->trigger();
    EXPECT_EQ(Clipboard(), "NAME\tCODE\nab\t1\nzz\t9\n");
    // Ctrl+A selects every cell, in the order they stand.
    w.additions->Sort(1, false);
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "ab\t1\nabc\t1\ncd\t2\nzz\t9\n");
    // Text selected inside the editor is the editor's to copy.
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setSelection(0, 1);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), editor->selectedText());
}

TEST_F(GridAdditionsTest, TheHeaderMenuSortsAndRestoresWithCaseNumbersAndEdits) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    QMenu* menu = w.additions->HeaderMenu(0);
    // Two sorts, a separator, the original order, a separator, 書式どおりに表示,
    // 度数分布..., 列幅を内容に合わせる, a separator, 形式を選んで書き出す...,
    // 名前を付けて保存..., a separator, 変数を計算..., 計算した変数を削除.
    EXPECT_EQ(menu->actions().size(), 14);
    EXPECT_EQ(w.additions->sortAscending->text(), "昇順で並べ替え");
    EXPECT_EQ(w.additions->sortDescending->text(), "降順で並べ替え");
    EXPECT_EQ(w.additions->originalOrder->text(), "元の順序に戻す");
    EXPECT_FALSE(w.additions->originalOrder->isEnabled());
    w.model->setData(w.model->index(2, 1), QStringLiteral("ed"), Qt::EditRole);  // case 3
    w.additions->sortDescending->trigger();
    // 2, 1, 1 (cases 3, 1, 4), then the user-missing 9 (case 2).
    const auto caseNumber = [&](int row) {
        return w.model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString().trimmed();
    };
    EXPECT_EQ(caseNumber(0), "3");
    EXPECT_EQ(caseNumber(3), "2");
    EXPECT_EQ(Text(w, 0, 1), "ed");
    // A row dragged by its number moves in the same order.
    GridView* view = w.StringGrid1;
    QWidget* numbers = view->verticalHeader()->viewport();
    const QPoint from(10, view->RowY(3) + 12);
    const QPoint to(10, view->RowY(0) + 4);
    QTest::mousePress(numbers, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(numbers, QPoint(10, view->RowY(2) + 12));
    QTest::mouseMove(numbers, to);
    QTest::mouseRelease(numbers, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(caseNumber(0), "2");
    EXPECT_EQ(view->indexAt(QPoint(5, view->RowY(0) + 5)).row(), 0);
    EXPECT_EQ(Text(w, 1, 1), "ed");
    w.additions->HeaderMenu(0);
    EXPECT_TRUE(w.additions->originalOrder->isEnabled());
    w.additions->originalOrder->trigger();
    EXPECT_EQ(caseNumber(0), "1");
    EXPECT_EQ(Text(w, 2, 1), "ed");
}

// An action as a line: its text, its keys, [ ] or [x] when it is a switch,
// and "off" when disabled; "-" for a separator.
QStringList Lines(const QList<QAction*>& actions) {
    QStringList lines;
    for (const QAction* a : actions) {
        if (a->isSeparator()) {
            lines << "-";
            continue;
        }
        QString line = a->text();
        if (!a->shortcut().isEmpty()) line += " " + a->shortcut().toString();
        if (a->isCheckable()) line += a->isChecked() ? " [x]" : " [ ]";
        if (!a->isEnabled()) line += " off";
        lines << line;
    }
    return lines;
}

TEST_F(GridAdditionsTest, BothMenusAndTheWindowsKeysHoldEveryActionInItsPlace) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    EXPECT_EQ(Lines(w.additions->CellMenu()->actions()).join("\n").toStdString(),
              "値ラベルを表示 Ctrl+L [ ]\n"
              "書式どおりに表示 Ctrl+Shift+L [ ]\n"
              "-\n"
              "コピー Ctrl+C\n"
              "変数名付きでコピー Ctrl+Shift+C\n"
              "すべて選択 Ctrl+A\n"
              "-\n"
              "検索... Ctrl+F\n"
              "移動... Ctrl+G\n"
              "条件で絞り込む... Ctrl+Shift+F\n"
              "変数を計算...\n"
              "-\n"
              "編集を元に戻す Ctrl+Z off\n"
              "すべての編集を元に戻す off\n"
              "編集を許可 [x]\n"
              "セル移動で値ラベルを開く [x]\n"
              "-\n"
              "形式を選んで書き出す...\n"
              "名前を付けて保存... Ctrl+S");
    EXPECT_EQ(Lines(w.additions->HeaderMenu(1)->actions()).join("\n").toStdString(),
              "昇順で並べ替え\n"
              "降順で並べ替え\n"
              "-\n"
              "元の順序に戻す off\n"
              "-\n"
              "書式どおりに表示 Ctrl+Shift+L [ ]\n"
              "度数分布...\n"
              "列幅を内容に合わせる\n"
              "-\n"
              "形式を選んで書き出す...\n"
              "名前を付けて保存... Ctrl+S\n"
              "-\n"
              "変数を計算...\n"
              "計算した変数を削除 off");
    // The actions with keys answer them anywhere in the window, the two
    // finds beside the menus' among them.
    EXPECT_EQ(Lines(w.actions()).join("\n").toStdString(),
              "値ラベルを表示 Ctrl+L [ ]\n"
              "書式どおりに表示 Ctrl+Shift+L [ ]\n"
              "検索... Ctrl+F\n"
              "次を検索 F3\n"
              "前を検索 Shift+F3\n"
              "移動... Ctrl+G\n"
              "条件で絞り込む... Ctrl+Shift+F\n"
              "コピー Ctrl+C\n"
              "変数名付きでコピー Ctrl+Shift+C\n"
              "すべて選択 Ctrl+A\n"
              "編集を元に戻す Ctrl+Z off\n"
              "名前を付けて保存... Ctrl+S");

    // Each menu brings its switches and states up to date as it opens.
    w.additions->ToggleLabels();
    w.model->setData(w.model->index(0, 1), QStringLiteral("ed"), Qt::EditRole);
    w.additions->Sort(0, false);
    const QStringList cell = Lines(w.additions->CellMenu()->actions());
    EXPECT_EQ(cell[0], "値ラベルを表示 Ctrl+L [x]");
    EXPECT_EQ(cell[12], "編集を元に戻す Ctrl+Z");
    EXPECT_EQ(Lines(w.additions->HeaderMenu(0)->actions())[3], "元の順序に戻す");
}

TEST_F(GridAdditionsTest, ALongLoadShowsProgressAndCancelShowsNoGridAndNoMessage) {
    fixture::File f = gridtest::Coded();
    f.cases.clear();
    for (int i = 0; i < 5000; ++i) f.cases.push_back({double(i % 3), std::string("x")});
    dialogs.openAnswers = {Write(f, "long.sav")};
    new TForm1();
    // Every look at the clock finds a second gone; the dialog is cancelled
    // as soon as it takes events.
    double now = 0;
    const lv::ProgressClock previous = lv::SetProgressClock([&] { return now += 1.0; });
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(top);
                progress && progress->isVisible()) {
                shown = true;
                EXPECT_EQ(progress->labelText().right(6), "/ 5000");
                progress->cancel();
            }
    });
    Form1->Button5Click();
    lv::SetProgressClock(previous);
    EXPECT_TRUE(shown);
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    // The data file was closed by the load.
    EXPECT_NE(spssCloseRead(spssdio1::FileHandle), 0);

    // Under half a second: no dialog at all, and the grid as ever.
    now = 0;
    lv::SetProgressClock([&] { return now; });
    Form1->Button5Click();
    lv::SetProgressClock(previous);
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_EQ(frmDPGrid->loadOutcome(), lv::GridLoadOutcome::Complete);
    EXPECT_EQ(frmDPGrid->model->rowCount(), 5000);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QProgressDialog*>(top), nullptr);
}

TEST_F(GridAdditionsTest, ACancelledSortLeavesTheRowsAsTheyWere) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    double now = 0;
    const lv::ProgressClock previous = lv::SetProgressClock([&] { return now += 1.0; });
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(top)) progress->cancel();
    });
    w.additions->Sort(0, true);
    lv::SetProgressClock(previous);
    EXPECT_TRUE(w.model->grid().order().identity());
    EXPECT_EQ(Text(w, 0, 1), "ab  ");
}

}  // namespace

// The README's table of the grid's context menus names every item of them.
TEST_F(GridAdditionsTest, TheReadmeNamesEveryItemOfTheContextMenus) {
    TfrmDPGrid& w = Open(gridtest::Coded());
    QFile readme(QStringLiteral(LORIVANE_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    QString cellRows, headerRows;
    for (const QString& line : QString::fromUtf8(readme.readAll()).split('\n')) {
        if (line.contains("right-click a cell")) cellRows += line;
        if (line.contains("right-click a header") || line.contains("or a header"))
            headerRows += line;
    }
    for (const auto& [menu, rows] : {std::pair{w.additions->CellMenu(), cellRows},
                                     std::pair{w.additions->HeaderMenu(0), headerRows}}) {
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            EXPECT_TRUE(rows.contains(action->text())) << action->text().toStdString();
        }
    }
}
