// The dictionary additions of the windows: the main window's context menu
// opens ファイル情報, the variable list's writes the dictionary as CSV or
// JSON by the chosen file type; nothing changes until they are used.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <memory>
#include <nlohmann/json.hpp>

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/file_dictionary.h"
#include "forms/seam/qt_dialogs.h"
#include "forms/windows/file_info.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using testsupport::MemoLines;

QAction* FindAction(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    return nullptr;
}

std::string ReadAll(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::string out;
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

fixture::File JapaneseDictionary() {
    fixture::File f = fixture::SampleFile();
    f.encoding = "SHIFT_JIS";
    f.characterCode = 932;
    f.variables[0].label = "\x94\xd4\x8d\x86";                                // 番号
    f.documents = {"\x92\xb2\x8d\xb8\x82\xcc\x83\x81\x83\x82"};               // 調査のメモ
    f.fileAttributes = {{"\x8d\xec\x90\xac\x8e\xd2", {"\x8e\x52\x93\x63"}}};  // 作成者: 山田
    f.mrsets = {{"$both", "\x97\xbc\x95\xfb", false, "", false, false, {5, 6}}};  // 両方
    return f;
}

class DictionaryWindows : public testsupport::WindowTest {
  protected:
    void Start(const fixture::File& f) {
        path_ = Write(f, "dict.sav");
        dialogs.openAnswers = {path_};
        new TForm1();
    }
    std::string path_;
};

TEST_F(DictionaryWindows, MainWindowMenuKeepsTheEditingItemsAndAddsFileInfo) {
    new TForm1();  // no file chosen
    std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
    QAction* info = FindAction(*menu, QStringLiteral("ファイル情報"));
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->isEnabled());
    const qsizetype at = menu->actions().indexOf(info);
    EXPECT_GT(at, 3);  // after the standard editing items and a separator
    EXPECT_TRUE(menu->actions()[at - 1]->isSeparator());
    EXPECT_EQ(frmFileInfo, nullptr);  // nothing is created until asked
}

TEST_F(DictionaryWindows, FileInfoShowsTheFilesRecordsDecodedAndAligned) {
    Start(JapaneseDictionary());
    const QStringList memoBefore = MemoLines(Form1->Memo1);
    std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
    QAction* info = FindAction(*menu, QStringLiteral("ファイル情報"));
    ASSERT_TRUE(info && info->isEnabled());
    info->trigger();
    ASSERT_NE(frmFileInfo, nullptr);
    EXPECT_TRUE(frmFileInfo->isVisible());
    EXPECT_EQ(frmFileInfo->windowTitle(), "ファイル情報");
    EXPECT_TRUE(frmFileInfo->Memo1->isReadOnly());
    const QStringList lines = MemoLines(frmFileInfo->Memo1);
    EXPECT_EQ(lines[0], QString::fromStdString("ファイル:           " + path_));
    EXPECT_TRUE(lines.contains("  調査のメモ"));
    EXPECT_TRUE(lines.contains("  作成者: 山田"));
    EXPECT_TRUE(lines.contains("  $both  カテゴリ  ラベル: 両方"));
    EXPECT_TRUE(
        lines.contains("文字コード:         SHIFT_JIS (文字コードレコード: SHIFT_JIS, "
                       "文字コード番号: 932)"));
    EXPECT_EQ(MemoLines(Form1->Memo1), memoBefore);  // the log is not touched
    EXPECT_TRUE(dialogs.messages.empty());

    // The user's choice of encoding decodes the window's texts again.
    lv::ChooseDisplayEncoding("UTF-8");
    EXPECT_FALSE(MemoLines(frmFileInfo->Memo1).contains("  調査のメモ"));
    EXPECT_TRUE(MemoLines(frmFileInfo->Memo1)[14].startsWith("文字コード:         UTF-8 ("));
    lv::ChooseDisplayEncoding("");
    EXPECT_TRUE(MemoLines(frmFileInfo->Memo1).contains("  調査のメモ"));

    // Choosing another file closes the window of the previous one.
    dialogs.openAnswers = {Write(fixture::SampleFile(), "other.sav")};
    Form1->filegetClick();
    EXPECT_EQ(frmFileInfo, nullptr);
}

