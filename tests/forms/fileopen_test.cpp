// The main window's other ways to a file: a FILE given at start, and a .sav
// or .zsav file dropped on one of the program's windows. Each must end as
// the open dialog's choice of that file does.
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "forms/windows/file_drop.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

using testsupport::ListLines;
using testsupport::MemoLines;
using testsupport::SmallFile;

std::unique_ptr<QMimeData> FileDrag(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    data->setText(urls.isEmpty() ? QString() : urls.front().toString());
    return data;
}

std::unique_ptr<QMimeData> FileDrag(const std::string& path) {
    return FileDrag(QStringList{QString::fromStdString(path)});
}

// A drag over target and, when target takes it, the drop; then the events
// the drop posted. Returns whether the drop was taken.
bool DragAndDrop(QWidget* target, const QMimeData& data) {
    const QPoint pos(10, 10);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

// What the windows show after a file choice.
struct Shown {
    QStringList memo, list;
    QString label;
    std::vector<std::string> messages;
    bool operator==(const Shown&) const = default;
};

Shown WhatIsShown(const testsupport::RecordingDialogs& dialogs) {
    return {MemoLines(Form1->Memo1), frmVariable ? ListLines(frmVariable->ListBox1) : QStringList(),
            Form1->Label2->text(), dialogs.messages};
}

class FileOpenTest : public testsupport::WindowTest {};

TEST_F(FileOpenTest, StartFileEndsAsTheDialogsChoiceWithoutTheDialog) {
    for (const std::string& path : {Write(SmallFile("AGE"), "a.sav"), Path("missing.sav")}) {
        SCOPED_TRACE(path);
        dialogs.openAnswers = {path};
        new TForm1();
        const Shown chosen = WhatIsShown(dialogs);
        DestroyWindows();
        dialogs.messages.clear();
        dialogs.openRequests.clear();

        new TForm1(path);
        EXPECT_TRUE(dialogs.openRequests.empty());
        EXPECT_EQ(WhatIsShown(dialogs), chosen);
        ASSERT_NE(frmVariable, nullptr);
        EXPECT_FALSE(frmVariable->isVisible());
        // The open button's dialog then offers that file, as after a choice.
        Form1->fileget->click();
        ASSERT_EQ(dialogs.openRequests.size(), 1u);
        EXPECT_EQ(dialogs.openRequests[0].second, path);
        DestroyWindows();
        dialogs.messages.clear();
        dialogs.openRequests.clear();
    }
}

TEST_F(FileOpenTest, OnlyOneLocalSavOrZsavFileIsADataFileDrop) {
    EXPECT_EQ(lv::DroppedDataFile(FileDrag("/d/a.sav").get()), "/d/a.sav");
    EXPECT_EQ(lv::DroppedDataFile(FileDrag("/d/B.ZSAV").get()), "/d/B.ZSAV");
    EXPECT_EQ(lv::DroppedDataFile(FileDrag("/d/データ.sav").get()), "/d/データ.sav");
    EXPECT_FALSE(lv::DroppedDataFile(FileDrag("/d/a.txt").get()));
    EXPECT_FALSE(lv::DroppedDataFile(FileDrag("/d/a.sav.txt").get()));
    EXPECT_FALSE(lv::DroppedDataFile(FileDrag(QStringList{"/d/a.sav", "/d/b.sav"}).get()));
    EXPECT_FALSE(lv::DroppedDataFile(FileDrag(QStringList{}).get()));
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/a.sav")});
    EXPECT_FALSE(lv::DroppedDataFile(&remote));
    QMimeData text;
    text.setText("/d/a.sav");
    EXPECT_FALSE(lv::DroppedDataFile(&text));
    EXPECT_FALSE(lv::DroppedDataFile(nullptr));
}

TEST_F(FileOpenTest, DropOnEachWindowOpensTheFileAsTheOpenButtonDoes) {
    const std::string a = Write(SmallFile("FIRST"), "a.sav");
    const std::string b = Write(SmallFile("SECOND"), "b.zsav");
    const std::string c = Write(SmallFile("THIRD"), "c.sav");
    new TForm1();  // dialog cancelled: no file yet
    ASSERT_TRUE(DragAndDrop(Form1, *FileDrag(a)));
    EXPECT_EQ(Form1->Label2->text().toStdString(), a);
    ASSERT_NE(frmVariable, nullptr);
    EXPECT_EQ(ListLines(frmVariable->ListBox1).join("").left(5), "FIRST");

    // The grid and the variable list are destroyed by the open they receive.
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    ASSERT_TRUE(DragAndDrop(frmDPGrid, *FileDrag(b)));
    EXPECT_EQ(frmDPGrid, nullptr);
    EXPECT_EQ(ListLines(frmVariable->ListBox1).join("").left(6), "SECOND");
    ASSERT_TRUE(DragAndDrop(frmVariable, *FileDrag(c)));
    EXPECT_EQ(ListLines(frmVariable->ListBox1).join("").left(5), "THIRD");

    const QStringList memo = MemoLines(Form1->Memo1);
    EXPECT_EQ(memo.mid(0, 3), (QStringList{"", "file:", QString::fromStdString("file:" + a)}));
    EXPECT_EQ(memo.count(QString::fromStdString("file:" + b)), 1);
    EXPECT_EQ(memo.count(QString::fromStdString("file:" + c)), 1);
    EXPECT_EQ(memo.count(QString(32, QLatin1Char('-'))), 3);
    EXPECT_EQ(Form1->Label2->text().toStdString(), c);
    EXPECT_EQ(dialogs.openRequests.size(), 1u);  // only the one at start
    EXPECT_EQ(Form1->OpenDialogFileName(), c);
}

TEST_F(FileOpenTest, DropOnTheTextAreaOpensTheFileInsteadOfInsertingItsName) {
    const std::string a = Write(SmallFile("FIRST"), "a.sav");
    new TForm1();
    ASSERT_TRUE(DragAndDrop(Form1->Memo1->viewport(), *FileDrag(a)));
    EXPECT_EQ(MemoLines(Form1->Memo1).mid(0, 3),
              (QStringList{"", "file:", QString::fromStdString("file:" + a)}));
    EXPECT_FALSE(Form1->Memo1->toPlainText().contains("file://"));
}

TEST_F(FileOpenTest, OtherDragsAreLeftToTheWindowsAsBefore) {
    dialogs.openAnswers = {Write(SmallFile("FIRST"), "a.sav")};
    new TForm1();
    const QStringList before = MemoLines(Form1->Memo1);
    EXPECT_FALSE(DragAndDrop(frmVariable, *FileDrag("/d/notes.txt")));
    EXPECT_FALSE(DragAndDrop(Form1, *FileDrag(QStringList{"/d/a.sav", "/d/b.sav"})));
    EXPECT_EQ(MemoLines(Form1->Memo1), before);
    // The text area still takes dropped text.
    QMimeData text;
    text.setText("dropped words");
    EXPECT_TRUE(DragAndDrop(Form1->Memo1->viewport(), text));
    EXPECT_TRUE(Form1->Memo1->toPlainText().contains("dropped words"));
}

}  // namespace
