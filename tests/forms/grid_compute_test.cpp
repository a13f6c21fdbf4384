// 変数を計算… in the grid window: a bad expression keeps the dialog open
// with its message and the cursor at its position, and the grid as it was;
// a good one adds a column after the file's, marked in its header, not
// editable, sorted by and filtered on like the others, counted by the
// frequency window, offered by the completion, saved into a .sav only when
// ticked, and taken away from its header's menu.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "forms/grid/compute_dialog.h"
#include "forms/grid/filter_bar.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/name_completer.h"
#include "forms/grid/sav_save_dialog.h"
#include "forms/seam/modal.h"
#include "forms/stats/stats_windows.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

class GridComputeTest : public testsupport::WindowTest {
  protected:
    // The dialog as the user fills it and presses OK; what it then shows.
    void Compute(TfrmDPGrid& w, const QString& name, const QString& expression) {
        const ModalShowFunction before = SetModalShowFunction([&](QDialog& d) {
            auto& dialog = static_cast<ComputeDialog&>(d);
            words = dialog.names->completer()->model();
            offered.clear();
            for (int r = 0; r < words->rowCount(); ++r)
                offered << words->index(r, 0).data().toString();
            dialog.name->setText(name);
            dialog.expression->setText(expression);
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            error = dialog.error->text();
            cursor = dialog.expression->cursorPosition();
            return dialog.result();
        });
        w.additions->computeVariable->trigger();
        SetModalShowFunction(before);
    }
    static QString Cases(TfrmDPGrid& w) {
        QStringList numbers;
        for (int r = 0; r < w.model->rowCount(); ++r)
            numbers << w.model->headerData(r, Qt::Vertical, Qt::DisplayRole).toString().trimmed();
        return numbers.join(' ');
    }

    const QAbstractItemModel* words = nullptr;
    QStringList offered;
    QString error;
    int cursor = -1;
};

TEST_F(GridComputeTest, AComputedColumnWorksAsTheOthersAndABadOneChangesNothing) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("SEX", 1, 0), gridtest::Numeric("AGE", 3, 0)};
    f.cases = {{1.0, 20.0}, {2.0, 50.0}, {2.0, 30.0}, {1.0, 40.0}, {2.0, 10.0}, {1.0, 60.0}};
    TfrmDPGrid& w = OpenGrid(f);
    const int columns = w.model->columnCount();

    Compute(w, "older", "AGE +* 10");
    EXPECT_EQ(w.model->columnCount(), columns);
    EXPECT_EQ(w.model->grid().columnCount(), columns);
    EXPECT_TRUE(error.startsWith(QStringLiteral("6 文字目"))) << error.toStdString();
    EXPECT_EQ(cursor, 5);  // before the star
    EXPECT_TRUE(offered.contains("AGE"));
    EXPECT_TRUE(offered.contains("LAG("));

    Compute(w, "older", "AGE + 10");
    ASSERT_EQ(w.model->columnCount(), columns + 1);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(w.model->headerData(columns, Qt::Horizontal, Qt::DisplayRole).toString(), "older");
    EXPECT_TRUE(w.model->headerData(columns, Qt::Horizontal, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(w.model->headerData(0, Qt::Horizontal, Qt::ForegroundRole).isValid());
    const QString tip = w.model->headerData(columns, Qt::Horizontal, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("計算した変数")));
    EXPECT_TRUE(tip.contains(QStringLiteral("式: AGE + 10")));
    EXPECT_EQ(w.model->index(1, columns).data().toString().trimmed(), "60.00");
    EXPECT_FALSE(w.model->flags(w.model->index(1, columns)) & Qt::ItemIsEditable);

    // The next dialog offers it; a name taken is refused.
    Compute(w, "older", "1");
    EXPECT_TRUE(offered.contains("older"));
    EXPECT_EQ(w.model->columnCount(), columns + 1);
    EXPECT_FALSE(error.isEmpty());

    // Sorted by, filtered on, counted.
    w.additions->HeaderMenu(columns);
    w.additions->sortDescending->trigger();
    EXPECT_EQ(Cases(w), "6 2 4 3 1 5");
    w.additions->ShowOnly(QStringLiteral("older > 45"));
    EXPECT_EQ(Cases(w), "6 2 4");
    QWidget* counted = OpenFrequencyWindow(columns);
    ASSERT_NE(counted, nullptr);
    delete counted;

    // Saved as a .sav only when asked for.
    for (const bool ticked : {false, true}) {
        const std::string out = Path(ticked ? "with.sav" : "without.sav");
        dialogs.saveAsAnswers.push_back(SaveChoice{out, 0});
        onModal = [ticked](QDialog& d) {
            auto& s = static_cast<SavSaveDialog&>(d);
            EXPECT_TRUE(s.writeComputed->isVisibleTo(&s));
            s.writeComputed->setChecked(ticked);
        };
        w.additions->SaveAsSav();
        FileDictionary saved;
        ASSERT_EQ(ReadFileDictionary(out, &saved), 0);
        ASSERT_EQ(saved.variables.size(), size_t(ticked ? 3 : 2));
        EXPECT_EQ(saved.variables.back().longName, ticked ? "older" : "AGE");
    }
    onModal = nullptr;

    // Taken away from its header's menu.
    w.additions->HeaderMenu(0);
    EXPECT_FALSE(w.additions->removeComputed->isEnabled());
    w.additions->HeaderMenu(columns);
    ASSERT_TRUE(w.additions->removeComputed->isEnabled());
    w.additions->removeComputed->trigger();
    EXPECT_EQ(w.model->columnCount(), columns);
}

}  // namespace
