#include "forms/windows/DPGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/seam/modal.h"
#include "forms/seam/progress_dialog.h"
#include "forms/windows/ValueLabel.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"
#include "tests/core/grid/grid_support.h"

using namespace lv;

namespace {

// A press and release of the left button at pos of widget.
void Click(QWidget* widget, QPoint pos) {
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void Key(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

QApplication* App() {
    static int argc = 1;
    static char name[] = "lorivane";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    return app;
}

class DPGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        dir_ = fixture::TempDir();
        previousModal_ = lv::SetModalShowFunction([this](QDialog&) {
            opened.push_back({spssdio1::CurrentVarName, spssdio1::SelectedVarIndex});
            return 1;
        });
    }
    void TearDown() override { lv::SetModalShowFunction(previousModal_); }

    std::string Prepare(const fixture::File& f) {
        const std::string path = fixture::WriteFile(f, dir_ + "/g.sav");
        gridtest::PrepareState(path);
        return path;
    }
    static std::string Cell(TfrmDPGrid& w, int row, int col) {
        std::string out;
        w.model->AppendCellBytes(out, row, col);
        return out;
    }
    static std::string Header(TfrmDPGrid& w, int section, Qt::Orientation o) {
        return w.model->headerData(section, o, Qt::DisplayRole).toString().toStdString();
    }

    std::string dir_;
    gridtest::ScriptedDialogs dialogs;
    std::vector<std::pair<std::string, int>> opened;  // value-label windows shown
    lv::ModalShowFunction previousModal_;
};

fixture::File ThreeVars(int cases) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("AGE", 5, 1), gridtest::String("CITY", 6),
                   gridtest::Date("BORN")};
    for (int i = 1; i <= cases; ++i)
        f.cases.push_back({i * 1.5, std::string("c") + std::to_string(i),
                           gridtest::SpssDate(2000, 1 + i % 12, 1 + i % 28)});
    return f;
}

// More cases than the window indexes before it shows (two numbers each).
fixture::File ManyCases(int cases) {
    fixture::File f = gridtest::Basic();
    f.compression = fixture::Compression::Bytecode;
    f.variables = {gridtest::Numeric("A", 8, 2), gridtest::Numeric("B", 8, 2)};
    for (int i = 0; i < cases; ++i) f.cases.push_back({i % 10000 + 0.25, double(i % 7)});
    return f;
}

// Counts the progress dialogs put on screen.
class DialogShows : public QObject {
  public:
    DialogShows() { qApp->installEventFilter(this); }
    ~DialogShows() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Each dialog once, however often it is shown.
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched) &&
            !watched->property("counted").isValid()) {
            watched->setProperty("counted", true);
            ++count;
        }
        return false;
    }
    int count = 0;
};

}  // namespace

// The window shows before its index is whole: a row past the index is
// read once the wait for it ends, and the indicator goes when it is done.
TEST_F(DPGridTest, ARowPastTheIndexIsReadOnceTheIndexReachesIt) {
    Prepare(ManyCases(60000));
    TfrmDPGrid w;
    EXPECT_EQ(w.model->rowCount(), 60000);
    EXPECT_EQ(Cell(w, 0, 0), "    0.25");
    ASSERT_TRUE(w.model->WaitForCases(59000, nullptr));
    EXPECT_EQ(Cell(w, 58999, 0), " 8999.25");
    ASSERT_TRUE(w.model->WaitForCases(-1, nullptr));
    EXPECT_EQ(w.model->indexing().state, lv::IndexProgress::State::Complete);
    EXPECT_EQ(Cell(w, 59999, 0), " 9999.25");
    EXPECT_TRUE(w.indexState->isHidden());
    EXPECT_TRUE(dialogs.messages.empty());
}

// Found by the index after the window showed, a damaged file is told once,
// as the load tells it; the rows before the damage stay readable.
TEST_F(DPGridTest, DamageFoundByTheIndexIsToldOnceAndEarlierRowsStay) {
    const std::string path = Prepare(ManyCases(60000));
    std::filesystem::resize_file(path, std::filesystem::file_size(path) * 6 / 10);
    TfrmDPGrid w;
    EXPECT_EQ(w.loadOutcome(), lv::GridLoadOutcome::Complete);
    EXPECT_TRUE(w.model->WaitForCases(-1, nullptr));
    EXPECT_TRUE(w.model->WaitForCases(-1, nullptr));
    QApplication::processEvents();
    EXPECT_EQ(w.model->indexing().state, lv::IndexProgress::State::Damaged);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"データ読み込み中にトラブル発生：再度挑戦してください"});
    EXPECT_EQ(Cell(w, 12345, 0), " 2345.25");
    EXPECT_EQ(Cell(w, 59999, 0), "");
}

