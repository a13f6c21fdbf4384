// Smaller things of the grid window and its dialogs: a find that showed its
// progress selects what it found, the find bar keeps still and forgets a
// count when an option changes, copy and select all from a button, the
// header menu fits a column, go to a wide column, go to's completion, and
// the value-label window's heading tall enough for accents.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "forms/grid/find_bar.h"
#include "forms/grid/go_to_dialog.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/seam/progress_dialog.h"
#include "forms/windows/ValueLabel.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class GridRoughEdgesTest : public testsupport::WindowTest {
  protected:
    TfrmDPGrid& Open(const fixture::File& f) { return OpenGrid(f); }
    // Columns A and B of numbers, NAME a string; rows of "x" but one "ab".
    static fixture::File Plain(int rows) {
        fixture::File f = gridtest::Basic();
        f.variables = {gridtest::Numeric("A", 3, 0), gridtest::Numeric("B", 3, 0),
                       gridtest::String("NAME", 8)};
        for (int i = 0; i < rows; ++i)
            f.cases.push_back({double(i), double(i), std::string(i == rows - 2 ? "ab" : "x")});
        return f;
    }
};

}  // namespace

TEST_F(GridRoughEdgesTest, AFindThatShowedItsProgressSelectsTheCellItFound) {
    TfrmDPGrid& w = Open(Plain(400));
    w.additions->OpenFind();
    w.additions->findBar->text->setText("ab");
    double now = 0;
    const lv::ProgressClock previous = lv::SetProgressClock([&] { return now += 1.0; });
    w.additions->Find(false);
    lv::SetProgressClock(previous);
    QApplication::processEvents();
    const QModelIndex found = w.model->index(398, 2);
    EXPECT_EQ(w.StringGrid1->currentIndex(), found);
    EXPECT_TRUE(w.StringGrid1->selectionModel()->isSelected(found));
    EXPECT_EQ(w.StringGrid1->selectionModel()->selectedIndexes().size(), 1);
}

TEST_F(GridRoughEdgesTest, TheFindBarKeepsStillShowsTheWholeNoticeAndForgetsOldCounts) {
    TfrmDPGrid& w = Open(Plain(4));
    FindBar* bar = w.additions->findBar;
    w.additions->OpenFind();
    const int boxLeft = bar->columnOnly->x();
    bar->text->setText("ab");
    w.additions->Find(false);
    w.additions->Find(false);  // past the only one: the wrap notice
    QApplication::processEvents();
    EXPECT_EQ(bar->status->text(), "1 件　" + WrapText(false));
    EXPECT_EQ(bar->columnOnly->x(), boxLeft);
    EXPECT_GE(bar->status->width(), bar->status->sizeHint().width());
    bar->wholeCell->setChecked(true);
    EXPECT_EQ(bar->status->text(), "");
    EXPECT_EQ(MatchCountText(40'000'000), "40,000,000 件");
}

TEST_F(GridRoughEdgesTest, CopyAndSelectAllWorkWhileAButtonHasTheFocus) {
    TfrmDPGrid& w = Open(Plain(2));
    w.btnOK->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w.btnOK);
    QTest::keyClick(w.btnOK, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.StringGrid1->selectionModel()->selectedIndexes().size(), 6);
    QApplication::clipboard()->clear();
    QTest::keyClick(w.btnOK, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "0\t0\tab\n1\t1\tx\n");
}

TEST_F(GridRoughEdgesTest, TheHeaderMenuFitsAColumnAndCutLabelsEndInAnEllipsis) {
    fixture::File f = Plain(2);
    f.valueLabels = {{{0}, {{0, "Strongly disagree"}, {1, "Strongly agree"}}, {}}};
    TfrmDPGrid& w = Open(f);
    w.additions->ToggleLabels();
    EXPECT_EQ(w.StringGrid1->textElideMode(), Qt::ElideRight);
    const int before = w.StringGrid1->columnWidth(0);
    w.additions->HeaderMenu(0);
    w.additions->fitColumn->trigger();
    EXPECT_GT(w.StringGrid1->columnWidth(0), before);
    EXPECT_GE(w.StringGrid1->columnWidth(0),
              w.StringGrid1->fontMetrics().horizontalAdvance("Strongly disagree"));
    w.additions->ToggleLabels();
    EXPECT_EQ(w.StringGrid1->textElideMode(), Qt::ElideNone);
}

TEST_F(GridRoughEdgesTest, GoToAWideColumnShowsItsLeftEdge) {
    fixture::File f = gridtest::Basic();
    for (int i = 0; i < 6; ++i)
        f.variables.push_back(gridtest::Numeric("N" + std::to_string(i), 3, 0));
    f.variables.push_back(gridtest::String("WIDE", 2000));
    f.variables.push_back(gridtest::Numeric("LAST", 3, 0));
    std::vector<fixture::Value> row(6, 1.0);
    row.push_back(std::string("start"));
    row.push_back(2.0);
    f.cases = {row};
    TfrmDPGrid& w = Open(f);
    ASSERT_GT(w.StringGrid1->columnWidth(6), w.StringGrid1->viewport()->width());
    w.StringGrid1->GoTo(w.model->index(0, 6), true);
    QApplication::processEvents();
    EXPECT_EQ(w.StringGrid1->columnViewportPosition(6), 0);
    // The cell's editor shows the value from its start, all of it selected.
    auto* editor = qobject_cast<QLineEdit*>(w.StringGrid1->indexWidget(w.model->index(0, 6)));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->cursorPosition(), 0);
    EXPECT_EQ(editor->selectedText(), editor->text());
}

TEST_F(GridRoughEdgesTest, GoToCompletesANameOnceWhenItsLongNameDiffersOnlyInCase) {
    lv::VariableFacts age, income;
    age.name = "AGE";
    age.longName = "Age";
    income.name = "INCOME";
    income.longName = "HouseholdIncome";
    GoToDialog dialog(nullptr, {age, income}, 10);
    QStringList offered;
    const QAbstractItemModel* choices = dialog.variable->completer()->model();
    for (int i = 0; i < choices->rowCount(); ++i) offered << choices->index(i, 0).data().toString();
    EXPECT_EQ(offered, QStringList({"AGE", "INCOME", "HouseholdIncome"}));
}

TEST_F(GridRoughEdgesTest, TheValueLabelHeadingHoldsTheFontsWholeHeight) {
    TfrmValue window;
    const QFontMetrics metrics(window.varname->font());
    EXPECT_GE(window.varname->height(), metrics.ascent() + metrics.descent());
    EXPECT_GE(window.Label1->height(), metrics.ascent() + metrics.descent());
    EXPECT_LE(window.varname->geometry().bottom(), 56);
}

TEST_F(GridRoughEdgesTest, DataShownAgainAfterTheFileChangedReadsItAgain) {
    fixture::File f = Plain(3);
    const std::string path = Write(f, "changing.sav");
    dialogs.openAnswers = {path};
    new TForm1();
    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    const auto text = [] {
        return frmDPGrid->model->data(frmDPGrid->model->index(0, 0), Qt::DisplayRole).toString();
    };
    const QString before = text();
    EXPECT_EQ(before.trimmed(), "0");

    for (fixture::Case& c : f.cases) c[0] = 7.0;
    fixture::WriteFile(f, path + ".new");
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_FALSE(frmDPGrid->model->grid().lost());
    // The new values, in columns as wide as a first load makes them.
    EXPECT_EQ(text(), QString(before).replace('0', '7'));
    QApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.empty());
}
