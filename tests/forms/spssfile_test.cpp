// The main window driven through the dialog seam: start-up, the file
// choices, the summary log, the buttons and the window lifetimes.
#include "forms/windows/spssfile.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "forms/seam/icons.h"
#include "savio/spssfio.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using namespace spssdio1;
using testsupport::MemoLines;
using testsupport::SmallFile;

const QString kRule = QString(32, QLatin1Char('-'));

class MainWindowTest : public testsupport::WindowTest {};

TEST_F(MainWindowTest, DialogCancelledAtStart) {
    new TForm1();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].first, "spss ﾌｧｲﾙ|*.sav *.zsav");
    EXPECT_EQ(dialogs.openRequests[0].second, "");
    EXPECT_EQ(MemoLines(Form1->Memo1), (QStringList{"", "file:"}));
    // Said in full, in Japanese.
    EXPECT_EQ(Form1->Label2->text(), "ファイルが選ばれていません");
    EXPECT_GE(Form1->Label2->width(), Form1->Label2->sizeHint().width());
    EXPECT_EQ(frmVariable, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Form1->windowTitle(), "Lorivane");
}

TEST_F(MainWindowTest, StartWithAFileWritesTheSummaryAndBuildsTheHiddenList) {
    const std::string path = Write(SmallFile("AGE"), "a.sav");
    dialogs.openAnswers = {path};
    new TForm1();
    const QStringList memo = MemoLines(Form1->Memo1);
    ASSERT_EQ(memo.size(), 12);
    EXPECT_EQ(memo[1], QString::fromStdString("file:" + path));
    EXPECT_EQ(memo[4], "ケース数:        2");
    EXPECT_EQ(memo[8], "圧縮：       No ");
    EXPECT_EQ(memo[9], "重みづけ： No");
    EXPECT_EQ(memo[11], kRule);
    EXPECT_EQ(Form1->Label2->text().toStdString(), path);
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_FALSE(frmVariable->isVisible());
    EXPECT_EQ(testsupport::ListLines(frmVariable->ListBox1),
              QStringList{"AGE       num    N  N  label of AGE"});
    EXPECT_EQ(DisplayFormats[0], "%8.2f");
}

TEST_F(MainWindowTest, TwoFilesInARowLeaveBothSummariesAndReplaceTheWindows) {
    const std::string a = Write(SmallFile("FIRST"), "a.sav");
    const std::string b = Write(SmallFile("SECOND"), "b.sav");
    dialogs.openAnswers = {a, b};
    new TForm1();
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    TfrmVariable* firstList = frmVariable;
    Form1->fileget->click();

    EXPECT_EQ(dialogs.openRequests[1].second, a);  // the dialog offers the current file
    const QStringList memo = MemoLines(Form1->Memo1);
    EXPECT_EQ(memo.count(QString::fromStdString("file:" + a)), 1);
    EXPECT_EQ(memo.count(QString::fromStdString("file:" + b)), 1);
    EXPECT_LT(memo.indexOf(QString::fromStdString("file:" + a)),
              memo.indexOf(QString::fromStdString("file:" + b)));
    EXPECT_EQ(memo.count(kRule), 2);
    EXPECT_EQ(frmDPGrid, nullptr);
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_NE(frmVariable, firstList);
    EXPECT_TRUE(testsupport::ListLines(frmVariable->ListBox1)[0].startsWith("SECOND"));
    EXPECT_EQ(Form1->Label2->text().toStdString(), b);
}

TEST_F(MainWindowTest, CancellingAfterAFileReadsThatFileAgain) {
    const std::string a = Write(SmallFile("ONLY"), "a.sav");
    dialogs.openAnswers = {a};
    new TForm1();
    Form1->fileget->click();
    const QStringList memo = MemoLines(Form1->Memo1);
    EXPECT_EQ(memo.count(QString::fromStdString("file:" + a)), 2);
    EXPECT_EQ(memo.count(kRule), 2);
    EXPECT_NE(frmVariable, nullptr);
}

