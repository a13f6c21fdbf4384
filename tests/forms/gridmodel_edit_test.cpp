// Edits in the grid: passing through a cell (Qt writes the editor's text
// back) never changes its bytes, even bytes that do not survive a decode and
// encode; a text the file's encoding cannot hold is refused with a message.
#include <gtest/gtest.h>

#include <QPushButton>

#include "forms/grid/grid_model.h"
#include "forms/windows/DPGrid.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_app.h"

using namespace lv;

namespace {

class GridEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::EnsureApplication();
        dir_ = fixture::TempDir();
    }
    // A file of one string column S (width 3) holding values, in encoding.
    void Prepare(const std::string& encoding, const std::vector<std::string>& values) {
        fixture::File f = gridtest::Basic();
        f.encoding = encoding;
        f.characterCode = 0;
        f.variables = {gridtest::String("S", 3)};
        for (const std::string& v : values) f.cases.push_back({v});
        gridtest::PrepareState(fixture::WriteFile(f, dir_ + "/in.sav"));
    }
    std::string ExportAsDisplayed(TfrmDPGrid& w) {
        const std::string out = dir_ + "/out.txt";
        dialogs.saveAnswers = {out};
        // As shown, with the edits.
        dialogs.confirmAnswers = {lv::ConfirmAnswer::Yes, lv::ConfirmAnswer::Yes};
        w.btmWrite->click();
        return gridtest::ReadAll(out);
    }
    static std::string Cell(const GridModel& model, int row) {
        std::string out;
        model.AppendCellBytes(out, row, 0);
        return out;
    }
    // Writes every cell's own text back, as moving through the grid does.
    static void PassThroughEveryCell(GridModel& model) {
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, 0);
            EXPECT_TRUE(model.setData(index, model.data(index, Qt::EditRole), Qt::EditRole));
        }
    }

    std::string dir_;
    gridtest::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(GridEditTest, CellsThatDoNotSurviveADecodeAndEncodeKeepTheirBytes) {
    // An NEC special character (87 90 decodes to U+2252, which encodes back
    // as 81 E0), a cut double-byte character, an invalid byte.
    Prepare("CP932", {"\x87\x90z", "ab\x82", "a\xFF"});
    TfrmDPGrid w;
    const std::string before = ExportAsDisplayed(w);
    ASSERT_NE(before.find("\x87\x90z"), std::string::npos);
    PassThroughEveryCell(*w.model);
    EXPECT_EQ(Cell(*w.model, 0), "\x87\x90z");
    EXPECT_EQ(Cell(*w.model, 1), "ab\x82");
    EXPECT_EQ(ExportAsDisplayed(w), before);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridEditTest, AnInvalidUtf8ByteSurvivesAPassThrough) {
    Prepare("UTF-8", {"a\xFF", "\xE5\xB9"});  // a stray byte; a cut character
    TfrmDPGrid w;
    const std::string before = ExportAsDisplayed(w);
    PassThroughEveryCell(*w.model);
    EXPECT_EQ(Cell(*w.model, 0).substr(0, 2), "a\xFF");
    EXPECT_EQ(ExportAsDisplayed(w), before);
}

TEST_F(GridEditTest, AnEditIsEncodedAndOneTheEncodingCannotHoldIsRefused) {
    Prepare("CP932", {"abc", "def"});
    TfrmDPGrid w;
    GridModel& model = *w.model;
    EXPECT_TRUE(model.setData(model.index(0, 0), QStringLiteral("年"), Qt::EditRole));
    EXPECT_EQ(Cell(model, 0), "\x94\x4e");

    EXPECT_FALSE(model.setData(model.index(1, 0), QStringLiteral("x😀y"), Qt::EditRole));
    EXPECT_EQ(Cell(model, 1), "def");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "「😀」はファイルの文字コード（CP932）で表せません：セルは元のままです");
}
