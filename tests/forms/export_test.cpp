#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>

#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/row_numbers.h"
#include "forms/windows/DPGrid.h"
#include "tests/core/grid/grid_support.h"

using namespace lv;

using lv::ConfirmAnswer;

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "lorivane";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

class GridExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        dir_ = fixture::TempDir();
        fixture::File f = gridtest::Basic();
        f.variables = {gridtest::Numeric("A", 6, 2), gridtest::String("S", 5),
                       gridtest::Numeric("B", 3, 0)};
        f.cases = {{1.5, std::string("ab"), 3.0},
                   {fixture::kSysmis, std::string("xyz"), 12.0},
                   {-0.5, std::string(""), fixture::kSysmis}};
        gridtest::PrepareState(fixture::WriteFile(f, dir_ + "/in.sav"));
        out_ = dir_ + "/out.txt";
    }
    std::string dir_, out_;
    gridtest::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(GridExportTest, AsDisplayedFollowsTheScreenWithEditsAndMovedColumnsAndRows) {
    TfrmDPGrid w;
    w.model->setData(w.model->index(1, 1), QStringLiteral("edited"), Qt::EditRole);
    w.StringGrid1->horizontalHeader()->moveSection(2, 0);  // B, A, S
    emit w.StringGrid1->rowNumbers()->rowMoved(2, 0);      // cases 3, 1, 2
    dialogs.saveAnswers = {out_};
    dialogs.confirmAnswers = {ConfirmAnswer::Yes, ConfirmAnswer::Yes};
    w.btmWrite->click();
    ASSERT_EQ(dialogs.confirms.size(), 2u);
    EXPECT_EQ(dialogs.confirms[0].first, "確認");
    EXPECT_EQ(dialogs.confirms[0].second,
              "保存をどうしますか？ 見たまま（はい）／ ＳＰＳＳ内部形式（いいえ）");
    EXPECT_EQ(dialogs.confirms[1].second,
              "編集したセルが 1 個あります。編集を含めて書き込みますか？ "
              "含める（はい）／ 含めない（いいえ）");
    EXPECT_EQ(gridtest::ReadAll(out_),
              "   . "
              "  -0.50 "
              "      \r\n"
              "   3 "
              "   1.50 "
              "ab    \r\n"
              "  12 "
              "      . "
              "edited \r\n");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(GridExportTest, InternalFormIgnoresEditsAndWritesTheFileValues) {
    TfrmDPGrid w;
    dialogs.confirmAnswers = {ConfirmAnswer::Yes};  // not a number: entered all the same
    ASSERT_TRUE(w.model->setData(w.model->index(0, 0), QStringLiteral("zzz"), Qt::EditRole));
    w.StringGrid1->horizontalHeader()->moveSection(2, 0);
    dialogs.saveAnswers = {out_};
    dialogs.confirmAnswers = {ConfirmAnswer::No};
    w.btmWrite->click();
    EXPECT_EQ(gridtest::ReadAll(out_),
              " 1.50000000000000E+0000 ab     3.00000000000000E+0000 \r\n"
              "-1.79769313486232E+0308 xyz    1.20000000000000E+0001 \r\n"
              "-5.00000000000000E-0001       -1.79769313486232E+0308 \r\n");
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(GridExportTest, CancelInTheConfirmationLeavesAnExistingFileUntouched) {
    TfrmDPGrid w;
    {
        std::FILE* f = std::fopen(out_.c_str(), "wb");
        std::fputs("keep me", f);
        std::fclose(f);
    }
    dialogs.saveAnswers = {out_};
    w.btmWrite->click();  // no confirmation answer scripted: Cancel
    EXPECT_EQ(gridtest::ReadAll(out_), "keep me");
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(GridExportTest, ACancelledSaveDialogKeepsTheNameOfTheEarlierExport) {
    TfrmDPGrid w;
    // First time: cancelled with no name yet, so nothing happens at all.
    w.btmWrite->click();
    EXPECT_TRUE(dialogs.confirms.empty());
    dialogs.saveAnswers = {out_, std::nullopt};
    dialogs.confirmAnswers = {ConfirmAnswer::Yes, ConfirmAnswer::No};
    w.btmWrite->click();
    w.btmWrite->click();
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.saveRequests[0], "");
    EXPECT_EQ(dialogs.saveRequests[2], out_);
    // The second export overwrote the first one's file in the raw form.
    EXPECT_EQ(gridtest::ReadAll(out_).substr(0, 23), " 1.50000000000000E+0000");
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST_F(GridExportTest, ADirectoryTargetShowsTheAccessErrorAndNoBeep) {
    TfrmDPGrid w;
    dialogs.saveAnswers = {dir_};
    dialogs.confirmAnswers = {ConfirmAnswer::Yes};
    w.btmWrite->click();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].second, "ﾌｧｲﾙへのｱｸｾｽが拒否されました.");
    EXPECT_EQ(dialogs.beeps, 0);
}

// A file its writer cannot write: read-only and, as root may write those,
// immutable for root (on a file system that has the flag). Undone at the end.
class UnwritableFile {
  public:
    explicit UnwritableFile(const std::string& path) : path_(path) {
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
        chmod(path.c_str(), 0444);
        if (geteuid() == 0) immutable_ = SetImmutable(true);
    }
    ~UnwritableFile() {
        if (immutable_) SetImmutable(false);
    }
    bool made() const { return geteuid() != 0 || immutable_; }

  private:
    bool SetImmutable(bool on) const {
        const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }
    std::string path_;
    bool immutable_ = false;
};

TEST_F(GridExportTest, AReadOnlyTargetGivesTheSameError) {
    const UnwritableFile target(out_);
    if (!target.made()) GTEST_SKIP() << "root, and the file system has no immutable files";
    TfrmDPGrid w;
    dialogs.saveAnswers = {out_};
    dialogs.confirmAnswers = {ConfirmAnswer::No};
    w.btmWrite->click();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].second, "ﾌｧｲﾙへのｱｸｾｽが拒否されました.");
    EXPECT_EQ(dialogs.beeps, 0);
}