TEST_F(MainWindowTest, CancellingWithoutAnyFileAppendsFileAlone) {
    new TForm1();
    Form1->fileget->click();
    EXPECT_EQ(MemoLines(Form1->Memo1), (QStringList{"", "file:", "file:"}));
    EXPECT_EQ(frmVariable, nullptr);
    // No file: no window opens, and each button says why.
    Form1->Button3->click();
    Form1->Button5->click();
    EXPECT_EQ(frmVariable, nullptr);
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"ファイルが選ばれていません",
                                                          "ファイルが選ばれていません"}));
}

TEST_F(MainWindowTest, FileThatCannotBeOpened) {
    const std::string missing = Path("no-such.sav");
    dialogs.openAnswers = {missing};
    new TForm1();
    EXPECT_EQ(MemoLines(Form1->Memo1), (QStringList{"", QString::fromStdString("file:" + missing),
                                                    "ファイルを開くことに失敗しました"}));
    EXPECT_EQ(Form1->Label2->text().toStdString(), missing);
    ASSERT_NE(frmVariable, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0], "file access失敗");
    EXPECT_EQ(dialogs.messages[1].rfind("File handle error at getVarInfo:", 0), 0u);
}

TEST_F(MainWindowTest, AFileThatFailsToOpenAfterAnotherLeavesNoGridOfTheOther) {
    const std::string a = Write(SmallFile("FIRST"), "a.sav");
    dialogs.openAnswers = {a, Path("no-such.sav")};
    new TForm1();
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    Form1->fileget->click();
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    // DATA表示 says the file does not open, as the open said, and shows no
    // grid of the file before.
    Form1->Button5->click();
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_EQ(dialogs.messages.back(), "file access失敗");
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(MainWindowTest, VariableListButtonShowsTheListForTheMainWindow) {
    dialogs.openAnswers = {Write(SmallFile("V"), "a.sav")};
    new TForm1();
    Form1->Button3->click();
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_TRUE(frmVariable->isVisible());
    EXPECT_EQ(ReturnTarget, "spssfile");
}

TEST_F(MainWindowTest, DataButtonRefusesMatrixDataAndOtherwiseShowsTheGrid) {
    dialogs.openAnswers = {Write(SmallFile("V"), "a.sav")};
    new TForm1();
    CaseCount = -1;
    Form1->Button5->click();
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"このデータは読めません:Matrix DATA です"});
    EXPECT_EQ(frmDPGrid, nullptr);
    CaseCount = 2;
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    EXPECT_TRUE(frmDPGrid->isVisible());
}

TEST_F(MainWindowTest, ResizeKeepsTheTextAreaBelowTheButtons) {
    new TForm1();
    Form1->show();
    Form1->resize(600, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(Form1->Memo1->geometry(), QRect(0, 70, 600, 430));
    EXPECT_EQ(Form1->Button5->geometry(), QRect(224, 8, 81, 25));
}

TEST_F(MainWindowTest, JapaneseTextOfACp932FileIsDecoded) {
    fixture::File f = SmallFile("AGE");
    f.fileLabel = "\x92\xb2\x8d\xb8";                        // 調査
    f.variables[0].label = std::string("\x94\x4e\x97\xee");  // 年齢
    f.encoding = "";
    f.characterCode = 932;
    dialogs.openAnswers = {Write(f, "sjis.sav")};
    new TForm1();
    EXPECT_TRUE(MemoLines(Form1->Memo1).contains("File label:   調査"));
    EXPECT_EQ(testsupport::ListLines(frmVariable->ListBox1),
              QStringList{"AGE       num    N  N  年齢"});
}

// On a scaled screen the buttons' pictures are drawn for its pixels, not
// enlarged from the small picture; the disabled picture stays distinct.
TEST(ButtonPictures, DrawnAtTheScreensScale) {
    testsupport::EnsureApplication();
    for (const auto& [icon, design] :
         {std::pair{lv::OpenFolderIcon(), 16}, std::pair{lv::CheckMarkIcon(), 18}}) {
        const QSize size(design, design);
        EXPECT_EQ(icon.pixmap(size, 1.0).size(), size);
        for (const qreal scale : {1.5, 2.0}) {
            const QPixmap normal = icon.pixmap(size, scale);
            EXPECT_EQ(normal.size(), size * scale) << design << " at " << scale;
            EXPECT_EQ(normal.devicePixelRatio(), scale);
            EXPECT_NE(normal.toImage(), icon.pixmap(size, scale, QIcon::Disabled).toImage());
        }
    }
}

}  // namespace
