// Cases read again through the index taken during the sequential read give
// the bytes the value calls gave, wherever the read starts; a file that
// changed after the index was taken gives Changed and no values.
#include "savio/case_reread.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "savio/open_files.h"
#include "tests/support/corpus.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using readback::ReadBack;
using readback::ReadFileThroughCalls;

using readback::MixedFile;

struct Reread {
    savio::RereadStatus status;
    std::vector<readback::Cells> rows;
    int64_t firstRow = -1;
};

Reread FromFile(const std::string& path, const savio::CaseIndex& index, int64_t first, int64_t last,
                savio::InflatedBlock* kept = nullptr) {
    Reread r;
    r.status = savio::RereadCases(
        path, index, first, last,
        [&](int64_t row, const uint8_t* s) {
            if (r.firstRow < 0) r.firstRow = row;
            r.rows.push_back(readback::CellsFromSlots(index, s));
            return true;
        },
        kept);
    return r;
}

// Rows [first, last) read again from path equal the first read.
void ExpectSame(const ReadBack& once, const std::string& path, int64_t first, int64_t last,
                savio::InflatedBlock* kept = nullptr) {
    const Reread again = FromFile(path, once.index, first, last, kept);
    last = std::min<int64_t>(last, once.rows.size());
    ASSERT_EQ(again.status, savio::RereadStatus::Ok) << first << ".." << last;
    ASSERT_EQ(int64_t(again.rows.size()), last - first) << first << ".." << last;
    for (int64_t r = first; r < last; ++r)
        ASSERT_EQ(again.rows[size_t(r - first)], once.rows[size_t(r)]) << "row " << r;
    if (first < last) {
        EXPECT_EQ(again.firstRow, first);
    }
}

class CaseReread : public ::testing::TestWithParam<std::tuple<Compression, Endian>> {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    fixture::File File(int cases) const {
        return MixedFile(std::get<0>(GetParam()), std::get<1>(GetParam()), cases);
    }
    std::string Write(const fixture::File& f) const {
        return fixture::WriteFile(f, dir_ + "/f.sav");
    }
    std::string dir_;
};

// Checkpoints at every case and every 4 cases: every row alone, ranges
// across checkpoints, random ranges, ranges past the end; each read starting
// from the inflated block the read before it ended in, if it is the same.
TEST_P(CaseReread, AnyRowOrRangeEqualsTheSequentialRead) {
    const std::string path = Write(File(203));
    for (int shift : {0, 2}) {
        const ReadBack once = ReadFileThroughCalls(path, shift);
        ASSERT_EQ(once.status, SPSS_FILE_END);
        ASSERT_EQ(once.index.cases, 203);
        const bool compressed = std::get<0>(GetParam()) != Compression::None;
        EXPECT_EQ(once.index.checkpoints.size(),
                  compressed ? (203u + (1u << shift) - 1) >> shift : 0u);
        savio::InflatedBlock kept;
        for (int64_t r = 0; r < 203; ++r) ExpectSame(once, path, r, r + 1, &kept);
        std::mt19937 rng(7);
        for (int i = 0; i < 20; ++i) {
            const int64_t a = rng() % 203;
            ExpectSame(once, path, a, a + rng() % (204 - a), &kept);
        }
        ExpectSame(once, path, 3, 203);
        ExpectSame(once, path, 200, 10000);
    }
}

// Truncated, rewritten in place, replaced, removed: Changed, and not one row.
TEST_P(CaseReread, ChangedFileGivesNoValues) {
    const fixture::File f = File(60);
    const std::string path = Write(f);
    const ReadBack once = ReadFileThroughCalls(path, 2);
    auto expectChanged = [&](const char* what) {
        const Reread r = FromFile(path, once.index, 0, 60);
        EXPECT_EQ(r.status, savio::RereadStatus::Changed) << what;
        EXPECT_TRUE(r.rows.empty()) << what;
    };
    ASSERT_EQ(truncate(path.c_str(), off_t(std::filesystem::file_size(path) - 8)), 0);
    expectChanged("truncated");
    // The same bytes again, but a new modification time.
    fixture::WriteFile(f, path);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    expectChanged("rewritten");
    // Another file of the same size renamed over it.
    fixture::File other = f;
    std::get<double>(other.cases[30][1]) += 1;
    ASSERT_EQ(rename(fixture::WriteFile(other, dir_ + "/other.sav").c_str(), path.c_str()), 0);
    expectChanged("replaced");
    std::filesystem::remove(path);
    expectChanged("removed");
}

