// The grid window reads its cells back from the file: the model and the
// as-displayed export give the bytes of a full decode of the same file, far
// rows after a jump included; a file replaced after the load shows empty
// cells, says so once (after the paint that found it), and the export and
// the find stop and say why.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <random>

#include "core/export/grid_cells.h"
#include "core/export/text_export.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/row_numbers.h"
#include "forms/windows/DPGrid.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_app.h"
#include "tests/support/readback.h"

using namespace lv;

namespace {

class OnDemandWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::EnsureApplication();
        dir_ = fixture::TempDir();
    }
    void TearDown() override { spssdio1::ResetSharedState(); }

    // Writes f and keeps a full decode of it; the shared state is left as
    // the window's load wants it.
    void Prepare(const fixture::File& f) {
        path_ = fixture::WriteFile(f, dir_ + "/g.sav");
        gridtest::PrepareState(path_);
        gridtest::MemoryFill keep(full_);
        lv::LoadGrid(keep);
        gridtest::PrepareState(path_);
    }
    static std::string Cell(TfrmDPGrid& w, int row, int col) {
        std::string out;
        w.model->AppendCellBytes(out, row, col);
        return out;
    }
    std::string ExportAsDisplayed(TfrmDPGrid& w) {
        const std::string out = dir_ + "/out.txt";
        dialogs.saveAnswers = {out};
        // As shown, with the edits.
        dialogs.confirmAnswers = {lv::ConfirmAnswer::Yes, lv::ConfirmAnswer::Yes};
        w.btmWrite->click();
        return gridtest::ReadAll(out);
    }

    std::string dir_, path_;
    lv::GridData full_;
    gridtest::ScriptedDialogs dialogs;
};

TEST_F(OnDemandWindowTest, CellsAndExportAreThoseOfAFullDecode) {
    fixture::File f = readback::MixedFile(fixture::Compression::Zlib, fixture::Endian::Big, 3000);
    f.zlibBlockSize = 20000;
    Prepare(f);
    TfrmDPGrid w;
    ASSERT_EQ(w.model->rowCount(), 3000);
    // The last row after a jump to it, then rows anywhere.
    w.resize(700, 400);
    w.show();
    w.StringGrid1->scrollToBottom();
    w.StringGrid1->grab();
    std::mt19937 rng(3);
    std::vector<int> rows = {2999, 2998, 0, 1023, 1024, 2047, 2048};
    for (int i = 0; i < 200; ++i) rows.push_back(int(rng() % 3000));
    for (const int r : rows)
        for (int c = 0; c < w.model->columnCount(); ++c) {
            std::string want;
            full_.AppendCell(want, uint32_t(r), c);
            ASSERT_EQ(Cell(w, r, c), want) << r << " " << c;
        }
    // The export in the screen's order of columns and rows.
    w.StringGrid1->horizontalHeader()->moveSection(4, 0);
    emit w.StringGrid1->rowNumbers()->rowMoved(2500, 3);
    full_.MoveRow(2500, 3);
    lv::GridCellSource cells(full_, {4, 0, 1, 2, 3, 5, 6});
    ASSERT_TRUE(lv::RunExport(dir_ + "/full.txt", lv::ExportMode::AsDisplayed, &cells));
    EXPECT_EQ(ExportAsDisplayed(w), gridtest::ReadAll(dir_ + "/full.txt"));
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(OnDemandWindowTest, AFileReplacedAfterTheLoadShowsEmptyCellsAndSaysSoOnce) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::String("S", 8)};
    for (int r = 0; r < 50; ++r) f.cases.push_back({double(r), std::string("abc")});
    Prepare(f);
    TfrmDPGrid w;
    w.model->setData(w.model->index(1, 1), QStringLiteral("edited"), Qt::EditRole);
    w.show();
    w.StringGrid1->grab();
    ASSERT_EQ(Cell(w, 0, 0), "    0.00");

    for (fixture::Case& c : f.cases) c[0] = 99.0;
    fixture::WriteFile(f, path_ + ".new");
    ASSERT_EQ(std::rename((path_ + ".new").c_str(), path_.c_str()), 0);
    w.StringGrid1->grab();                  // the check before the paint finds it
    EXPECT_TRUE(dialogs.messages.empty());  // not from inside the paint
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{lv::kLostNoticeText});
    EXPECT_EQ(Cell(w, 0, 0), "");
    EXPECT_EQ(Cell(w, 1, 1), "edited");  // the edit is the grid's own
    w.StringGrid1->grab();
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 1u);

    EXPECT_EQ(ExportAsDisplayed(w), "");
    w.additions->findBar->text->setText(QStringLiteral("abc"));
    w.additions->Find(false);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{lv::kLostNoticeText, lv::kExportLostText,
                                                          lv::kLostActionText}));
    EXPECT_EQ(dialogs.beeps, 0);
}

}  // namespace
