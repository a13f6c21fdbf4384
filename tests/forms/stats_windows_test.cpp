// The statistics windows: the grid header's 度数分布… opens the table, its
// statistics and a chart, and a double-click on a row goes to that value's
// first case; 変数の概要 sorts and copies; the crosstab counts on request; a
// crosstab cell leads to its cases or filters the grid to them, and windows
// opened then count the cases shown only; the crosstab's tests table and
// the means window copy with their headings.
#include "forms/stats/stats_windows.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QtTest>
#include <fstream>
#include <iterator>

#include "core/windows/summary.h"
#include "core/windows/variable_list.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

fixture::File Coded() {
    fixture::File f;
    f.variables = {fixture::Numeric("CODE", {5, 4, 0}), fixture::String("NAME", 4),
                   fixture::Numeric("AMOUNT", {5, 8, 2})};
    f.variables[0].label = "区分";
    f.valueLabels = {{{0}, {{1, "はい"}, {2, "いいえ"}}, {}}};
    f.displayParameters = true;
    for (int i = 0; i < 40; ++i)
        f.cases.push_back({double(1 + i % 3), std::string(i % 2 ? "ab" : "cd"), i * 1.5});
    return f;
}

class StatsWindowsTest : public testsupport::WindowTest {
  protected:
    void Open() { OpenGrid(Coded(), "s.sav"); }
};

// The context menu of a table's first cell as its item texts, after its
// コピー was chosen.
QStringList CopyFromMenu(QTableWidget* table) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions()) {
            texts << a->text();
            if (a->text() == "コピー") a->trigger();
        }
        menu->close();
    });
    emit table->customContextMenuRequested(table->visualItemRect(table->item(0, 0)).center());
    return texts;
}

// The clipboard's first line.
QString FirstCopiedLine() {
    return QApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0);
}

TEST_F(StatsWindowsTest, HeaderMenuOpensTheFrequencyWindow) {
    Open();
    QMenu* menu = frmDPGrid->additions->HeaderMenu(0);
    QAction* frequencies = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == "度数分布...") frequencies = a;
    ASSERT_NE(frequencies, nullptr);
    frequencies->trigger();
    lv::FrequencyWindow* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<lv::FrequencyWindow*>(top)) w = f;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "度数分布 - CODE");
    ASSERT_EQ(w->table->rowCount(), 4);  // 1 2 3 and the total
    EXPECT_EQ(w->table->item(0, 1)->text(), "はい");
    EXPECT_EQ(w->table->item(0, 2)->text(), "14");
    EXPECT_EQ(w->table->item(3, 0)->text(), "合計");
    ASSERT_NE(w->chart, nullptr);
    EXPECT_EQ(w->chart->chart()->title(), "CODE  区分");
    EXPECT_EQ(w->chart->chart()->axes(Qt::Horizontal).front()->titleText(), "CODE");
    EXPECT_EQ(w->chart->chart()->axes(Qt::Vertical).front()->titleText(), "度数");
    EXPECT_EQ(w->statistics->item(4, 0)->text(), "標準偏差");
    // コピー in the menu copies with the headings.
    EXPECT_EQ(CopyFromMenu(w->table).join("|"),
              "この値のケースへ移動|この値のケースだけ表示||コピー");
    EXPECT_EQ(FirstCopiedLine(),
              "値\t値ラベル\t度数\tパーセント\t有効パーセント\t累積パーセント\t");

    // Value 3 first stands in case 3 (display row 2).
    frmDPGrid->additions->Sort(0, true);
    w->GoToCases(2);
    EXPECT_EQ(frmDPGrid->StringGrid1->currentIndex().column(), 0);
    EXPECT_EQ(
        frmDPGrid->model->grid().FileRow(uint32_t(frmDPGrid->StringGrid1->currentIndex().row())) %
            3,
        2u);
    delete w;
}

TEST_F(StatsWindowsTest, DescribeSortsAndCrosstabCounts) {
    Open();
    auto* d = static_cast<lv::DescribeWindow*>(lv::OpenDescribeWindow());
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->table->rowCount(), 3);
    d->table->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(d->table->item(0, 0)->text(), "AMOUNT");
    EXPECT_EQ(d->table->item(0, 6)->text(), "40");
    // Type and measure in the words people read.
    EXPECT_EQ(d->table->item(0, 2)->text(), "数値");
    EXPECT_EQ(d->table->item(0, 3)->text(), "スケール");
    EXPECT_EQ(d->table->item(2, 2)->text(), "文字列 (幅 4)");
    QApplication::clipboard()->setText(d->SelectedText());
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("変数名\tラベル"));
    delete d;

    auto* c = static_cast<lv::CrosstabWindow*>(lv::OpenCrosstabWindow(0));
    ASSERT_NE(c, nullptr);
    c->rowPercent->setChecked(true);
    ASSERT_TRUE(c->Count());
    EXPECT_EQ(c->table->rowCount(), 8);  // 3 rows and the total, count and row %
    EXPECT_EQ(c->table->item(0, 2)->text(), "7");
    CopyFromMenu(c->table);
    EXPECT_TRUE(FirstCopiedLine().endsWith("\t\tab\tcd\t合計")) << FirstCopiedLine().toStdString();
    delete c;
}