// Closing the window stops its index; shown again, the index goes on.
TEST_F(DPGridTest, ClosingStopsTheIndexAndShowingTakesItUp) {
    Prepare(ManyCases(300000));
    TfrmDPGrid w;
    w.show();
    w.close();
    const lv::IndexProgress stopped = w.model->indexing();
    EXPECT_FALSE(stopped.running());
    w.show();
    ASSERT_TRUE(w.model->WaitForCases(-1, nullptr));
    EXPECT_EQ(w.model->indexing().state, lv::IndexProgress::State::Complete);
    EXPECT_EQ(Cell(w, 299999, 0), " 9999.25");
}

// A sort or a copy asked for before the index is whole waits for it and
// works under one dialog; Cancel during the wait leaves the grid as it was.
TEST_F(DPGridTest, WorkBeforeTheIndexIsWholeWaitsUnderOneDialog) {
    const std::string path = Prepare(ManyCases(2000000));
    std::set<QProgressDialog*> seen;
    QStringList labels;
    bool cancel = false;
    double now = 0;
    // Every look at the clock finds a second gone, so the dialog shows at
    // the first step; it notes the dialogs up and presses Cancel if told.
    const lv::ProgressClock previous = lv::SetProgressClock([&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(top);
            if (!dialog || !dialog->isVisible()) continue;
            seen.insert(dialog);
            if (labels.isEmpty() || labels.back() != dialog->labelText())
                labels << dialog->labelText();
            if (cancel) dialog->cancel();
        }
        return now += 1.0;
    });
    // Runs work on a window whose index stopped early, as the user would.
    const auto underOneDialog = [&](bool cancelled, const std::function<void(TfrmDPGrid&)>& work,
                                    const std::function<void(TfrmDPGrid&)>& check) {
        gridtest::PrepareState(path);
        TfrmDPGrid w;
        w.show();
        w.close();  // the index stops after its current step
        ASSERT_EQ(w.model->indexing().state, lv::IndexProgress::State::Stopped);
        w.show();
        seen.clear();
        labels.clear();
        const DialogShows shows;
        cancel = cancelled;
        work(w);
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_TRUE(labels.front().startsWith(QStringLiteral("索引を作成しています")));
        EXPECT_EQ(seen.size(), 1u);
        EXPECT_EQ(shows.count, 1);
        for (QWidget* top : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QProgressDialog*>(top) && top->isVisible());
        check(w);
    };
    const auto sort = [](TfrmDPGrid& w) {
        w.additions->HeaderMenu(0);
        w.additions->sortDescending->trigger();
    };
    underOneDialog(true, sort, [&](TfrmDPGrid& w) {
        EXPECT_TRUE(w.model->grid().order().identity());
        EXPECT_EQ(Cell(w, 0, 0), "    0.25");
    });
    underOneDialog(false, sort, [&](TfrmDPGrid& w) {
        EXPECT_TRUE(labels.contains(QStringLiteral("並べ替えています...")));
        EXPECT_EQ(w.model->indexing().state, lv::IndexProgress::State::Complete);
        EXPECT_EQ(Cell(w, 0, 0), " 9999.25");
        EXPECT_EQ(Cell(w, 199, 0), " 9999.25");
    });
    // The first column's last 400,000 rows: past the stopped index.
    const auto copy = [](TfrmDPGrid& w) {
        const QModelIndex from = w.model->index(1600000, 0), to = w.model->index(1999999, 0);
        w.StringGrid1->selectionModel()->select(QItemSelection(from, to),
                                                QItemSelectionModel::ClearAndSelect);
        QApplication::clipboard()->clear();
        w.additions->Copy(false);
    };
    underOneDialog(false, copy, [&](TfrmDPGrid&) {
        EXPECT_TRUE(labels.contains(QStringLiteral("コピーしています...")));
        EXPECT_TRUE(QApplication::clipboard()->text().endsWith(QStringLiteral("9999.25\n")))
            << QApplication::clipboard()->text().right(30).toStdString();
    });
    lv::SetProgressClock(previous);
}

