// The 文字コード menu of the main window's text area: every open window shows
// the file's texts decoded with the choice, from the bytes it kept, and the
// export and the edits stay in the file's bytes.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "core/textcodec.h"
#include "forms/gridmodel.h"
#include "tests/forms/support_windows.h"
#include "tests/support/corpus.h"

namespace {

using testsupport::ListLines;
using testsupport::MemoLines;

// リンゴ in CP932; the same bytes read as windows-1252 are ƒŠƒ“ƒS.
const std::string kApple = "\x83\x8a\x83\x93\x83S";
const QString kAppleCp932 = QStringLiteral("リンゴ");
const QString kApple1252 = QStringLiteral("ƒŠƒ“ƒS");

// No encoding record and no character code: the texts are not UTF-8, so
// they are taken as CP932.
fixture::File AppleFile() {
    fixture::File f;
    f.encoding = "";
    f.characterCode = 0;
    f.fileLabel = kApple;
    fixture::Variable v = fixture::String("FRUIT", 8);
    v.label = kApple;
    f.variables = {v};
    f.valueLabels = {{{0}, {}, {{kApple, kApple}}}};
    f.cases = {{kApple}, {kApple}};
    return f;
}

class EncodingChoiceTest : public testsupport::WindowTest {
  protected:
    // Chooses caption in the 文字コード submenu of the text area's menu.
    void Choose(const QString& caption) {
        std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
        QMenu* encodings = Submenu(*menu);
        ASSERT_NE(encodings, nullptr);
        ASSERT_TRUE(encodings->menuAction()->isEnabled());
        for (QAction* action : encodings->actions()) {
            if (action->text() == caption) {
                action->trigger();
                return;
            }
        }
        FAIL() << "no item " << caption.toStdString();
    }
    static QMenu* Submenu(const QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->text() == QStringLiteral("文字コード")) return action->menu();
        return nullptr;
    }
    QString Checked() {
        std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
        for (QAction* action : Submenu(*menu)->actions())
            if (action->isChecked()) return action->text();
        return QString();
    }
    QString MemoLabelLine() {
        const QStringList memo = MemoLines(Form1->Memo1);
        return memo.filter(QStringLiteral("File label:")).last();
    }
    // The value-label window of the first variable, opened now.
    QString ValueLabelWindowLabel() {
        spssdio1::CurrentVarName = "FRUIT";
        spssdio1::SelectedVarIndex = 0;
        QString label;
        onModal = [&](QDialog& d) { label = static_cast<TfrmValue&>(d).Label1->text(); };
        lv::OpenValueLabelWindow();
        return label;
    }
};

TEST_F(EncodingChoiceTest, MenuKeepsTheEditItemsAndOffersAutomaticFirst) {
    dialogs.openAnswers = {Write(AppleFile(), "a.sav")};
    new TForm1();
    std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    EXPECT_GE(items.size(), 3);  // the standard items, a separator, 文字コード
    EXPECT_EQ(items.last(), "文字コード");
    QStringList encodings;
    for (QAction* action : Submenu(*menu)->actions())
        if (!action->isSeparator()) encodings << action->text();
    EXPECT_EQ(encodings.first(), "自動");
    for (const char* wanted : {"UTF-8", "Shift_JIS (CP932)", "EUC-JP", "windows-1252", "ISO-8859-1",
                               "ISO-8859-15", "windows-1250", "windows-1251", "KOI8-R",
                               "GBK / GB18030", "Big5 (CP950)", "EUC-KR (CP949)"})
        EXPECT_TRUE(encodings.contains(QString::fromUtf8(wanted))) << wanted;
    EXPECT_EQ(Checked(), "自動");
}

