// Moving through the grid with the value labels opened on demand: with
// セル移動で値ラベルを開く off, moves announce nothing, a double click or Enter
// does, and the mouse selects by dragging, shift-clicking and the headers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTest>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class GridMovesTest : public testsupport::WindowTest {
  protected:
    TfrmDPGrid& Open() {
        fixture::File f = gridtest::Basic();
        f.variables = {gridtest::Numeric("A", 3, 0), gridtest::Numeric("B", 3, 0),
                       gridtest::Numeric("C", 3, 0)};
        f.cases = {{1.0, 2.0, 3.0}, {4.0, 5.0, 6.0}, {7.0, 8.0, 9.0}};
        OpenGrid(f);
        QObject::connect(frmDPGrid->StringGrid1, &GridView::cellNotified, frmDPGrid,
                         [this] { ++announced; });
        return *frmDPGrid;
    }
    static QPoint Centre(GridView* view, int row, int column) {
        return view->visualRect(view->model()->index(row, column)).center();
    }
    static void Send(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons held,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, to->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(to, &event);
    }
    static int SelectedCells(GridView* view) {
        return static_cast<int>(view->selectionModel()->selectedIndexes().size());
    }
    int announced = 0;
};

}  // namespace

TEST_F(GridMovesTest, WithMoveLabelsOffOnlyADoubleClickOrEnterOpensThem) {
    TfrmDPGrid& w = Open();
    GridView* view = w.StringGrid1;
    EXPECT_TRUE(w.additions->labelsOnMove->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(announced, 1);  // as the grid is made: every move

    w.additions->labelsOnMove->trigger();
    EXPECT_FALSE(view->announcesMoves());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Centre(view, 0, 1));
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(view->currentIndex(), w.model->index(0, 1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(announced, 2);
    // The second click of a double click lands on the editor the first opened.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Centre(view, 2, 2));
    EXPECT_EQ(announced, 2);
    QWidget* editor = view->indexWidget(w.model->index(2, 2));
    ASSERT_NE(editor, nullptr);
    QTest::mouseDClick(editor, Qt::LeftButton);
    EXPECT_EQ(announced, 3);
    EXPECT_EQ(view->currentIndex(), w.model->index(2, 2));

    // A drag selects the rectangle it covers; a shift-click extends it.
    Send(view->viewport(), QEvent::MouseButtonPress, Centre(view, 0, 0), Qt::LeftButton);
    Send(view->viewport(), QEvent::MouseMove, Centre(view, 1, 1), Qt::LeftButton);
    Send(view->viewport(), QEvent::MouseMove, Centre(view, 2, 1), Qt::LeftButton);
    Send(view->viewport(), QEvent::MouseButtonRelease, Centre(view, 2, 1), Qt::NoButton);
    EXPECT_EQ(SelectedCells(view), 6);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Centre(view, 0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, Centre(view, 1, 2));
    EXPECT_EQ(SelectedCells(view), 6);
    EXPECT_EQ(announced, 3);

    // The choice holds for grids opened later in the run, until turned on.
    delete frmDPGrid;
    frmDPGrid = nullptr;
    TfrmDPGrid& again = Open();
    EXPECT_FALSE(again.additions->labelsOnMove->isChecked());
    EXPECT_FALSE(again.StringGrid1->announcesMoves());
    again.additions->labelsOnMove->trigger();
    EXPECT_TRUE(again.StringGrid1->announcesMoves());
}

TEST_F(GridMovesTest, AHeaderClickSelectsItsColumnOrRowWithoutAnnouncing) {
    TfrmDPGrid& w = Open();
    GridView* view = w.StringGrid1;
    QHeaderView* columns = view->horizontalHeader();
    QHeaderView* rows = view->verticalHeader();
    QTest::mouseClick(columns->viewport(), Qt::LeftButton, {},
                      QPoint(columns->sectionViewportPosition(1) + 5, columns->height() / 2));
    EXPECT_TRUE(view->selectionModel()->isColumnSelected(1));
    EXPECT_EQ(SelectedCells(view), 3);
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      QPoint(rows->width() / 2, view->RowY(2) + 5));
    EXPECT_TRUE(view->selectionModel()->isRowSelected(2));
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(view->currentIndex(), w.model->index(0, 0));
    // The columns and rows stay where they were.
    EXPECT_EQ(columns->logicalIndex(1), 1);
    EXPECT_EQ(w.model->headerData(2, Qt::Vertical, Qt::DisplayRole).toString().trimmed(), "3");
}