// One open file read twice: the second pass, restarted after another file
// was renamed over the path, gives the first file's cases again, and so do
// re-reads through the open file's bytes after its close; a file written
// to in place is Changed.
TEST_P(CaseReread, AnOpenFileIsReadAgainWhateverThePathNamesSince) {
    const fixture::File f = File(50);
    const std::string path = Write(f);
    int h = 0;
    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    const ReadBack first = readback::ReadThroughCalls(h, 2);
    ASSERT_EQ(first.rows.size(), 50u);
    fixture::File other = File(20);
    ASSERT_EQ(rename(fixture::WriteFile(other, dir_ + "/other.sav").c_str(), path.c_str()), 0);
    ASSERT_TRUE(savio::RestartCases(h));
    const ReadBack second = readback::ReadThroughCalls(h, -1);
    EXPECT_EQ(second.rows, first.rows);
    EXPECT_EQ(second.index.checkpoints, first.index.checkpoints);
    const std::shared_ptr<savio::RandomReads> reads = savio::ReadsOfOpenFile(h);
    ASSERT_TRUE(reads);
    EXPECT_EQ(spssCloseRead(h), 0);
    EXPECT_FALSE(savio::RestartCases(h));
    EXPECT_FALSE(savio::ReadsOfOpenFile(h));
    std::vector<readback::Cells> again;
    EXPECT_EQ(savio::RereadCasesFrom(reads, first.index, 10, 50,
                                     [&](int64_t, const uint8_t* s) {
                                         again.push_back(readback::CellsFromSlots(first.index, s));
                                         return true;
                                     }),
              savio::RereadStatus::Ok);
    EXPECT_EQ(again, std::vector<readback::Cells>(first.rows.begin() + 10, first.rows.end()));
    EXPECT_TRUE(savio::ReadsUnchanged(*reads));

    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    const std::shared_ptr<savio::RandomReads> held = savio::ReadsOfOpenFile(h);
    spssCloseRead(h);
    ASSERT_EQ(truncate(path.c_str(), 100), 0);
    EXPECT_FALSE(savio::ReadsUnchanged(*held));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, CaseReread,
                         ::testing::Combine(::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib),
                                            ::testing::Values(Endian::Little, Endian::Big)));

// A header that does not say how many cases: the count comes from the data.
TEST(CaseRereadShapes, UnknownCaseCount) {
    const std::string dir = fixture::TempDir();
    for (Compression c : {Compression::Bytecode, Compression::Zlib, Compression::None}) {
        fixture::File f = MixedFile(c, Endian::Little, 77);
        f.headerCaseCount = -1;
        f.bytecodeEndMarker = true;
        const std::string path = fixture::WriteFile(f, dir + "/u.sav");
        const ReadBack once = ReadFileThroughCalls(path, 3);
        ASSERT_EQ(once.rows.size(), 77u);
        ExpectSame(once, path, 0, 77);
        ExpectSame(once, path, 76, 77);
    }
    std::filesystem::remove_all(dir);
}

// A read that failed at case r indexes the cases before it; bytes that no
// longer decode where a checkpoint points give Changed, not values; an index
// of bytes in memory finds no file on disk.
TEST(CaseRereadShapes, DamagedDataIsNeverValues) {
    const fixture::File f = MixedFile(Compression::Bytecode, Endian::Little, 40);
    const std::string bytes = fixture::Build(f);
    const size_t data = fixture::Describe(f).data;
    int h = 0;
    ASSERT_EQ(savio::OpenFromBytes(bytes.substr(0, data + (bytes.size() - data) / 2), "c", &h), 0);
    const ReadBack partial = readback::ReadThroughCalls(h, 2);
    spssCloseRead(h);
    EXPECT_EQ(partial.status, SPSS_FILE_RERROR);
    EXPECT_EQ(partial.index.cases, int64_t(partial.rows.size()));

    ASSERT_EQ(savio::OpenFromBytes(bytes, "w", &h), 0);
    const ReadBack once = readback::ReadThroughCalls(h, 2);
    spssCloseRead(h);
    std::string damaged = bytes;
    const savio::StreamPosition at = once.index.Checkpoint(5);
    damaged[at.group + size_t(at.used)] = char(252);  // end of data where case 20 starts
    int seen = 0;
    auto count = [&](int64_t, const uint8_t*) { return ++seen > 0; };
    EXPECT_EQ(savio::RereadCasesInMemory(damaged, once.index, 20, 24, count),
              savio::RereadStatus::Changed);
    EXPECT_EQ(savio::RereadCases("/nonexistent", once.index, 0, 1, count),
              savio::RereadStatus::Changed);
    EXPECT_EQ(seen, 0);
}

// Every file of the real-file corpus read again from a checkpoint at every
// case: the writers' streams resume anywhere.
TEST(CaseRereadCorpus, EveryFileResumesAnywhere) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fixture::CorpusDir())) {
        const std::string path = entry.path().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".sav" && ext != ".zsav") continue;
        const ReadBack once = ReadFileThroughCalls(path, 0);
        if (once.index.values.empty()) continue;  // does not open
        ++files;
        const int64_t n = int64_t(once.rows.size());
        SCOPED_TRACE(path);
        ExpectSame(once, path, 0, n);
        for (int64_t r = 0; r < n; r += r < 20 ? 1 : 1 + n / 30) ExpectSame(once, path, r, r + 1);
    }
    EXPECT_GT(files, 30);
}

}  // namespace
