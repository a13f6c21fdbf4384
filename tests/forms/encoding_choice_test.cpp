// The 文字コード menu of the main window's text area: every open window shows
// the file's texts decoded with the choice, from the bytes it kept; the
// cells (and so the export) keep the file's bytes.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

#include "forms/grid/grid_model.h"
#include "tests/forms/support_windows.h"
#include "tests/support/corpus.h"

using namespace lv;

namespace {

using testsupport::ListLines;

// リンゴ in CP932; the same bytes read as windows-1252 are ƒŠƒ“ƒS.
const std::string kApple = "\x83\x8a\x83\x93\x83S";
const QString kAppleCp932 = QStringLiteral("リンゴ"), kApple1252 = QStringLiteral("ƒŠƒ“ƒS");

// No encoding record and no character code: texts that are not UTF-8 are CP932.
fixture::File AppleFile() {
    fixture::File f;
    f.encoding = "";
    f.characterCode = 0;
    f.fileLabel = kApple;
    fixture::Variable v = fixture::String("FRUIT", 8);
    v.label = kApple;
    f.variables = {v};
    f.cases = {{kApple}, {kApple}};
    return f;
}

class EncodingChoiceTest : public testsupport::WindowTest {
  protected:
    // The 文字コード submenu's items; the last item of the text area's menu.
    QList<QAction*> Items() {
        menu_.reset(Form1->CreateContextMenu());
        QMenu* encodings = menu_->actions().last()->menu();
        EXPECT_EQ(encodings->title(), "文字コード");
        return encodings->actions();
    }
    void Choose(const QString& caption) {
        for (QAction* item : Items())
            if (item->text() == caption) item->trigger();
    }
    QString Checked() {
        for (QAction* item : Items())
            if (item->isChecked()) return item->text();
        return QString();
    }
    QStringList MemoLabels() {
        return testsupport::MemoLines(Form1->Memo1).filter(QStringLiteral("File label:"));
    }
    void TearDown() override {
        menu_.reset();  // a child of the text area, before the windows go
        WindowTest::TearDown();
    }
    std::unique_ptr<QMenu> menu_;
};

TEST_F(EncodingChoiceTest, EveryWindowFollowsTheChoiceFromTheKeptBytes) {
    const std::string path = Write(AppleFile(), "a.sav");
    dialogs.openAnswers = {path};
    new TForm1();
    Form1->Button5->click();
    GridModel* grid = frmDPGrid->model;
    EXPECT_EQ(Checked(), "自動");
    EXPECT_EQ(grid->data(grid->index(0, 0), Qt::DisplayRole).toString(), kAppleCp932 + "  ");
    int cellsChanged = 0;
    QObject::connect(grid, &QAbstractItemModel::dataChanged, [&] { ++cellsChanged; });

    std::remove(path.c_str());  // nothing is read again
    Choose("windows-1252");
    EXPECT_EQ(Checked(), "windows-1252");
    EXPECT_EQ(MemoLabels(), QStringList{"File label:   " + kApple1252});
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kApple1252));
    EXPECT_EQ(cellsChanged, 1);  // the views ask again
    EXPECT_EQ(grid->data(grid->index(0, 0), Qt::DisplayRole).toString(), kApple1252 + "  ");

    // An edit is encoded in the chosen encoding; the other cells keep the file's bytes.
    grid->EditingOn();
    ASSERT_TRUE(grid->setData(grid->index(1, 0), QStringLiteral("Š"), Qt::EditRole));
    std::string bytes;
    grid->AppendCellBytes(bytes, 0, 0);
    grid->AppendCellBytes(bytes, 1, 0);
    EXPECT_EQ(bytes, kApple + "  \x8a");

    Write(AppleFile(), "a.sav");  // a value-label window opened now reads the file
    QString label;
    onModal = [&](QDialog& d) { label = static_cast<TfrmValue&>(d).Label1->text(); };
    spssdio1::CurrentVarName = "FRUIT";
    lv::OpenValueLabelWindow();
    EXPECT_EQ(label, kApple1252);

    Choose("自動");
    EXPECT_EQ(MemoLabels(), QStringList{"File label:   " + kAppleCp932});
}

TEST_F(EncodingChoiceTest, AnotherFileStartsAutomaticAndEarlierLinesStayAsShown) {
    dialogs.openAnswers = {Write(AppleFile(), "a.sav"), Write(AppleFile(), "b.sav")};
    new TForm1();
    // A summary line the user has typed over is left alone.
    QTextCursor cursor(Form1->Memo1->document()->findBlockByNumber(7));
    ASSERT_EQ(cursor.block().text(), "File label:   " + kAppleCp932);
    cursor.insertText(QStringLiteral("mine "));
    Choose("windows-1252");
    Form1->OpenChosenFile(std::nullopt);  // the open dialog cancelled: the same file
    EXPECT_EQ(Checked(), "windows-1252");
    Form1->fileget->click();  // b.sav
    EXPECT_EQ(Checked(), "自動");
    EXPECT_EQ(MemoLabels(),
              (QStringList{"mine File label:   " + kAppleCp932, "File label:   " + kApple1252,
                           "File label:   " + kAppleCp932}));
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kAppleCp932));
}

TEST_F(EncodingChoiceTest, CorpusFileWithoutEncodingRecordInTwoEncodings) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    // Code page 65001 only; the long name is ותק_ב in UTF-8, the short name
    // its first 8 bytes (half a character at the end).
    dialogs.openAnswers = {fixture::CorpusPath("readstat_hebrew_names.sav")};
    new TForm1();
    Form1->Button5->click();
    const auto header = [] {
        return frmDPGrid->model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    EXPECT_EQ(frmVariable->ListBox1->item(0)->toolTip(), "ותק_ב");
    EXPECT_EQ(header(), "ותק_\uFFFD");
    Choose("windows-1252");
    EXPECT_EQ(frmVariable->ListBox1->item(0)->toolTip(), "×•×ª×§_×‘");
    EXPECT_EQ(header(), "×•×ª×§_×");
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].startsWith("×•×ª×§_×  num"));
}

}  // namespace