// The codebook from the menus: the file named, of the filtered cases only;
// a cancelled name writes nothing.
TEST_F(StatsWindowsTest, CodebookIsWrittenOfTheShownCases) {
    Open();
    lv::frmDPGrid->model->Select("CODE = 1", nullptr);
    ASSERT_EQ(lv::frmDPGrid->model->condition(), "CODE = 1");
    const std::string out = Path("book.html");
    dialogs.saveAsAnswers = {lv::SaveChoice{out, 0}};
    ASSERT_TRUE(lv::WriteCodebookFile({}));
    std::ifstream in(out);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("CODE = 1"), std::string::npos);
    EXPECT_NE(page.find("AMOUNT"), std::string::npos);
    dialogs.saveAsAnswers = {std::nullopt};
    EXPECT_FALSE(lv::WriteCodebookFile({}));
}

// A plain click selects one line of the variable list, Ctrl-clicks add
// lines; the list menu's codebook is then of the lines selected, as PDF
// when that type is chosen.
TEST_F(StatsWindowsTest, VariableListCodebookOfTheSelectedLinesAsPdf) {
    Open();
    if (!frmVariable) frmVariable = new TfrmVariable();
    frmVariable->show();
    QListWidget* list = frmVariable->ListBox1;
    auto click = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    };
    click(0, Qt::NoModifier);
    click(2, Qt::NoModifier);
    EXPECT_EQ(frmVariable->SelectedVariables(), std::vector<int>{2});
    click(0, Qt::ControlModifier);
    EXPECT_EQ(frmVariable->SelectedVariables(), (std::vector<int>{0, 2}));
    QMenu* menu = frmVariable->ContextMenu();
    emit menu->aboutToShow();
    QAction* codebook = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith(QStringLiteral("コードブックを書き出す"))) codebook = a;
    ASSERT_NE(codebook, nullptr);
    EXPECT_EQ(codebook->text(), QStringLiteral("コードブックを書き出す (選択した 2 変数)..."));
    const std::string out = Path("book");
    dialogs.saveAsAnswers = {lv::SaveChoice{out, 1}};  // PDF 文書, even without .pdf
    codebook->trigger();
    std::ifstream in(out);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    // The bookmarks of CODE and AMOUNT, not NAME (their titles in UTF-16).
    EXPECT_NE(pdf.find("/Count 2 /First"), std::string::npos);
    EXPECT_EQ(pdf.find("/Count 3 /First"), std::string::npos);
}

TEST_F(StatsWindowsTest, CrosstabTestsAndMeansCopyWithHeadings) {
    Open();
    auto* c = static_cast<lv::CrosstabWindow*>(lv::OpenCrosstabWindow(0));
    ASSERT_NE(c, nullptr);
    c->columns->setCurrentIndex(2);  // CODE by AMOUNT
    c->layer->setCurrentIndex(2);    // by NAME: a table for "ab" and one for "cd"
    ASSERT_TRUE(c->Count());
    ASSERT_EQ(c->layerValue->count(), 2);
    c->layerValue->setCurrentIndex(1);
    EXPECT_EQ(c->table->item(0, 0)->text(), "1 はい");
    ASSERT_EQ(c->tests->rowCount(), 5);  // three tests, phi and V; no 2 x 2
    c->tests->actions().at(0)->trigger();
    const QStringList copied = QApplication::clipboard()->text().split('\n');
    EXPECT_EQ(copied[0], "検定\t値\t自由度\t有意確率");
    EXPECT_TRUE(copied[1].startsWith("Pearson")) << copied[1].toStdString();
    EXPECT_TRUE(c->testsNote->text().contains("期待度数が 5 未満"))
        << c->testsNote->text().toStdString();
    delete c;

    auto* m = static_cast<lv::MeansWindow*>(lv::OpenMeansWindow(2));  // AMOUNT by CODE
    ASSERT_NE(m, nullptr);
    m->group1->setCurrentIndex(0);
    ASSERT_TRUE(m->Count());
    ASSERT_EQ(m->table->rowCount(), 4);  // 1, 2, 3 and the total
    // CODE 1: cases 0, 3, ..., 39, amounts 0, 4.5, ..., 58.5, mean 29.25.
    EXPECT_EQ(m->table->item(0, 1)->text(), "29.2500");
    EXPECT_EQ(m->table->item(3, 0)->text(), "合計");
    m->table->actions().at(0)->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("CODE\t平均値\t度数"))
        << QApplication::clipboard()->text().toStdString();
    // The median and the higher moments are there, hidden until chosen.
    const int median = 9;
    ASSERT_EQ(m->table->horizontalHeaderItem(median)->text(), "中央値");
    EXPECT_TRUE(m->table->isColumnHidden(median));
    EXPECT_EQ(m->table->item(0, median)->text(), "29.2500");
    EXPECT_TRUE(m->note->isHidden());
    delete m;
}

