// lorivane-dump on encrypted files: the password from --password-file or
// LORIVANE_PASSWORD gives the plain file's output; none, a wrong one or an
// unreadable password file gives one line on stderr and exit status 1.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

#include "dump_support.h"
#include "tests/support/encrypted_sav.h"
#include "tests/support/savfixture.h"

namespace {

class DumpPassword : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        fixture::File f = fixture::SampleFile();
        plain_ = fixture::WriteFile(f, dir_ + "/plain.sav");
        secret_ = dir_ + "/secret.sav";
        std::ofstream(secret_, std::ios::binary) << fixture::Encrypt(fixture::Build(f), "s3cret");
    }
    void TearDown() override { unsetenv("LORIVANE_PASSWORD"); }

    std::string PasswordFile(const std::string& text) {
        const std::string path = dir_ + "/password.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string dir_, plain_, secret_;
};

bool OneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST_F(DumpPassword, PasswordFileAndVariableGiveThePlainOutput) {
    for (const char* cmd : {"vars", "grid"}) {
        const DumpResult want = RunDump({cmd, plain_});
        ASSERT_EQ(want.status, 0) << want.err;
        // The first line only, its line end as Windows editors leave it.
        const DumpResult fromFile =
            RunDump({cmd, "--password-file", PasswordFile("s3cret\r\nnext line\n"), secret_});
        EXPECT_EQ(fromFile.status, 0) << fromFile.err;
        EXPECT_EQ(fromFile.out, want.out) << cmd;
        setenv("LORIVANE_PASSWORD", "s3cret", 1);
        const DumpResult fromVariable = RunDump({cmd, secret_});
        unsetenv("LORIVANE_PASSWORD");
        EXPECT_EQ(fromVariable.status, 0) << fromVariable.err;
        EXPECT_EQ(fromVariable.out, want.out) << cmd;
    }
    // A plain file opens as before with a password given.
    const DumpResult plain = RunDump({"vars", "--password-file", PasswordFile("x"), plain_});
    EXPECT_EQ(plain.status, 0) << plain.err;
}

TEST_F(DumpPassword, MissingOrWrongPasswordIsOneLineAndStatusOne) {
    for (const char* cmd : {"vars", "grid", "meta", "labels"}) {
        std::vector<std::string> args = {cmd, secret_};
        if (std::string(cmd) == "labels") args.push_back("ID");
        const DumpResult none = RunDump(args);
        EXPECT_EQ(none.status, 1) << cmd;
        EXPECT_TRUE(OneLine(none.err)) << none.err;
        EXPECT_NE(none.err.find("encrypted"), std::string::npos) << none.err;

        args.insert(args.begin() + 1, {"--password-file", PasswordFile("S3cret\n")});
        const DumpResult wrong = RunDump(args);
        EXPECT_EQ(wrong.status, 1) << cmd;
        EXPECT_TRUE(OneLine(wrong.err)) << wrong.err;
        EXPECT_NE(wrong.err.find("wrong password"), std::string::npos) << wrong.err;
    }
    const DumpResult unreadable =
        RunDump({"vars", "--password-file", dir_ + "/no-such-file", secret_});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(OneLine(unreadable.err)) << unreadable.err;
}

TEST_F(DumpPassword, APasswordFileIsAFileOrAPipeWithAShortFirstLine) {
    DumpResult r =
        RunDump({"vars", "--password-file", "/dev/stdin", secret_}, "printf 's3cret\\n'");
    EXPECT_EQ(r.status, 0) << r.err;
    // Refused before a byte is read: /dev/zero would never end.
    for (const std::string& path : {dir_, std::string("/dev/zero")}) {
        r = RunDump({"vars", "--password-file", path, secret_});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "lorivane-dump: " + path +
                             ": the password file is neither a regular file nor a pipe\n");
    }
    // A line without end, through a pipe or in a file, is read only as far
    // as a password could reach.
    const std::string tooLong =
        ": the first line is longer than 4096 bytes, too long for a password\n";
    r = RunDump({"vars", "--password-file", "/dev/stdin", secret_},
                "head -c 1000000 /dev/zero | tr '\\0' a");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lorivane-dump: /dev/stdin" + tooLong);
    const std::string file = PasswordFile(std::string(4097, 'a') + "\n");
    EXPECT_EQ(RunDump({"vars", "--password-file", file, secret_}).err,
              "lorivane-dump: " + file + tooLong);
}

TEST_F(DumpPassword, AnEmptyPasswordIsNoPasswordNotAWrongOne) {
    setenv("LORIVANE_PASSWORD", "", 1);
    DumpResult r = RunDump({"vars", secret_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lorivane-dump: " + secret_ +
                         ": encrypted, and no password was given (LORIVANE_PASSWORD is empty)\n");
    EXPECT_EQ(RunDump({"vars", plain_}).status, 0);
    unsetenv("LORIVANE_PASSWORD");
    const std::string file = PasswordFile("\r\ns3cret\n");
    r = RunDump({"vars", "--password-file", file, secret_});
    EXPECT_EQ(r.err, "lorivane-dump: " + secret_ +
                         ": encrypted, and no password was given (the first line of " + file +
                         " is empty)\n");
}

}  // namespace

// convert to .sav writes an encrypted file plain only with --decrypt.
TEST_F(DumpPassword, ConvertToSavNeedsDecrypt) {
    setenv("LORIVANE_PASSWORD", "s3cret", 1);
    const std::string out = dir_ + "/out.sav";
    DumpResult r = RunDump({"convert", secret_, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--decrypt"), std::string::npos) << r.err;
    EXPECT_FALSE(std::ifstream(out).good());
    r = RunDump({"convert", secret_, out, "--decrypt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunDump({"grid", out}).out, RunDump({"grid", plain_}).out);
}