// The columns are sized before the view lays itself out: once shown, its
// header and scroll range hold every column at its width.
TEST_F(DPGridTest, ManyColumnsOfDifferentWidthsAreLaidOutWhenShown) {
    fixture::File f = gridtest::Basic();
    f.variables.clear();
    fixture::Case row;
    for (int i = 0; i < 300; ++i) {
        f.variables.push_back(
            gridtest::Numeric(std::string("V").append(std::to_string(i)), 3 + i % 10, 0));
        row.emplace_back(double(i));
    }
    f.cases = {row};
    Prepare(f);
    TfrmDPGrid w;
    w.show();
    QApplication::processEvents();
    QHeaderView* header = w.StringGrid1->horizontalHeader();
    int total = 0;
    for (int c = 0; c < 300; ++c) {
        ASSERT_EQ(header->sectionSize(c), w.model->pixelWidth(c)) << c;
        EXPECT_EQ(header->sectionPosition(c), total) << c;
        total += header->sectionSize(c);
    }
    EXPECT_EQ(header->length(), total);
    EXPECT_GT(w.StringGrid1->horizontalScrollBar()->maximum(), 200);
    w.StringGrid1->scrollTo(w.model->index(0, 299));
    QApplication::processEvents();
    EXPECT_TRUE(w.StringGrid1->viewport()->rect().intersects(
        w.StringGrid1->visualRect(w.model->index(0, 299))));
}

TEST_F(DPGridTest, ACompleteLoadFillsHeadersCaseNumbersWidthsAndLabel2) {
    const std::string path = Prepare(ThreeVars(3));
    TfrmDPGrid w;
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.windowTitle().toStdString(), "SPSS DATA");
    EXPECT_EQ(w.loadOutcome(), lv::GridLoadOutcome::Complete);
    EXPECT_EQ(w.model->rowCount(), 3);
    EXPECT_EQ(w.model->columnCount(), 3);
    EXPECT_EQ(Header(w, 0, Qt::Horizontal), "AGE");
    EXPECT_EQ(Header(w, 2, Qt::Horizontal), "BORN");
    EXPECT_EQ(Header(w, 0, Qt::Vertical), "       1");
    EXPECT_EQ(w.StringGrid1->horizontalHeader()->sectionSize(0), 51);
    EXPECT_EQ(w.StringGrid1->horizontalHeader()->sectionSize(1), 59);  // A6: n = 7
    EXPECT_EQ(w.StringGrid1->horizontalHeader()->sectionSize(2), 93);
    EXPECT_EQ(Cell(w, 0, 0), "   1.5");
    EXPECT_EQ(Cell(w, 1, 1), "c2    ");
    EXPECT_EQ(Cell(w, 2, 2), " 2000/04/04");
    EXPECT_EQ(w.Label2->text().toStdString(), path);
    EXPECT_TRUE(w.StringGrid1->editing());
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 0));
    EXPECT_TRUE(opened.empty());
}

TEST_F(DPGridTest, LargeCaseNumbersAreNotCut) {
    Prepare(ThreeVars(1));
    TfrmDPGrid w;
    EXPECT_EQ(Header(w, 12345677, Qt::Vertical), "12345678");
    EXPECT_EQ(Header(w, 123456788, Qt::Vertical), "123456789");
}

TEST_F(DPGridTest, NoCasesLeavesOneEditableRowOfNames) {
    const std::string path = Prepare(ThreeVars(0));
    TfrmDPGrid w;
    EXPECT_EQ(w.model->rowCount(), 1);
    EXPECT_TRUE(w.model->namesInDataRow());
    EXPECT_EQ(Cell(w, 0, 1), "CITY");
    EXPECT_TRUE(w.model->flags(w.model->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(w.Label2->text().toStdString(), path);
}

TEST_F(DPGridTest, AReadFailureLeavesCaseNumbersOnlyAndLabel2Unchanged) {
    Prepare(ThreeVars(4));
    spssdio1::CaseCount = 10;
    TfrmDPGrid w;
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"データ読み込み中にトラブル発生：再度挑戦してください"});
    EXPECT_EQ(w.model->rowCount(), 10);
    EXPECT_EQ(Cell(w, 3, 0), "   6.0");
    EXPECT_EQ(Cell(w, 4, 0), "");
    EXPECT_EQ(Header(w, 9, Qt::Vertical), "      10");
    EXPECT_TRUE(w.model->editing());
    EXPECT_EQ(w.Label2->text().toStdString(), "file name");
}

TEST_F(DPGridTest, AHandleFailureLeavesEditingOff) {
    Prepare(ThreeVars(2));
    std::snprintf(spssdio1::VarNames[2].data(), 10, "GONE");
    TfrmDPGrid w;
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Error at spssGetVarHandle.: ", 0), 0u);
    EXPECT_FALSE(w.model->editing());
    EXPECT_FALSE(w.model->flags(w.model->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(Cell(w, 0, 0), "");
    EXPECT_EQ(w.Label2->text().toStdString(), "file name");
}

TEST_F(DPGridTest, ARenderingErrorReachesTheErrorBoxAndKeepsTheCellsBefore) {
    Prepare(ThreeVars(2));
    spssdio1::DisplayFormats[2] = "%8.2f";  // a number specifier on a date column
    TfrmDPGrid w;
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].second.find("%8.2f"), std::string::npos);
    EXPECT_EQ(Cell(w, 0, 1), "c1    ");
    EXPECT_EQ(Cell(w, 0, 2), "");
}

