#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/export/text_file.h"
#include "core/state/errors.h"

namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lorivane-textfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::string command = "rm -rf '" + dir_ + "'";
        (void)std::system(command.c_str());
    }
    std::string Path(const char* name) const { return dir_ + "/" + name; }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The size of the file this process has open in the folder (the
    // writer's, not yet named).
    off_t OpenFileSize() const {
        for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const std::string target = fs::read_symlink(fd.path(), error).string();
            if (error || target.rfind(dir_ + "/", 0) != 0) continue;
            struct stat st {};
            if (stat(fd.path().c_str(), &st) == 0) return st.st_size;
        }
        return -1;
    }
    static off_t SizeOf(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
    }

    std::string dir_;
};

// The code and message of the error a call raises; code -1 when none.
template <typename Call>
std::pair<int, std::string> ErrorOf(Call call) {
    try {
        call();
    } catch (const lv::InOutError& e) {
        return {e.code, e.what()};
    }
    return {-1, ""};
}

}  // namespace

TEST(InOutMessages, TableAndOtherCodes) {
    EXPECT_EQ(lv::InOutMessage(2), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(lv::InOutMessage(3), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(lv::InOutMessage(4), "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます");
    EXPECT_EQ(lv::InOutMessage(5), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(lv::InOutMessage(100), "ﾌｧｲﾙの末尾以降を読み込みました");
    EXPECT_EQ(lv::InOutMessage(101), "ﾃﾞｨｽｸがいっぱいです");
    EXPECT_EQ(lv::InOutMessage(106), "入力値が数値ではありません");
    EXPECT_EQ(lv::InOutMessage(32), "I/O ｴﾗｰ (32)");
    EXPECT_EQ(lv::InOutMessage(0), "I/O ｴﾗｰ (0)");
    EXPECT_EQ(lv::InOutMessage(-7), "I/O ｴﾗｰ (-7)");
    lv::InOutError error(5);
    EXPECT_EQ(error.code, 5);
    EXPECT_STREQ(error.what(), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
}

TEST(InOutMessages, ErrnoMapping) {
    EXPECT_EQ(lv::InOutCodeFromErrno(ENOENT), 2);
    for (int err : {ENOTDIR, ENAMETOOLONG, EINVAL}) EXPECT_EQ(lv::InOutCodeFromErrno(err), 3);
    for (int err : {EMFILE, ENFILE}) EXPECT_EQ(lv::InOutCodeFromErrno(err), 4);
    for (int err : {EACCES, EPERM, EROFS, EISDIR}) EXPECT_EQ(lv::InOutCodeFromErrno(err), 5);
    EXPECT_EQ(lv::InOutCodeFromErrno(ENOSPC), 101);
    EXPECT_EQ(lv::InOutCodeFromErrno(EFBIG), EFBIG);
    // An errno whose number is a code with its own text keeps away from it.
    EXPECT_EQ(lv::InOutCodeFromErrno(EIO), 1000 + EIO);
    EXPECT_EQ(lv::InOutMessage(lv::InOutCodeFromErrno(EIO)), "I/O ｴﾗｰ (1005)");
}

TEST_F(TextFileTest, WritesBytesAsGivenWithCrLf) {
    lv::TextFileWriter writer;
    writer.Create(Path("out.txt"));
    writer.Write("abc     ");
    writer.WriteChar(' ');
    writer.Write(std::string_view("\x82\xa0\0z", 4));  // Shift-JIS and a NUL, unchanged
    writer.WriteLine();
    writer.WriteLine();
    writer.Write("");
    writer.Close();
    EXPECT_EQ(Contents(Path("out.txt")), std::string("abc      \x82\xa0\0z\r\n\r\n", 17));
}

TEST_F(TextFileTest, CloseReplacesTheFileAndIsIdempotent) {
    std::ofstream(Path("old.txt")) << "previous content that must go";
    lv::TextFileWriter writer;
    writer.Create(Path("old.txt"));
    writer.Write("new");
    EXPECT_EQ(Contents(Path("old.txt")), "previous content that must go");
    writer.Close();
    EXPECT_EQ(Contents(Path("old.txt")), "new");
    writer.Create(Path("old.txt"));
    writer.Close();
    writer.Close();
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(Contents(Path("old.txt")), "");
}

TEST_F(TextFileTest, FileReceivesWholeBlocksUntilClose) {
    lv::TextFileWriter writer;
    writer.Create(Path("big.txt"));
    std::string line(1000, 'x');
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        writer.Write(line);
        writer.WriteLine();
        expected += line + "\r\n";
        off_t size = OpenFileSize();
        ASSERT_EQ(size % lv::TextFileWriter::kBlockSize, 0);
        ASSERT_LE(static_cast<size_t>(size), expected.size());
    }
    EXPECT_GT(OpenFileSize(), 0);
    EXPECT_EQ(SizeOf(Path("big.txt")), -1) << "named before Close";
    writer.Close();
    EXPECT_EQ(Contents(Path("big.txt")), expected);
}

TEST_F(TextFileTest, AWriterNotClosedLeavesNothing) {
    std::ofstream(Path("kept.txt")) << "kept";
    {
        lv::TextFileWriter writer;
        writer.Create(Path("d.txt"));
        writer.Write("dropped");
        lv::TextFileWriter other;
        other.Create(Path("kept.txt"));
        other.Write(std::string(lv::TextFileWriter::kBufferSize * 3, 'z'));
        other.Discard();
    }
    EXPECT_EQ(Contents(Path("kept.txt")), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TextFileTest, CreateFailuresCarryTheirCodes) {
    lv::TextFileWriter writer;
    auto missing = ErrorOf([&] { writer.Create(Path("no/such/dir/x.txt")); });
    EXPECT_EQ(missing.first, 2);
    EXPECT_EQ(missing.second, "ﾌｧｲﾙが見つかりません");

    std::ofstream(Path("plain")) << "x";
    auto underFile = ErrorOf([&] { writer.Create(Path("plain") + "/x.txt"); });
    EXPECT_EQ(underFile.first, 3);
    EXPECT_EQ(underFile.second, "不正なﾌｧｲﾙ名です");

    auto directory = ErrorOf([&] { writer.Create(dir_); });
    EXPECT_EQ(directory.first, 5);
    EXPECT_EQ(directory.second, "ﾌｧｲﾙへのｱｸｾｽが拒否されました");

    auto empty = ErrorOf([&] { writer.Create(""); });
    EXPECT_EQ(empty.first, 2);
    EXPECT_FALSE(writer.isOpen());
}

TEST_F(TextFileTest, ReadOnlyFileIsAccessDenied) {
    std::string target = Path("readonly.txt");
    std::ofstream(target) << "keep me";
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    if (access(target.c_str(), W_OK) == 0) {
        // Permission bits do not bind root; a sysfs read-only file does.
        target = "/sys/kernel/notes";
        if (access(target.c_str(), F_OK) != 0) GTEST_SKIP() << "no read-only file for this user";
    }
    lv::TextFileWriter writer;
    auto denied = ErrorOf([&] { writer.Create(target); });
    EXPECT_EQ(denied.first, 5);
    EXPECT_EQ(denied.second, "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    if (target == Path("readonly.txt")) {
        EXPECT_EQ(Contents(target), "keep me");
    }
}

TEST_F(TextFileTest, FullDeviceFailsAtTheFlushAndCloseRepeatsThatError) {
    lv::TextFileWriter writer;
    writer.Create("/dev/full");
    writer.Write("short");  // still buffered
    auto full = ErrorOf([&] { writer.Close(); });
    EXPECT_EQ(full.first, 101);
    EXPECT_EQ(full.second, "ﾃﾞｨｽｸがいっぱいです");
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(ErrorOf([&] { writer.Close(); }).first, -1);
}

TEST_F(TextFileTest, FailedWriteIsNeverHiddenLater) {
    lv::TextFileWriter writer;
    writer.Create("/dev/full");
    std::string chunk(lv::TextFileWriter::kBufferSize, 'y');
    auto first = ErrorOf([&] { writer.Write(chunk); });
    EXPECT_EQ(first.first, 101);
    // Further output and the close report the same failure, not success.
    EXPECT_EQ(ErrorOf([&] { writer.Write("more"); }).first, 101);
    EXPECT_EQ(ErrorOf([&] { writer.WriteLine(); }).first, 101);
    EXPECT_EQ(ErrorOf([&] { writer.Close(); }).first, 101);
    // The writer can be used again afterwards.
    writer.Create(Path("after.txt"));
    writer.Write("ok");
    writer.Close();
    EXPECT_EQ(Contents(Path("after.txt")), "ok");
}

TEST_F(TextFileTest, WritingWithoutAnOpenFileFails) {
    lv::TextFileWriter writer;
    EXPECT_EQ(ErrorOf([&] { writer.Write("x"); }).first, lv::kInOutNotOpen);
    EXPECT_EQ(ErrorOf([&] { writer.WriteChar('x'); }).first, lv::kInOutNotOpen);
    EXPECT_EQ(ErrorOf([&] { writer.Close(); }).first, -1);
}
