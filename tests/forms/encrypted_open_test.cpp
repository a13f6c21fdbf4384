// An encrypted file chosen in the main window: the password dialog comes
// first and again after a wrong password; with the right one the summary,
// the list and the grid (its rows read back on demand after a jump) are
// those of the plain file; Cancel changes nothing (at the start, as if no
// file was chosen); a plain file asks nothing.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <fstream>

#include "forms/grid/grid_model.h"
#include "forms/seam/password_dialog.h"
#include "savio/file_passwords.h"
#include "tests/forms/support_windows.h"
#include "tests/support/encrypted_sav.h"
#include "tests/support/readback.h"

using namespace lv;

namespace {

using testsupport::MemoLines;

class EncryptedOpenTest : public testsupport::WindowTest {
  protected:
    // The plain file and the same encrypted under "pw".
    void MakeFiles(const fixture::File& f) {
        plain_ = Write(f, "plain.sav");
        secret_ = plain_ + ".encrypted.sav";
        std::ofstream(secret_, std::ios::binary) << fixture::Encrypt(fixture::Build(f), "pw");
    }
    // The main window's lines after the file line.
    static QStringList SummaryAfterFileLine() {
        QStringList lines = MemoLines(Form1->Memo1);
        return lines.mid(2);
    }

    std::string plain_, secret_;
};

TEST_F(EncryptedOpenTest, PasswordAskedAgainWhenWrongThenEverythingAsThePlainFile) {
    fixture::File f =
        readback::MixedFile(fixture::Compression::Zlib, fixture::Endian::Little, 3000);
    f.zlibBlockSize = 20000;
    MakeFiles(f);
    dialogs.openAnswers = {plain_};
    new TForm1();
    const QStringList plainSummary = SummaryAfterFileLine();
    const QStringList plainList = testsupport::ListLines(frmVariable->ListBox1);
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    std::vector<std::string> plainCells;
    for (int r : {2999, 0, 1500})
        for (int c = 0; c < frmDPGrid->model->columnCount(); ++c) {
            plainCells.emplace_back();
            frmDPGrid->model->AppendCellBytes(plainCells.back(), r, c);
        }
    EXPECT_TRUE(dialogs.passwordRequests.empty());

    dialogs.openAnswers = {secret_};
    dialogs.passwordAnswers = {std::string("PW"), std::string("pw")};
    Form1->fileget->click();
    ASSERT_EQ(dialogs.passwordRequests.size(), 2u);
    EXPECT_FALSE(dialogs.passwordRequests[0].second);
    EXPECT_TRUE(dialogs.passwordRequests[1].second);
    EXPECT_EQ(dialogs.passwordRequests[1].first, secret_);
    const QStringList memo = MemoLines(Form1->Memo1);
    EXPECT_EQ(memo.mid(memo.size() - plainSummary.size()), plainSummary);
    EXPECT_EQ(testsupport::ListLines(frmVariable->ListBox1), plainList);
    Form1->Button5->click();
    ASSERT_NE(frmDPGrid, nullptr);
    size_t i = 0;
    for (int r : {2999, 0, 1500})
        for (int c = 0; c < frmDPGrid->model->columnCount(); ++c) {
            std::string cell;
            frmDPGrid->model->AppendCellBytes(cell, r, c);
            EXPECT_EQ(cell, plainCells[i++]) << r << " " << c;
        }
    EXPECT_TRUE(dialogs.messages.empty());

    // Another file chosen: the password is forgotten.
    dialogs.openAnswers = {plain_};
    Form1->fileget->click();
    EXPECT_FALSE(savio::HasPassword(secret_));
}

TEST_F(EncryptedOpenTest, CancelAtTheStartIsAsIfNoFileWasChosen) {
    MakeFiles(testsupport::SmallFile("AGE"));
    dialogs.openAnswers = {secret_};
    new TForm1();
    ASSERT_EQ(dialogs.passwordRequests.size(), 1u);
    EXPECT_EQ(MemoLines(Form1->Memo1), (QStringList{"", "file:"}));
    EXPECT_EQ(Form1->Label2->text(), "ファイルが選ばれていません");
    EXPECT_EQ(frmVariable, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(savio::HasPassword(secret_));
}

TEST_F(EncryptedOpenTest, CancelKeepsTheFileOpenBeforeInEveryWindow) {
    MakeFiles(testsupport::SmallFile("AGE"));
    const std::string other = Write(testsupport::SmallFile("OTHER"), "other.sav");
    dialogs.openAnswers = {other, secret_, secret_};
    new TForm1();
    Form1->Button5->click();
    TfrmDPGrid* grid = frmDPGrid;
    TfrmVariable* list = frmVariable;
    ASSERT_TRUE(grid && list);
    const QStringList memo = MemoLines(Form1->Memo1);
    // Cancelled at once, and after a wrong password.
    dialogs.passwordAnswers = {};
    Form1->fileget->click();
    dialogs.passwordAnswers = {std::string("wrong")};
    Form1->fileget->click();
    EXPECT_EQ(dialogs.passwordRequests.size(), 3u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(MemoLines(Form1->Memo1), memo);
    EXPECT_EQ(Form1->Label2->text().toStdString(), other);
    EXPECT_EQ(spssdio1::DataFileName, other);
    EXPECT_EQ(frmDPGrid, grid);
    EXPECT_EQ(frmVariable, list);
    EXPECT_EQ(grid->model->HeaderBytes(0), "OTHER");
    EXPECT_TRUE(grid->isVisible());
    // The next open dialog still offers the file open.
    dialogs.openAnswers = {};
    Form1->fileget->click();
    EXPECT_EQ(dialogs.openRequests.back().second, other);
}

TEST_F(EncryptedOpenTest, TheDialogHidesTheTextAndEmptiesIt) {
    PasswordDialog dialog(nullptr, "secret.sav", true);
    EXPECT_EQ(dialog.windowTitle(), "パスワード");
    EXPECT_EQ(dialog.password->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(dialog.message->text().contains("パスワードが違います"));
    dialog.password->setText("パス");
    dialog.accept();
    EXPECT_EQ(dialog.TakePassword(), "パス");
    EXPECT_TRUE(dialog.password->text().isEmpty());
    PasswordDialog cancelled(nullptr, "secret.sav", false);
    cancelled.password->setText("x");
    cancelled.reject();
    EXPECT_EQ(cancelled.TakePassword(), std::nullopt);
}

}  // namespace
