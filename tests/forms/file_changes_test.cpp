// The windows with a data file that shrinks during the grid's load, or that
// is a FIFO: the specified failure messages, never a signal or a wait.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPushButton>
#include <cstdio>

#include "core/state/data_file_checks.h"
#include "forms/grid/grid_model.h"
#include "forms/seam/progress_dialog.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/spssfile.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using testsupport::MemoLines;

class FileChangesTest : public testsupport::WindowTest {};

TEST_F(FileChangesTest, AFileCutShortDuringTheGridLoadIsAReadFailure) {
    fixture::File f;
    f.compression = fixture::Compression::None;
    for (int v = 0; v < 20; ++v) {
        char name[8];
        std::snprintf(name, sizeof name, "V%d", v);
        f.variables.push_back(fixture::Numeric(name));
    }
    for (int r = 0; r < 20000; ++r) f.cases.push_back(fixture::Case(20, fixture::Value(r * 0.5)));
    const std::string path = Write(f, "cut.sav");  // 3.2 MB of cases
    dialogs.openAnswers = {path};
    new TForm1();
    dialogs.messages.clear();
    // The load's first progress step cuts the file to its dictionary and a
    // few cases, far behind what the load has read.
    bool cut = false;
    const lv::ProgressClock previous = lv::SetProgressClock([&] {
        if (!cut) cut = truncate(path.c_str(), 100000) == 0;
        return 0.0;
    });
    Form1->Button5->click();  // DATA表示
    lv::SetProgressClock(previous);
    ASSERT_TRUE(cut);
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"データ読み込み中にトラブル発生：再度挑戦してください"});
}

TEST_F(FileChangesTest, AFifoIsRefusedAtOnceWithTheOpenFailureAndWhy) {
    const std::string fifo = Path("pipe.sav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    dialogs.openAnswers = {fifo};
    alarm(20);  // a window that waits for a writer fails the test here
    new TForm1();
    alarm(0);
    EXPECT_EQ(MemoLines(Form1->Memo1),
              (QStringList{"", QString::fromStdString("file:" + fifo),
                           "ファイルを開くことに失敗しました", lv::kNotRegularFileText}));
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages[0], "file access失敗");
}

}  // namespace
