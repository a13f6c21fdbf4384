// The grid's rows placed by arithmetic and numbered on demand: the cells and
// numbers look as a QTableView with its own header draws them, a model of
// tens of millions of rows costs the view nothing per row, and the numbers
// at its top, middle and end are those of the rows beside them.
#include "forms/grid/row_numbers.h"

#include <gtest/gtest.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <string>

#include "forms/grid/grid_view.h"
#include "tests/forms/support_app.h"

using namespace lv;

namespace {

// rows x 6 cells named by their place; the numbers ask are remembered.
class ManyRows final : public QAbstractTableModel {
  public:
    explicit ManyRows(int rows) : rows_(rows) {}
    int rowCount(const QModelIndex& = QModelIndex()) const override { return rows_; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 6; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return QStringLiteral("%1:%2").arg(index.row()).arg(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Vertical)
            return QAbstractTableModel::headerData(section, orientation, role);
        lowest = std::min(lowest, section);
        highest = std::max(highest, section);
        return QStringLiteral("%1").arg(section + 1, 8);
    }
    mutable int lowest = INT_MAX;
    mutable int highest = -1;

  private:
    int rows_;
};

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    long kb = 0;
    while (status >> word)
        if (word == "VmRSS:" && status >> kb) break;
    return kb;
}

class RowNumbersTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::EnsureApplication(); }
    static void Show(QAbstractItemView* view) {
        view->resize(400, 300);
        view->show();
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(RowNumbersTest, CellsAndNumbersLookAsATableViewDrawsThem) {
    ManyRows model(40);
    QTableView table;
    table.verticalHeader()->setDefaultSectionSize(GridView::kRowHeight);
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setFixedWidth(68);
    table.verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table.verticalHeader()->setHighlightSections(false);
    table.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table.setModel(&model);
    GridView grid;
    grid.setModel(&model);
    for (QTableView* view : {&table, static_cast<QTableView*>(&grid)}) {
        view->horizontalHeader()->setDefaultSectionSize(68);
        view->setWordWrap(false);
        view->setTextElideMode(Qt::ElideNone);
        Show(view);
    }
    const auto same = [&](const char* where) {
        QApplication::processEvents();
        EXPECT_EQ(grid.verticalScrollBar()->maximum(), table.verticalScrollBar()->maximum());
        EXPECT_EQ(grid.viewport()->grab().toImage(), table.viewport()->grab().toImage()) << where;
        EXPECT_EQ(grid.verticalHeader()->grab().toImage(), table.verticalHeader()->grab().toImage())
            << where;
    };
    same("top");
    table.selectionModel()->select(QItemSelection(model.index(2, 1), model.index(4, 3)),
                                   QItemSelectionModel::Select);
    grid.selectionModel()->select(QItemSelection(model.index(2, 1), model.index(4, 3)),
                                  QItemSelectionModel::Select);
    table.verticalScrollBar()->setValue(3);
    grid.verticalScrollBar()->setValue(3);
    same("scrolled, with a selection");
    table.verticalScrollBar()->setValue(table.verticalScrollBar()->maximum());
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    same("end");
}

TEST_F(RowNumbersTest, FiftyMillionRowsCostNothingPerRowAndNumberTopMiddleAndEnd) {
    constexpr int kRows = 50'000'000;
    const long before = ResidentKb();
    ManyRows model(kRows);
    GridView grid;
    grid.setModel(&model);
    Show(&grid);
    // QHeaderView's items alone would be 400 MB.
    EXPECT_LT(ResidentKb() - before, 40'000);
    QHeaderView* numbers = grid.verticalHeader();
    for (const int top : {0, kRows / 2, kRows - 1}) {
        model.lowest = INT_MAX;
        model.highest = -1;
        grid.scrollTo(model.index(top, 2), QAbstractItemView::PositionAtTop);
        numbers->grab();
        const int first = grid.RowAtY(0);
        const int last = grid.RowAtY(grid.viewport()->height() - 1);
        EXPECT_EQ(model.lowest, first) << top;
        EXPECT_EQ(model.highest, last < 0 ? kRows - 1 : last) << top;
        // The row at a cell is the row whose number stands beside it.
        const QModelIndex cell = grid.indexAt(QPoint(5, grid.RowY(first + 1) + 3));
        EXPECT_EQ(cell.row(), first + 1);
        EXPECT_EQ(grid.visualRect(cell).top(), grid.RowY(first + 1));
        EXPECT_EQ(static_cast<RowNumbers*>(numbers)->RowAtY(grid.RowY(first + 1) + 3), first + 1);
    }
    EXPECT_EQ(grid.verticalScrollBar()->maximum(),
              kRows - grid.viewport()->height() / GridView::kRowHeight);

    // A click on a number selects its row, a drag moves it, in the middle too.
    grid.scrollTo(model.index(kRows / 2, 0), QAbstractItemView::PositionAtTop);
    const int row = kRows / 2 + 2;
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {}, QPoint(10, grid.RowY(row) + 5));
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(row, {}));
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 6);
    int from = -1, to = -1;
    QObject::connect(static_cast<RowNumbers*>(numbers), &RowNumbers::rowMoved,
                     [&](int f, int t) { from = f, to = t; });
    QTest::mousePress(numbers->viewport(), Qt::LeftButton, {}, QPoint(10, grid.RowY(row) + 12));
    QTest::mouseMove(numbers->viewport(), QPoint(10, grid.RowY(row + 2) + 4));
    QTest::mouseMove(numbers->viewport(), QPoint(10, grid.RowY(row + 3) + 20));
    QTest::mouseRelease(numbers->viewport(), Qt::LeftButton, {},
                        QPoint(10, grid.RowY(row + 3) + 20));
    EXPECT_EQ(from, row);
    EXPECT_EQ(to, row + 3);
    // Ctrl+End reaches the last row and shows it.
    grid.setCurrentIndex(model.index(0, 0));
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.currentIndex(), model.index(kRows - 1, 5));
    EXPECT_GE(grid.visualRect(grid.currentIndex()).top(), 0);
    EXPECT_LE(grid.visualRect(grid.currentIndex()).bottom(), grid.viewport()->height());
}