TEST_F(EncodingChoiceTest, EveryWindowFollowsTheChoiceFromTheKeptBytes) {
    const std::string path = Write(AppleFile(), "a.sav");
    dialogs.openAnswers = {path};
    new TForm1();
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    GridModel* grid = frmDPGrid->model;
    const QModelIndex cell = grid->index(0, 0);
    EXPECT_EQ(MemoLabelLine(), "File label:   " + kAppleCp932);
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kAppleCp932));
    EXPECT_EQ(grid->data(cell, Qt::DisplayRole).toString(), kAppleCp932 + "  ");

    int cellsChanged = 0;
    QObject::connect(grid, &QAbstractItemModel::dataChanged, [&] { ++cellsChanged; });
    std::remove(path.c_str());  // nothing is read again
    Choose("windows-1252");
    EXPECT_EQ(lv::ChosenDisplayEncoding(), "WINDOWS-1252");
    EXPECT_EQ(Checked(), "windows-1252");
    EXPECT_EQ(MemoLabelLine(), "File label:   " + kApple1252);
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kApple1252));
    EXPECT_EQ(cellsChanged, 1);  // the views ask again
    EXPECT_EQ(grid->data(cell, Qt::DisplayRole).toString(), kApple1252 + "  ");
    Write(AppleFile(), "a.sav");  // a new value-label window reads the file
    EXPECT_EQ(ValueLabelWindowLabel(), kApple1252);

    Choose("自動");
    EXPECT_EQ(MemoLabelLine(), "File label:   " + kAppleCp932);
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kAppleCp932));
    EXPECT_EQ(grid->data(cell, Qt::DisplayRole).toString(), kAppleCp932 + "  ");
}

TEST_F(EncodingChoiceTest, AnotherFileStartsAutomaticAndEarlierLinesStayAsShown) {
    dialogs.openAnswers = {Write(AppleFile(), "a.sav"), Write(AppleFile(), "b.sav")};
    new TForm1();
    // A summary line the user has typed over is left alone.
    QTextCursor cursor(Form1->Memo1->document()->findBlockByNumber(7));
    ASSERT_EQ(cursor.block().text(), "File label:   " + kAppleCp932);
    cursor.insertText(QStringLiteral("mine "));
    Choose("windows-1252");
    EXPECT_EQ(MemoLabelLine(), "mine File label:   " + kAppleCp932);

    Form1->OpenChosenFile(std::nullopt);  // the open dialog cancelled: same file
    EXPECT_EQ(Checked(), "windows-1252");
    Form1->fileget->click();  // b.sav
    EXPECT_EQ(lv::ChosenDisplayEncoding(), "");
    EXPECT_EQ(Checked(), "自動");
    const QStringList labels = MemoLines(Form1->Memo1).filter(QStringLiteral("File label:"));
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0], "mine File label:   " + kAppleCp932);
    EXPECT_EQ(labels[1], "File label:   " + kApple1252);
    EXPECT_EQ(labels[2], "File label:   " + kAppleCp932);
    EXPECT_TRUE(ListLines(frmVariable->ListBox1)[0].endsWith(kAppleCp932));
}

// The export writes these bytes (export_test).
TEST_F(EncodingChoiceTest, CellsKeepTheFileBytesAndEditsTakeTheChosenEncoding) {
    dialogs.openAnswers = {Write(AppleFile(), "a.sav")};
    new TForm1();
    Form1->Button5->click();
    Choose("windows-1252");
    GridModel* grid = frmDPGrid->model;
    grid->EditingOn();
    const QString edited = QStringLiteral("Š");  // 0x8a in windows-1252, none in CP932
    ASSERT_TRUE(grid->setData(grid->index(1, 0), edited, Qt::EditRole));
    std::string bytes;
    grid->AppendRowsBytes(std::span(&bytes, 1), std::vector<int>{0}, std::vector<int>{0});
    EXPECT_EQ(bytes, kApple + "   ");
    EXPECT_EQ(grid->data(grid->index(1, 0), Qt::DisplayRole).toString(), edited);
    bytes.clear();
    grid->AppendCellBytes(bytes, 1, 0);
    EXPECT_EQ(bytes, "\x8a");
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
