// The grid's filter with the rest of the window: find counts and walks the
// cases shown, a sort orders every case and the header shows it, the bars
// keep the keyboard after Enter, a bad condition keeps the count beside
// its error, and the export says what each choice writes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

// SEX, AGE and NAME of six cases; SEX = 2 holds cases 2, 3 and 5.
fixture::File People() {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("SEX", 1, 0), gridtest::Numeric("AGE", 3, 0),
                   gridtest::String("NAME", 4)};
    f.cases = {{1.0, 20.0, std::string("ann")}, {2.0, 50.0, std::string("bob")},
               {2.0, 30.0, std::string("cat")}, {1.0, 40.0, std::string("dan")},
               {2.0, 10.0, std::string("eve")}, {1.0, 60.0, std::string("fay")}};
    return f;
}

class GridFilterTest : public testsupport::WindowTest {
  protected:
    // The case numbers of the rows, top to bottom.
    static QString Cases(TfrmDPGrid& w) {
        QStringList numbers;
        for (int r = 0; r < w.model->rowCount(); ++r)
            numbers << w.model->headerData(r, Qt::Vertical, Qt::DisplayRole).toString().trimmed();
        return numbers.join(' ');
    }
    static void Type(QWidget* into, const QString& text) {
        QTest::keyClicks(into, text);
        QTest::keyClick(into, Qt::Key_Return);
    }
};

}  // namespace

TEST_F(GridFilterTest, FindCountsTheCasesShownAndASortOrdersEveryCase) {
    TfrmDPGrid& w = OpenGrid(People());
    FilterBar* filter = w.additions->filterBar;
    FindBar* find = w.additions->findBar;
    w.additions->filter->trigger();
    Type(filter->text, "SEX = 2");
    EXPECT_EQ(Cases(w), "2 3 5");
    // "e" is in case 5 alone among those shown (none of cases 1-3 has it).
    w.additions->find->trigger();
    Type(find->text, "e");
    EXPECT_EQ(find->status->text(), "1 件");
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(2, 2));

    // Sorted under the filter: the header shows it, the count goes.
    QHeaderView* header = w.StringGrid1->horizontalHeader();
    EXPECT_FALSE(header->isSortIndicatorShown());
    w.additions->HeaderMenu(1);
    w.additions->sortAscending->trigger();
    EXPECT_EQ(Cases(w), "5 3 2");
    EXPECT_TRUE(find->status->text().isEmpty());
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    find->next->click();
    EXPECT_EQ(find->status->text(), "1 件　" + WrapText(false));
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 2));

    // Every case again, in the sort's order.
    filter->clear->click();
    EXPECT_EQ(Cases(w), "5 1 3 4 2 6");
    EXPECT_TRUE(header->isSortIndicatorShown());
    find->text->setText("a");
    find->next->click();
    EXPECT_EQ(find->status->text(), "4 件");
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(1, 2));
    w.additions->HeaderMenu(1);
    w.additions->originalOrder->trigger();
    EXPECT_EQ(Cases(w), "1 2 3 4 5 6");
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(GridFilterTest, EnterKeepsTheKeyboardInTheBarsAndNoKeyReachesACell) {
    TfrmDPGrid& w = OpenGrid(People());
    ASSERT_TRUE(w.model->editing());
    FilterBar* filter = w.additions->filterBar;
    w.additions->filter->trigger();
    Type(filter->text, "SEX = 2");
    EXPECT_EQ(QApplication::focusWidget(), filter->text);
    QTest::keyClicks(QApplication::focusWidget(), " AND AGE > 20");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Cases(w), "2 3");
    EXPECT_EQ(QApplication::focusWidget(), filter->text);

    FindBar* find = w.additions->findBar;
    w.additions->find->trigger();
    Type(find->text, "a");
    EXPECT_EQ(QApplication::focusWidget(), find->text);
    QTest::keyClicks(QApplication::focusWidget(), "t");
    EXPECT_EQ(find->text->text(), "at");
    EXPECT_FALSE(w.model->grid().hasEdits());

    // Escape leaves the bar for the grid.
    QTest::keyClick(find->text, Qt::Key_Escape);
    EXPECT_TRUE(w.StringGrid1->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(GridFilterTest, ABadConditionKeepsTheCountBesideItsErrorAndTheButtonsLookLikeButtons) {
    TfrmDPGrid& w = OpenGrid(People());
    FilterBar* filter = w.additions->filterBar;
    EXPECT_FALSE(filter->apply->autoRaise());
    EXPECT_FALSE(filter->clear->autoRaise());
    w.additions->ShowOnly("SEX = 2");
    EXPECT_EQ(filter->status->text(), "3 / 6 ケース");
    filter->text->setText("SEX >");
    filter->apply->click();
    EXPECT_EQ(Cases(w), "2 3 5");
    EXPECT_EQ(filter->status->text(), "3 / 6 ケース");
    EXPECT_TRUE(filter->error->text().startsWith("6 文字目: "));
    filter->text->setText("SEX = 1");
    filter->apply->click();
    EXPECT_EQ(filter->status->text(), "3 / 6 ケース");
    EXPECT_TRUE(filter->error->text().isEmpty());
}