TEST_F(DPGridTest, AClickOnAMovedColumnOpensTheLabelsOfTheVariableNamedAboveIt) {
    Prepare(ThreeVars(3));
    TfrmDPGrid w;
    w.show();
    QHeaderView* columns = w.StringGrid1->horizontalHeader();
    columns->moveSection(2, 0);  // BORN now stands first on screen
    QApplication::processEvents();
    const int x = columns->sectionViewportPosition(2) + 5;
    const int y = w.StringGrid1->RowY(1) + 5;
    Click(w.StringGrid1->viewport(), QPoint(x, y));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, "BORN");
    EXPECT_EQ(opened[0].second, 2);
    // A keyboard move is a click too.
    Key(w.StringGrid1, Qt::Key_Down);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].first, "BORN");
}

TEST_F(DPGridTest, ADragAcrossCellsOpensTheLabelsOnceOnReleaseForTheCellReleasedOn) {
    Prepare(ThreeVars(3));
    TfrmDPGrid w;
    w.StringGrid1->SetEditing(false);
    w.show();
    QApplication::processEvents();
    QWidget* viewport = w.StringGrid1->viewport();
    QHeaderView* columns = w.StringGrid1->horizontalHeader();
    const int y = w.StringGrid1->RowY(1) + 5;
    const QPoint from(columns->sectionViewportPosition(0) + 5, y);
    const QPoint to(columns->sectionViewportPosition(1) + 5, y);
    auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    EXPECT_TRUE(opened.empty());
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, "CITY");
    // Keyboard moves still announce themselves.
    Key(w.StringGrid1, Qt::Key_Right);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].first, "BORN");
}

TEST_F(DPGridTest, PressesOnHeadersOpenNothing) {
    Prepare(ThreeVars(3));
    TfrmDPGrid w;
    w.show();
    QApplication::processEvents();
    QHeaderView* columns = w.StringGrid1->horizontalHeader();
    Click(columns->viewport(), QPoint(columns->sectionViewportPosition(1) + 5, 5));
    QHeaderView* rows = w.StringGrid1->verticalHeader();
    Click(rows->viewport(), QPoint(5, w.StringGrid1->RowY(2) + 5));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(w.StringGrid1->currentIndex(), w.model->index(0, 0));
}

TEST_F(DPGridTest, ShowingAgainNeverReadsTheFileAgain) {
    const std::string path = Prepare(ThreeVars(3));
    TfrmDPGrid w;
    w.show();
    w.close();
    EXPECT_TRUE(w.isHidden());
    std::remove(path.c_str());
    w.show();
    EXPECT_EQ(Cell(w, 2, 1), "c3    ");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DPGridTest, Exactly600And1500VariablesLoadWhole) {
    for (int count : {600, 1500}) {
        fixture::File f = gridtest::Basic();
        fixture::Case row;
        for (int i = 0; i < count; ++i) {
            f.variables.push_back(
                gridtest::Numeric(std::string("V").append(std::to_string(i)), 8, 0));
            row.push_back(double(i));
        }
        f.cases = {row};
        Prepare(f);
        TfrmDPGrid w;
        ASSERT_EQ(w.model->columnCount(), count);
        EXPECT_EQ(Header(w, count - 1, Qt::Horizontal),
                  std::string("V").append(std::to_string(count - 1)));
        const std::string last = std::to_string(count - 1);
        EXPECT_EQ(Cell(w, 0, count - 1), std::string(8 - last.size(), ' ') + last);
    }
}

TEST_F(DPGridTest, NoFileKeepsTheDesignGrid) {
    spssdio1::ResetSharedState();
    TfrmDPGrid w;
    EXPECT_EQ(w.model->rowCount(), 9);
    EXPECT_EQ(w.model->columnCount(), 4);
    EXPECT_EQ(w.Label2->text().toStdString(), "file name");
    EXPECT_FALSE(w.model->editing());
}

TEST_F(DPGridTest, TheVariableListButtonSetsTheReturnTarget) {
    Prepare(ThreeVars(1));
    TfrmDPGrid w;
    w.Button1->click();
    EXPECT_EQ(spssdio1::ReturnTarget, "DPGrid");
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_TRUE(frmVariable->isVisible());
    delete frmVariable;
    frmVariable = nullptr;
}
