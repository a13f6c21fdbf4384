// A file that shrinks, is rewritten or is no regular file while the reader
// opens or reads it: a failed open or read, never a signal or a wait.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;

// About 3 MB of data that compresses poorly: more than a streaming pass
// reads at a time, in several zlib blocks.
std::string WriteLargeFile(Compression c, const std::string& path) {
    fixture::File f;
    f.compression = c;
    f.zlibBlockSize = 64 << 10;
    for (int v = 0; v < 20; ++v) {
        char name[8];
        std::snprintf(name, sizeof name, "V%d", v);
        f.variables.push_back(fixture::Numeric(name));
    }
    std::mt19937 rng(5);
    for (int r = 0; r < 20000; ++r) {
        fixture::Case row;
        for (int v = 0; v < 20; ++v) row.emplace_back(double(rng()) / 7.0);
        f.cases.push_back(std::move(row));
    }
    return fixture::WriteFile(f, path);
}

// Reads up to n cases; the status that ended them (0 when all n were read).
int ReadCases(int h, int n) {
    for (int i = 0; i < n; ++i)
        if (int st = spssReadCaseRecord(h)) return st;
    return 0;
}

TEST(ReaderFileChanges, AFileCutShortUnderAStreamingReadIsAReadError) {
    const std::string dir = fixture::TempDir();
    for (Compression c : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
        SCOPED_TRACE(static_cast<int>(c));
        const std::string path = WriteLargeFile(c, dir + "/cut.sav");
        int h = 0;
        ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
        ASSERT_EQ(ReadCases(h, 10), 0);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        ASSERT_EQ(truncate(path.c_str(), st.st_size / 2), 0);
        EXPECT_EQ(ReadCases(h, 20000), SPSS_FILE_RERROR);
        spssCloseRead(h);
    }
}

TEST(ReaderFileChanges, AFileRewrittenUnderAStreamingReadIsAReadError) {
    const std::string dir = fixture::TempDir();
    const std::string path = WriteLargeFile(Compression::None, dir + "/rewritten.sav");
    int h = 0;
    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    ASSERT_EQ(ReadCases(h, 10), 0);
    // New bytes of the same length, with a modification time of their own
    // (two writes within one clock tick may share one).
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string zeros(1 << 20, '\0');
    ASSERT_EQ(pwrite(fd, zeros.data(), zeros.size(), 1 << 21), ssize_t(zeros.size()));
    const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(futimens(fd, times), 0);
    close(fd);
    EXPECT_EQ(ReadCases(h, 20000), SPSS_FILE_RERROR);
    spssCloseRead(h);
}

// The dictionary is read from the first bytes of a file, and more of them
// when it is longer.
TEST(ReaderFileChanges, ADictionaryLongerThanTheFirstReadOpensWhole) {
    fixture::File f = fixture::SampleFile();
    f.documents.assign(30000, std::string(80, 'd'));  // 2.4 MB of documents
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/long.sav");
    int h = 0;
    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    EXPECT_EQ(ReadCases(h, static_cast<int>(f.cases.size())), 0);
    EXPECT_EQ(spssReadCaseRecord(h), SPSS_FILE_END);
    spssCloseRead(h);
    ASSERT_EQ(truncate(path.c_str(), 2 << 20), 0);
    EXPECT_EQ(spssOpenRead(path.c_str(), &h), SPSS_FILE_RERROR);
}

TEST(ReaderFileChanges, OnlyRegularFilesAreOpenedAndAFifoIsNotWaitedFor) {
    const std::string dir = fixture::TempDir();
    const std::string fifo = dir + "/pipe.sav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(20);  // an open that waits for a writer fails the test here
    int h = 0;
    EXPECT_EQ(spssOpenRead(fifo.c_str(), &h), SPSS_FILE_OERROR);
    EXPECT_EQ(spssOpenRead(dir.c_str(), &h), SPSS_FILE_OERROR);
    EXPECT_EQ(spssOpenRead("/dev/zero", &h), SPSS_FILE_OERROR);
    alarm(0);
    // A symbolic link to a regular file is that file.
    const std::string real = WriteLargeFile(Compression::Bytecode, dir + "/real.sav");
    const std::string link = dir + "/link.sav";
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_EQ(spssOpenRead(link.c_str(), &h), 0);
    spssCloseRead(h);
}

}  // namespace
