// 形式を選んで書き出す... from the grid's menus: the save dialog's file type
// and the choices dialog decide what is written; choices are remembered;
// a cancelled or failed write leaves no file and reports no success.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/table_export_dialog.h"
#include "forms/seam/progress_dialog.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TableExportTest : public testsupport::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        lv::RememberedTableExportChoices() = {};
    }
    TfrmDPGrid& Open() { return OpenGrid(gridtest::Coded()); }
    // The next save dialog answers path with file type index.
    void Answer(const std::string& path, int type) {
        dialogs.saveAsAnswers.push_back(lv::SaveChoice{path, type});
    }
};

TEST_F(TableExportTest, TheMenuItemWritesTheChosenFormatAndRemembersTheChoices) {
    TfrmDPGrid& w = Open();
    EXPECT_TRUE(w.additions->CellMenu()->actions().contains(w.additions->exportTable));
    EXPECT_TRUE(w.additions->HeaderMenu(0)->actions().contains(w.additions->exportTable));
    w.additions->Sort(0, true);  // CODE descending, the user-missing 9 last
    w.StringGrid1->horizontalHeader()->moveSection(1, 0);

    // CSV of the grid as it stands: labels, long names, missing empty, CR LF.
    Answer(Path("out.csv"), 0);
    onModal = [](QDialog& d) {
        auto& t = static_cast<lv::TableExportDialog&>(d);
        EXPECT_TRUE(t.bom->isEnabled());
        EXPECT_TRUE(t.bom->isChecked());  // the window's default, for spreadsheets
        EXPECT_FALSE(t.filterNote->isVisibleTo(&t));
        t.bom->setChecked(false);
        t.labels->setChecked(true);
        t.headerLongNames->setChecked(true);
        t.missingEmpty->setChecked(true);
        t.crlf->setChecked(true);
        t.scopeGridOrder->setChecked(true);
    };
    w.additions->ExportTable();
    EXPECT_EQ(dialogs.saveAsRequests.back().second, Path("g.csv"));
    EXPECT_EQ(Contents(Path("out.csv")), "NAME,TheCode\r\ncd,two\r\nab,one\r\nabc,one\r\nzz,\r\n");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.errors.empty());

    // TSV of every case in the file's order; the dialog offers the last
    // choices again.
    Answer(Path("all.tsv"), 1);
    onModal = [](QDialog& d) {
        auto& t = static_cast<lv::TableExportDialog&>(d);
        EXPECT_TRUE(t.labels->isChecked());
        EXPECT_TRUE(t.headerLongNames->isChecked());
        EXPECT_TRUE(t.crlf->isChecked());
        EXPECT_TRUE(t.scopeGridOrder->isChecked());
        t.values->setChecked(true);
        t.headerNames->setChecked(true);
        t.missingAsValues->setChecked(true);
        t.crlf->setChecked(false);
        t.scopeAll->setChecked(true);
    };
    w.additions->ExportTable();
    EXPECT_EQ(Contents(Path("all.tsv")), "CODE\tNAME\n1\tab\n9\tzz\n2\tcd\n1\tabc\n");

    // The selected cells: display rows 2-3 of the column NAME.
    w.StringGrid1->selectionModel()->select(
        QItemSelection(w.model->index(1, 1), w.model->index(2, 1)),
        QItemSelectionModel::ClearAndSelect);
    Answer(Path("sel.csv"), 0);
    onModal = [](QDialog& d) {
        static_cast<lv::TableExportDialog&>(d).scopeSelection->setChecked(true);
    };
    w.additions->ExportTable();
    EXPECT_EQ(Contents(Path("sel.csv")), "NAME\nab\nabc\n");
    EXPECT_EQ(dialogs.beeps, 3);
}

TEST_F(TableExportTest, TheTypedExtensionDecidesAndTheDialogSaysWhatTheFilterLeavesOut) {
    TfrmDPGrid& w = Open();
    w.additions->ShowOnly("CODE = 1");  // cases 1 and 4
    // A workbook typed with the CSV type chosen is a workbook.
    Answer(Path("typed.xlsx"), 0);
    QString note;
    onModal = [&](QDialog& d) {
        auto& t = static_cast<lv::TableExportDialog&>(d);
        EXPECT_FALSE(t.bom->isEnabled());
        if (t.filterNote->isVisibleTo(&t)) note = t.filterNote->text();
        t.scopeAll->setChecked(true);
    };
    w.additions->ExportTable();
    EXPECT_TRUE(note.startsWith("絞り込み中：CODE = 1（2 / 4 ケース）")) << note.toStdString();
    EXPECT_EQ(Contents(Path("typed.xlsx")).substr(0, 2), "PK");
    EXPECT_FALSE(std::filesystem::exists(Path("typed.xlsx.csv")));

    // An extension of no format gets the chosen type's; the cases shown.
    Answer(Path("shown.data"), 1);
    onModal = [](QDialog& d) {
        auto& t = static_cast<lv::TableExportDialog&>(d);
        t.bom->setChecked(false);
        t.scopeGridOrder->setChecked(true);
    };
    w.additions->ExportTable();
    EXPECT_EQ(Contents(Path("shown.data.tsv")), "TheCode\tNAME\n1\tab\n1\tabc\n");

    // Every case, those the filter hides too.
    Answer(Path("all.csv"), 0);
    onModal = [](QDialog& d) { static_cast<lv::TableExportDialog&>(d).scopeAll->setChecked(true); };
    w.additions->ExportTable();
    EXPECT_EQ(Contents(Path("all.csv")), "TheCode,NAME\n1,ab\n9,zz\n2,cd\n1,abc\n");
}

TEST_F(TableExportTest, ACancelledOrFailedWriteLeavesNoFileAndNoSuccess) {
    TfrmDPGrid& w = Open();
    // Cancelled in the progress dialog.
    double now = 0;
    const lv::ProgressClock previous = lv::SetProgressClock([&] { return now += 1.0; });
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(top);
                progress && progress->isVisible()) {
                shown = true;
                progress->cancel();
            }
    });
    Answer(Path("cancelled.csv"), 0);
    w.additions->ExportTable();
    lv::SetProgressClock(previous);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(std::filesystem::exists(Path("cancelled.csv")));

    // A folder that does not exist: a Japanese error, nothing written.
    Answer(Path("missing/out.xlsx"), 2);
    w.additions->ExportTable();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].second.find("フォルダがありません"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Path("missing")));

    // The choices dialog cancelled: nothing written, nothing remembered.
    Answer(Path("nothing.csv"), 0);
    lv::SetModalShowFunction([](QDialog& d) {
        static_cast<lv::TableExportDialog&>(d).labels->setChecked(true);
        return int(QDialog::Rejected);
    });
    w.additions->ExportTable();
    EXPECT_FALSE(std::filesystem::exists(Path("nothing.csv")));
    EXPECT_FALSE(lv::RememberedTableExportChoices().labels);
    EXPECT_EQ(dialogs.beeps, 0);
    std::error_code ignored;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path(""), ignored),
                            std::filesystem::directory_iterator()),
              1);  // g.sav alone: no temporary file left beside it
}

}  // namespace