// The first column's texts of a table.
QStringList FirstColumn(QTableWidget* table) {
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r) texts << table->item(r, 0)->text();
    return texts;
}

TEST_F(StatsWindowsTest, ChosenStatisticsPercentilesAndColumnsAreRemembered) {
    Open();
    auto* w = static_cast<lv::FrequencyWindow*>(lv::OpenFrequencyWindow(2));  // AMOUNT
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(FirstColumn(w->statistics).contains("歪度"));
    for (QAction* a : w->chooseStatistics->menu()->actions())
        if (a->text() == "歪度") a->setChecked(true);
    EXPECT_TRUE(FirstColumn(w->statistics).contains("歪度"));
    w->percentiles->setText("5,95");
    emit w->percentiles->editingFinished();
    // 0, 1.5, ..., 58.5: rank 38.95 lies 0.95 past 55.5.
    const int p95 = int(FirstColumn(w->statistics).indexOf("パーセンタイル 95"));
    ASSERT_GE(p95, 0);
    EXPECT_EQ(w->statistics->item(p95, 1)->text(), "56.9250");
    delete w;
    w = static_cast<lv::FrequencyWindow*>(lv::OpenFrequencyWindow(2));
    EXPECT_EQ(w->percentiles->text(), "5,95");
    EXPECT_TRUE(FirstColumn(w->statistics).contains("歪度"));
    EXPECT_TRUE(FirstColumn(w->statistics).contains("パーセンタイル 5"));
    delete w;

    // 分散 shows once chosen in the header's menu, and is copied then.
    auto* d = static_cast<lv::DescribeWindow*>(lv::OpenDescribeWindow());
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->SelectedText().contains("分散"));
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions())
            if (a->text() == "分散") a->trigger();
        menu->close();
    });
    emit d->table->horizontalHeader()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_TRUE(d->SelectedText().section('\n', 0, 0).endsWith("最頻値\t分散"));
    delete d;
    d = static_cast<lv::DescribeWindow*>(lv::OpenDescribeWindow());
    EXPECT_TRUE(d->SelectedText().contains("分散"));
    delete d;
}

TEST_F(StatsWindowsTest, CellsLeadToTheirCasesAndWindowsFollowTheFilter) {
    Open();
    auto* c = static_cast<lv::CrosstabWindow*>(lv::OpenCrosstabWindow(0));
    ASSERT_NE(c, nullptr);
    c->rowPercent->setChecked(true);
    ASSERT_TRUE(c->Count());
    // CODE 2 by NAME "ab" (its row % line): cases 2, 8, 14, ...
    c->GoToCases(3, 2);
    const QModelIndex at = frmDPGrid->StringGrid1->currentIndex();
    EXPECT_EQ(frmDPGrid->model->grid().FileRow(uint32_t(at.row())), 1u);
    EXPECT_EQ(at.column(), 1);
    c->ShowOnlyCases(2, 2);
    EXPECT_EQ(frmDPGrid->model->condition(), "CODE = 2 AND NAME = 'ab'");
    EXPECT_EQ(frmDPGrid->model->grid().rowCount(), 7u);
    delete c;

    auto* w = static_cast<lv::FrequencyWindow*>(lv::OpenFrequencyWindow(0));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->table->rowCount(), 2);  // 2 and the total
    EXPECT_EQ(w->table->item(0, 2)->text(), "7");
    w->ShowOnlyCases(0);
    EXPECT_EQ(frmDPGrid->model->condition(), "CODE = 2");
    EXPECT_EQ(frmDPGrid->model->grid().rowCount(), 13u);
    delete w;
}

TEST_F(StatsWindowsTest, ACaseNotShownOrNoGridIsSaidAndChangesNothing) {
    Open();
    auto* w = static_cast<lv::FrequencyWindow*>(lv::OpenFrequencyWindow(0));
    ASSERT_NE(w, nullptr);
    {
        TfrmDPGrid other;  // a second grid, gone again: the first answers
    }
    w->ShowOnlyCases(0);
    EXPECT_EQ(frmDPGrid->model->condition(), "CODE = 1");
    const QModelIndex at = frmDPGrid->StringGrid1->currentIndex();
    w->GoToCases(1);  // CODE 2: filtered out
    EXPECT_EQ(dialogs.messages.back(), "その値のケースはグリッドにありません");
    EXPECT_EQ(frmDPGrid->StringGrid1->currentIndex(), at);
    // Once the grid is gone the window says how to get there.
    delete frmDPGrid;
    frmDPGrid = nullptr;
    dialogs.messages.clear();
    w->GoToCases(0);
    w->ShowOnlyCases(0);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>(2, "データグリッドを開くと、その値のケースに移動できます"));
    delete w;
}

}  // namespace
