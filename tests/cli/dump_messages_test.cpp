// lorivane-dump's messages: English, one line, in fixed words a script can
// match (the windows word the same errors in Japanese), bytes that are not
// UTF-8 shown escaped, and a hint at -- for a condition taken for an option.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/dump_support.h"
#include "tests/support/savfixture.h"

namespace fs = std::filesystem;

namespace {

class DumpMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        fixture::File f;
        f.variables = {fixture::Numeric("SCORE")};
        f.cases = {{1.0}, {-2.0}};
        path_ = fixture::WriteFile(f, dir_ + "/s.sav");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // What the tool printed on stderr, without its name in front.
    std::string Error(const std::vector<std::string>& args) {
        const DumpResult r = RunDump(args);
        const std::string head = "lorivane-dump: ";
        EXPECT_EQ(r.err.compare(0, head.size(), head), 0) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        return r.err.substr(std::min(head.size(), r.err.size()));
    }

    std::string dir_, path_;
};

TEST_F(DumpMessages, ConditionErrorsGiveTheirCharacterInEnglish) {
    EXPECT_EQ(Error({"select", path_, "score >"}),
              path_ +
                  ": at character 8: expected a value, a variable name, a function or \"(\", "
                  "but the condition ends here\n");
    EXPECT_EQ(Error({"grid", "--where", "score > 1 and nosuch = 1", path_}),
              path_ + ": --where: at character 15: no variable named 'nosuch'\n");
}

TEST_F(DumpMessages, ExportFailuresAreOneEnglishLineWhateverTheFormat) {
    for (const char* format : {"csv", "xlsx"}) {
        EXPECT_EQ(Error({"convert", path_, dir_ + "/none/out", "--format", format}),
                  dir_ + "/none: the output folder does not exist\n");
        // The Excel library's own complaints stay off the terminal.
        EXPECT_EQ(Error({"convert", path_, "/dev/full", "--format", format}),
                  "/dev/full: the disk is full\n");
    }
    fixture::File wide;
    for (int i = 0; i <= 16384; ++i)
        wide.variables.push_back(fixture::Numeric("V" + std::to_string(i)));
    wide.cases = {std::vector<fixture::Value>(wide.variables.size(), 1.0)};
    const std::string widePath = fixture::WriteFile(wide, dir_ + "/wide.sav");
    EXPECT_EQ(Error({"convert", widePath, dir_ + "/wide.xlsx"}),
              "an Excel sheet holds at most 16,384 columns (16385 variables to write): choose "
              "fewer variables\n");
    EXPECT_FALSE(fs::exists(dir_ + "/wide.xlsx"));
}

TEST_F(DumpMessages, AConditionTakenForAnOptionNamesTheDoubleDash) {
    const std::string condition = "-VALUE(score)>0";
    DumpResult r = RunDump({"select", path_, condition});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "lorivane-dump: unknown option '" + condition +
                         "'; put -- before a condition that begins with '-' (-- '" + condition +
                         "')\nTry 'lorivane-dump --help'.\n");
    r = RunDump({"select", path_, "--", condition});
    EXPECT_EQ(r.out, "2\n") << r.err;
    // A mistyped option is not taken for a condition.
    r = RunDump({"select", "--encodin=UTF-8", path_, "score > 0"});
    EXPECT_EQ(r.err.find("put --"), std::string::npos) << r.err;
    EXPECT_NE(RunDump({"--help"}).out.find("select FILE -- '-VALUE(X) > 0'"), std::string::npos);
}

TEST_F(DumpMessages, BytesThatAreNotUtf8AndControlsAreEscaped) {
    EXPECT_EQ(Error({"select", path_, "sc\xff = 1"}),
              path_ + ": at character 1: no variable named 'sc\\xff'\n");
    EXPECT_EQ(Error({"convert", path_, "-", "--vars", "a\nb\xe5\xb9"}),
              path_ + ": no variable named 'a\\x0ab\\xe5\\xb9'\n");
    // Valid UTF-8 is shown as it is.
    EXPECT_EQ(Error({"select", path_, "年齢 = 1"}),
              path_ + ": at character 1: no variable named '年齢'\n");
}

}  // namespace
