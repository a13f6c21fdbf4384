// The chosen file's password: asked for only when the file is encrypted,
// again after a wrong one, kept while the file stays chosen (the summary
// then reads as the plain file's) and forgotten when another is chosen;
// Cancel changes nothing: the file chosen before keeps its password.
#include "core/state/data_file_password.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "core/state/spssdio1.h"
#include "core/windows/summary.h"
#include "savio/file_passwords.h"
#include "tests/core/grid/grid_support.h"
#include "tests/support/encrypted_sav.h"
#include "tests/support/savfixture.h"

namespace {

class PasswordDialogs : public gridtest::ScriptedDialogs {
  public:
    std::deque<std::optional<std::string>> answers;  // empty: cancelled
    std::vector<bool> asked;                         // wrong, per question
    std::optional<std::string> AskPassword(std::string_view, bool wrong) override {
        asked.push_back(wrong);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class DataFilePassword : public ::testing::Test {
  protected:
    void SetUp() override {
        spssdio1::ResetSharedState();
        const std::string dir = fixture::TempDir();
        const fixture::File f = fixture::SampleFile();
        plain_ = fixture::WriteFile(f, dir + "/plain.sav");
        secret_ = dir + "/secret.sav";
        std::ofstream(secret_, std::ios::binary) << fixture::Encrypt(fixture::Build(f), "pw");
    }
    void TearDown() override { lv::ForgetDataFilePassword(); }

    std::vector<std::string> SummaryOf(const std::string& path) {
        spssdio1::DataFileName = path;
        lv::LineCollector lines;
        lv::ShowFileSummaryLines(lines);
        return lines.Bytes();
    }

    PasswordDialogs dialogs_;
    std::string plain_, secret_;
};

TEST_F(DataFilePassword, AskedUntilRightThenKeptWhileChosen) {
    EXPECT_EQ(lv::Unlock::Open, lv::UnlockDataFile(plain_));
    EXPECT_TRUE(dialogs_.asked.empty());  // a plain file asks nothing

    dialogs_.answers = {std::string("PW"), std::string("pw")};
    EXPECT_EQ(lv::Unlock::Open, lv::UnlockDataFile(secret_));
    EXPECT_EQ(dialogs_.asked, (std::vector<bool>{false, true}));
    EXPECT_EQ(SummaryOf(secret_), SummaryOf(plain_));

    // Chosen again: not asked again.
    EXPECT_EQ(lv::Unlock::Open, lv::UnlockDataFile(secret_));
    EXPECT_EQ(dialogs_.asked.size(), 2u);

    // Another file chosen: the password is gone.
    EXPECT_EQ(lv::Unlock::Open, lv::UnlockDataFile(plain_));
    EXPECT_FALSE(savio::HasPassword(secret_));
    int h = 0;
    EXPECT_EQ(spssOpenRead(secret_.c_str(), &h), SPSS_FILE_ENCRYPTED);
}

TEST_F(DataFilePassword, CancelKeepsThePasswordOfTheFileChosenBefore) {
    const std::string other = secret_ + ".other.sav";
    std::filesystem::copy_file(secret_, other);
    dialogs_.answers = {std::string("pw")};
    ASSERT_EQ(lv::UnlockDataFile(secret_), lv::Unlock::Open);
    dialogs_.answers = {std::string("nope")};
    EXPECT_EQ(lv::UnlockDataFile(other), lv::Unlock::Cancelled);
    EXPECT_EQ(dialogs_.asked, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(savio::HasPassword(other));
    EXPECT_TRUE(savio::HasPassword(secret_));
    const std::vector<std::string> summary = SummaryOf(other);
    ASSERT_FALSE(summary.empty());
    EXPECT_EQ(summary[0], "ファイルを開くことに失敗しました");
    EXPECT_EQ(SummaryOf(secret_), SummaryOf(plain_));
}

}  // namespace