// A number held past the bottom edge scrolls the rows up toward it, faster
// the farther it is, and dropped back in view lands on the row then there.
TEST_F(RowNumbersTest, DragHeldBelowTheViewScrollsItAndDropsOnTheRowScrolledTo) {
    ManyRows model(1000);
    GridView grid;
    grid.setModel(&model);
    Show(&grid);
    auto* numbers = static_cast<RowNumbers*>(grid.verticalHeader());
    int from = -1, to = -1;
    QObject::connect(numbers, &RowNumbers::rowMoved, [&](int f, int t) { from = f, to = t; });
    QScrollBar* bar = grid.verticalScrollBar();
    const int height = numbers->viewport()->height();
    QTest::mousePress(numbers->viewport(), Qt::LeftButton, {}, QPoint(10, grid.RowY(1) + 5));
    QTest::mouseMove(numbers->viewport(), QPoint(10, height / 2));
    QTest::mouseMove(numbers->viewport(), QPoint(10, height + 5));
    for (int i = 0; i < 40 && bar->value() < 3; ++i) QTest::qWait(20);
    const int near = bar->value();
    EXPECT_GE(near, 3);
    // Farther below, more rows a tick.
    QTest::mouseMove(numbers->viewport(), QPoint(10, height + 10 * GridView::kRowHeight));
    const int before = bar->value();
    QTest::qWait(160);
    EXPECT_GE(bar->value() - before, 2 * near);
    const int scrolled = bar->value();
    QTest::mouseMove(numbers->viewport(), QPoint(10, height / 2));
    QTest::qWait(120);
    EXPECT_EQ(bar->value(), scrolled);  // back in view: the rows stay
    const int row = grid.RowAtY(height / 2);
    EXPECT_GT(row, 20);
    QTest::mouseMove(numbers->viewport(), QPoint(10, grid.RowY(row) + 20));
    QTest::mouseRelease(numbers->viewport(), Qt::LeftButton, {}, QPoint(10, grid.RowY(row) + 20));
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, row);
}
