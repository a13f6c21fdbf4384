// Long work runs on the window's thread and its progress dialog handles
// events inside Step. What the user does meanwhile (a button of another
// window, a shortcut, a file dropped just before) must wait for the work and
// leave the windows' state whole. Input is injected through the window
// system, as a real click or key arrives, so that the dialog's modality is
// what is tested.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fstream>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/seam/progress_dialog.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

fixture::File Cases(int count) {
    fixture::File f;
    fixture::Variable n;
    n.name = "N";
    n.print = {5, 8, 0};
    fixture::Variable s;
    s.name = "S";
    s.width = 4;
    s.print = {1, 4, 0};
    f.variables = {n, s};
    for (int i = 0; i < count; ++i) f.cases.push_back({double(count - i), std::string("x")});
    return f;
}

QProgressDialog* ShownProgress() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QProgressDialog*>(top); p && p->isVisible()) return p;
    return nullptr;
}

// A left click on button as the window system delivers one to its window.
void SystemClick(QPushButton* button) {
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(window, button->rect().center()));
}

class LongWorkTest : public testsupport::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Every look at the clock finds a second gone: the dialog appears at
        // the first step and takes events at every one.
        previous_ = lv::SetProgressClock([this] { return now_ += 1.0; });
    }
    void TearDown() override {
        lv::SetProgressClock(previous_);
        WindowTest::TearDown();
    }
    // The main window shown, with path chosen.
    void OpenMain(const std::string& path) {
        dialogs.openAnswers = {path};
        new TForm1();
        Form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }
    // Runs inject once the work's dialog is up (it must be).
    void WhileWorkRuns(std::function<void()> inject) {
        QTimer::singleShot(0, [this, inject] {
            shown = ShownProgress() != nullptr;
            inject();
        });
    }
    static QString Cell(int row, int column) {
        return frmDPGrid->model->data(frmDPGrid->model->index(row, column), Qt::DisplayRole)
            .toString()
            .trimmed();
    }

    bool shown = false;

  private:
    double now_ = 0;
    lv::ProgressClock previous_;
};

TEST_F(LongWorkTest, ButtonsOfTheMainWindowWaitWhileTheGridLoads) {
    OpenMain(Write(Cases(3000), "a.sav"));
    const std::string chosen = spssdio1::DataFileName;
    QSignalSpy open(Form1->fileget, &QPushButton::clicked);
    QSignalSpy list(Form1->Button3, &QPushButton::clicked);
    QSignalSpy data(Form1->Button5, &QPushButton::clicked);
    QSignalSpy quit(Form1->Button4, &QPushButton::clicked);
    WhileWorkRuns([&] {
        for (QPushButton* b : {Form1->Button5, Form1->fileget, Form1->Button3, Form1->Button4})
            SystemClick(b);
        QTest::keyClick(Form1->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    });
    Form1->Button5Click();
    EXPECT_TRUE(shown);
    for (QSignalSpy* spy : {&open, &list, &data, &quit}) EXPECT_EQ(spy->count(), 0);
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_EQ(frmDPGrid->loadOutcome(), lv::GridLoadOutcome::Complete);
    EXPECT_EQ(frmDPGrid->model->rowCount(), 3000);
    EXPECT_EQ(spssdio1::DataFileName, chosen);
    EXPECT_EQ(dialogs.openRequests.size(), 1u);  // the start's
    EXPECT_TRUE(dialogs.messages.empty());

    // With no work running the same click arrives.
    SystemClick(Form1->Button3);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(LongWorkTest, ShortcutsButtonsAndClosesWaitWhileTheGridSorts) {
    OpenMain(Write(Cases(3000), "a.sav"));
    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frmDPGrid));
    const QString before = Cell(0, 0);
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QSignalSpy write(frmDPGrid->btmWrite, &QPushButton::clicked);
    QSignalSpy names(frmDPGrid->Button1, &QPushButton::clicked);
    WhileWorkRuns([&] {
        QTest::keyClick(frmDPGrid->windowHandle(), Qt::Key_C, Qt::ControlModifier);
        SystemClick(frmDPGrid->btmWrite);
        SystemClick(frmDPGrid->Button1);
        SystemClick(Form1->Button5);
        SystemClick(Form1->fileget);
    });
    frmDPGrid->additions->Sort(0, false);
    EXPECT_TRUE(shown);
    EXPECT_EQ(write.count(), 0);
    EXPECT_EQ(names.count(), 0);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    EXPECT_EQ(dialogs.openRequests.size(), 1u);  // the start's
    // The sort itself went through.
    EXPECT_EQ(before, "3000");
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(2999, 0), "3000");
}

TEST_F(LongWorkTest, AFileDroppedJustBeforeALoadOpensAfterIt) {
    OpenMain(Write(Cases(3000), "a.sav"));
    const std::string first = spssdio1::DataFileName;
    const std::string second = Write(Cases(2), "b.sav");
    // The drop queues the open; the click on DATA表示 comes before it runs.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(second))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form1, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form1, &drop);
    ASSERT_TRUE(drop.isAccepted());
    WhileWorkRuns([] {});
    Form1->Button5Click();
    EXPECT_TRUE(shown);
    // The load read the first file whole, with its own variables.
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_EQ(frmDPGrid->loadOutcome(), lv::GridLoadOutcome::Complete);
    EXPECT_EQ(frmDPGrid->model->rowCount(), 3000);
    EXPECT_EQ(spssdio1::DataFileName, first);
    EXPECT_TRUE(dialogs.messages.empty());
    // Then the dropped file opens, as a drop does.
    QTest::qWait(20);
    EXPECT_EQ(spssdio1::DataFileName, second);
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_EQ(spssdio1::CaseCount, 2);
}

TEST_F(LongWorkTest, ACancelledRawExportLeavesNoFileAndNoBeep) {
    OpenMain(Write(Cases(5000), "a.sav"));
    Form1->Button5Click();
    ASSERT_NE(frmDPGrid, nullptr);
    const std::string out = Path("out.txt");
    gridtest::ScriptedDialogs asked;
    asked.saveAnswers = {out};
    asked.confirmAnswers = {lv::ConfirmAnswer::No};
    QSignalSpy ok(frmDPGrid->btnOK, &QPushButton::clicked);
    WhileWorkRuns([&] {
        SystemClick(frmDPGrid->btnOK);
        if (QProgressDialog* p = ShownProgress()) p->cancel();
    });
    frmDPGrid->btmWriteClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(ok.count(), 0);
    EXPECT_FALSE(std::ifstream(out).good());
    EXPECT_EQ(asked.beeps, 0);
    EXPECT_TRUE(asked.messages.empty());
    // The data file was closed by the export.
    EXPECT_NE(spssCloseRead(spssdio1::FileHandle), 0);
}

TEST_F(LongWorkTest, AStoppedVariableListIsBuiltAgainBeforeTheGrid) {
    const std::string path = Write(Cases(3), "a.sav");
    WhileWorkRuns([] {
        if (QProgressDialog* p = ShownProgress()) p->cancel();
    });
    dialogs.openAnswers = {path};
    new TForm1();
    EXPECT_TRUE(shown);
    EXPECT_EQ(frmVariable, nullptr);
    // Shown quickly, the list is built whole and the grid has its columns.
    lv::SetProgressClock([] { return 0.0; });
    Form1->Button5Click();
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_EQ(frmVariable->ListBox1->count(), 2);
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_EQ(frmDPGrid->model->columnCount(), 2);
    EXPECT_EQ(Cell(0, 0), "3");
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