// A file damaged after it was chosen: the message gives the reader's reason.
TEST_F(DictionaryWindows, FileInfoOfARefusedFileSaysWhy) {
    const fixture::File f = fixture::SampleFile();
    Start(f);
    std::string bytes = fixture::Build(f);
    const size_t record = fixture::Describe(f).variableRecords[0];
    fixture::PutInt32(bytes, record + 4, 300, fixture::Endian::Little);
    std::FILE* out = std::fopen(path_.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    std::unique_ptr<QMenu> menu(Form1->CreateContextMenu());
    FindAction(*menu, QStringLiteral("ファイル情報"))->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "ファイル情報の読み込みに失敗しました:SPSS_INVALID_FILE\nvariable record at 0xb0: "
              "invalid variable type 300");
}

TEST_F(DictionaryWindows, VariableListWritesTheCodebookOrJsonByTheChosenType) {
    Start(JapaneseDictionary());
    ASSERT_NE(frmVariable, nullptr);
    const std::string csvPath = Path("out.csv"), jsonPath = Path("out.json");
    dialogs.saveAsAnswers = {lv::SaveChoice{csvPath, 0}, lv::SaveChoice{jsonPath, 1}};
    QMenu* menu = frmVariable->ContextMenu();
    emit menu->aboutToShow();
    QAction* write = FindAction(*menu, QStringLiteral("辞書を書き出す…"));
    ASSERT_TRUE(write && write->isEnabled());
    EXPECT_TRUE(FindAction(*menu, QStringLiteral("コピー")));  // after the list's own commands
    for (int i = 0; i < 2; ++i) write->trigger();
    ASSERT_EQ(dialogs.saveAsRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveAsRequests[0].first, "CSV ﾌｧｲﾙ|*.csv|JSON ﾌｧｲﾙ|*.json");
    EXPECT_EQ(dialogs.saveAsRequests[0].second, Path("dict.csv"));
    lv::FileDictionary dict;
    ASSERT_EQ(lv::ReadFileDictionary(path_, &dict), 0);
    EXPECT_EQ(ReadAll(csvPath), lv::CodebookCsv(dict, "SHIFT_JIS"));
    const auto json = nlohmann::json::parse(ReadAll(jsonPath));
    EXPECT_EQ(json["variables"][0]["label"], "番号");
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_TRUE(dialogs.messages.empty());

    // A cancelled dialog writes nothing; the shared state is left alone.
    const int status = spssdio1::LastStatus;
    write->trigger();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(spssdio1::LastStatus, status);
}

TEST_F(DictionaryWindows, AnUnwritableTargetGivesTheExportsErrorBox) {
    Start(fixture::SampleFile());
    dialogs.saveAsAnswers = {lv::SaveChoice{Path("no/such/dir/out.csv"), 0}};
    FindAction(*frmVariable->ContextMenu(), QStringLiteral("辞書を書き出す…"))->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST(SaveDialogSuffix, TheChosenTypesExtensionIsAddedWhenThePathHasNone) {
    const QString csv = QStringLiteral("CSV ﾌｧｲﾙ (*.csv)");
    EXPECT_EQ(lv::WithFilterSuffix("/tmp/book", csv), "/tmp/book.csv");
    EXPECT_EQ(lv::WithFilterSuffix("/tmp/book.txt", csv), "/tmp/book.txt");
    EXPECT_EQ(lv::WithFilterSuffix("/tmp/book", QStringLiteral("JSON ﾌｧｲﾙ (*.json)")),
              "/tmp/book.json");
    EXPECT_EQ(lv::WithFilterSuffix("/tmp/book", QStringLiteral("all (*)")), "/tmp/book");
}

}  // namespace
