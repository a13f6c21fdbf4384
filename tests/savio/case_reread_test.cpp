// Cases read again through the index taken during the sequential read give
// the bytes the value calls gave, wherever the read starts; a file that
// changed after the index was taken gives Changed and no values.
#include "savio/case_reread.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/savio/reader_support.h"
#include "tests/support/corpus.h"

namespace {

using fixture::Compression;
using fixture::Endian;

// Numbers that compress and that do not, SYSMIS, short strings, and a very
// long string whose value runs across its three segments.
fixture::File Mixed(Compression c, Endian e, int cases) {
    fixture::File f;
    f.compression = c;
    f.endian = e;
    f.zlibBlockSize = 1001;  // blocks end inside groups and raw values
    f.variables = {fixture::Numeric("ID"),      fixture::Numeric("X"),
                   fixture::String("S3", 3),    fixture::String("S20", 20),
                   fixture::String("VLS", 700), fixture::Numeric("D", fixture::Format{20, 11, 0}),
                   fixture::Numeric("Y")};
    std::mt19937 rng(42);
    for (int r = 0; r < cases; ++r) {
        std::string vls(rng() % 701, ' ');
        for (size_t i = 0; i < vls.size(); ++i) vls[i] = char('a' + (i + r) % 26);
        f.cases.push_back({double(r % 200) - 99, rng() % 5 == 0 ? fixture::kSysmis : r * 0.37,
                           std::string(rng() % 4, 'k'), std::string(rng() % 21, 'z'), vls,
                           13203129600.0 + 86400.0 * r, r * -1.5});
    }
    return f;
}

// A case as bytes: each number's 8 bytes, each string's width bytes.
using Row = std::string;

Row RowFromSlots(const savio::CaseIndex& index, const uint8_t* slots) {
    Row row;
    for (const savio::ValueSlots& v : index.values) {
        if (!v.isString()) {
            const double d = savio::SlotNumber(slots, v, index.shape.swap);
            row.append(reinterpret_cast<const char*>(&d), 8);
        } else {
            savio::ForEachStringPiece(slots, v, [&](const uint8_t* p, size_t n) {
                row.append(reinterpret_cast<const char*>(p), n);
            });
        }
    }
    return row;
}

struct ReadOnce {
    std::vector<Row> rows;  // through spssReadCaseRecord and the value calls
    savio::CaseIndex index;
    int status = 0;  // what ended the read
};

// Reads every case of an open file through the calls, then takes its index.
ReadOnce ReadThroughCalls(int h, int shift) {
    ReadOnce out;
    if (shift >= 0) savio::FindOpenFile(h)->SetCheckpointShift(shift);
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(n);
    std::vector<int> types(n);
    for (int i = 0; i < n; ++i) {
        char name[10];
        spssGetVarInfo(h, i, name, &types[i]);
        spssGetVarHandle(h, name, &handles[i]);
    }
    std::vector<char> buf(40000);
    while ((out.status = spssReadCaseRecord(h)) == 0) {
        Row row;
        for (int i = 0; i < n; ++i) {
            if (types[i]) {
                std::memset(buf.data(), 0x5a, buf.size());
                EXPECT_EQ(spssGetValueChar(h, handles[i], buf.data(), int(buf.size())), 0);
                row.append(buf.data(), size_t(types[i]));
            } else {
                double d = 0;
                spssGetValueNumeric(h, handles[i], &d);
                row.append(reinterpret_cast<const char*>(&d), 8);
            }
        }
        out.rows.push_back(row);
    }
    EXPECT_TRUE(savio::GetCaseIndex(h, &out.index));
    return out;
}

ReadOnce ReadFile(const std::string& path, int shift) {
    int h = 0;
    EXPECT_EQ(spssOpenRead(path.c_str(), &h), 0) << path;
    ReadOnce out = ReadThroughCalls(h, shift);
    spssCloseRead(h);
    return out;
}

// The rows [first, last) read again, or the status that ended it.
struct Reread {
    savio::RereadStatus status;
    std::vector<Row> rows;
    int64_t firstRow = -1;
};

Reread FromFile(const std::string& path, const savio::CaseIndex& index, int64_t first,
                int64_t last) {
    Reread r;
    r.status = savio::RereadCases(path, index, first, last, [&](int64_t row, const uint8_t* s) {
        if (r.firstRow < 0) r.firstRow = row;
        r.rows.push_back(RowFromSlots(index, s));
        return true;
    });
    return r;
}

void ExpectSame(const ReadOnce& once, const Reread& again, int64_t first, int64_t last,
                const std::string& what) {
    ASSERT_EQ(again.status, savio::RereadStatus::Ok) << what;
    ASSERT_EQ(int64_t(again.rows.size()), last - first) << what;
    if (first < last) {
        EXPECT_EQ(again.firstRow, first) << what;
    }
    for (int64_t r = first; r < last; ++r)
        ASSERT_EQ(again.rows[size_t(r - first)], once.rows[size_t(r)]) << what << " row " << r;
}

class CaseReread : public ::testing::TestWithParam<std::tuple<Compression, Endian>> {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    fixture::File File(int cases) const {
        return Mixed(std::get<0>(GetParam()), std::get<1>(GetParam()), cases);
    }
    std::string Write(const fixture::File& f) const {
        return fixture::WriteFile(f, dir_ + "/f.sav");
    }
    std::string dir_;
};

// Checkpoints at every case (97 slots: cases start at every place of a
// command group) and every 4 cases: every row alone, ranges across
// checkpoints, and random ranges all give the bytes of the value calls.
TEST_P(CaseReread, AnyRowOrRangeEqualsTheSequentialRead) {
    const std::string path = Write(File(203));
    for (int shift : {0, 2}) {
        const ReadOnce once = ReadFile(path, shift);
        ASSERT_EQ(once.status, SPSS_FILE_END);
        ASSERT_EQ(once.rows.size(), 203u);
        EXPECT_EQ(once.index.cases, 203);
        const bool compressed = std::get<0>(GetParam()) != Compression::None;
        EXPECT_EQ(once.index.checkpoints.size(),
                  compressed ? (203u + (1u << shift) - 1) >> shift : 0u);
        for (int64_t r = 0; r < 203; ++r)
            ExpectSame(once, FromFile(path, once.index, r, r + 1), r, r + 1, "row");
        for (int64_t first : {0, 3, 4, 5, 199})
            ExpectSame(once, FromFile(path, once.index, first, 203), first, 203, "to the end");
        std::mt19937 rng(7);
        for (int i = 0; i < 40; ++i) {
            const int64_t a = rng() % 203, b = a + rng() % (204 - a);
            ExpectSame(once, FromFile(path, once.index, a, b), a, b, "range");
        }
        // Ranges are cut to the cases read.
        ExpectSame(once, FromFile(path, once.index, 200, 10000), 200, 203, "past the end");
    }
}

// The checkpoint interval a file gets by itself: rows on either side of the
// second checkpoint.
TEST_P(CaseReread, DefaultIntervalAroundACheckpoint) {
    fixture::File f = File(1100);
    f.zlibBlockSize = 40000;
    const std::string path = Write(f);
    const ReadOnce once = ReadFile(path, -1);
    ASSERT_EQ(once.rows.size(), 1100u);
    ASSERT_EQ(once.index.checkpointShift, 10);
    for (int64_t r : {0, 1023, 1024, 1025, 1099})
        ExpectSame(once, FromFile(path, once.index, r, r + 1), r, r + 1, "row");
    ExpectSame(once, FromFile(path, once.index, 1000, 1100), 1000, 1100, "across");
}

// The visitor stops the read; the file is closed either way.
TEST_P(CaseReread, VisitorStops) {
    const std::string path = Write(File(50));
    const ReadOnce once = ReadFile(path, 3);
    int seen = 0;
    EXPECT_EQ(savio::RereadCases(path, once.index, 10, 50,
                                 [&](int64_t, const uint8_t*) { return ++seen < 5; }),
              savio::RereadStatus::Stopped);
    EXPECT_EQ(seen, 5);
}

// Truncated, rewritten in place, replaced, removed: Changed, and not one row.
TEST_P(CaseReread, ChangedFileGivesNoValues) {
    const fixture::File f = File(60);
    const std::string path = Write(f);
    const std::string bytes = fixture::Build(f);
    const ReadOnce once = ReadFile(path, 2);
    ExpectSame(once, FromFile(path, once.index, 0, 60), 0, 60, "as read");

    auto expectChanged = [&](const char* what) {
        const Reread r = FromFile(path, once.index, 0, 60);
        EXPECT_EQ(r.status, savio::RereadStatus::Changed) << what;
        EXPECT_TRUE(r.rows.empty()) << what;
    };
    ASSERT_EQ(truncate(path.c_str(), off_t(bytes.size() - 8)), 0);
    expectChanged("truncated");
    // Same bytes and size again but a new modification time.
    fixture::WriteFile(f, path);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    expectChanged("rewritten");
    // Another file renamed over it, with the old size and time.
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    fixture::File other = f;
    std::get<double>(other.cases[30][1]) += 1;
    const std::string otherPath = fixture::WriteFile(other, dir_ + "/other.sav");
    ASSERT_EQ(std::filesystem::file_size(otherPath), st.st_size);
    ASSERT_EQ(rename(otherPath.c_str(), path.c_str()), 0);
    expectChanged("replaced");
    std::filesystem::remove(path);
    expectChanged("removed");
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, CaseReread,
                         ::testing::Combine(::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib),
                                            ::testing::Values(Endian::Little, Endian::Big)));

// A header that does not say how many cases: the count comes from the data.
TEST(CaseRereadShapes, UnknownCaseCount) {
    for (Compression c : {Compression::Bytecode, Compression::Zlib, Compression::None}) {
        fixture::File f = Mixed(c, Endian::Little, 77);
        f.headerCaseCount = -1;
        f.bytecodeEndMarker = true;
        const std::string dir = fixture::TempDir();
        const std::string path = fixture::WriteFile(f, dir + "/u.sav");
        const ReadOnce once = ReadFile(path, 3);
        ASSERT_EQ(once.rows.size(), 77u);
        ExpectSame(once, FromFile(path, once.index, 0, 77), 0, 77, "all");
        ExpectSame(once, FromFile(path, once.index, 76, 77), 76, 77, "last");
        std::filesystem::remove_all(dir);
    }
}

// A read that failed at case r indexes the cases before it; bytes that no
// longer decode where a checkpoint points give Changed, not values.
TEST(CaseRereadShapes, DamagedDataIsNeverValues) {
    fixture::File f = Mixed(Compression::Bytecode, Endian::Little, 40);
    std::string bytes = fixture::Build(f);
    const size_t data = fixture::Describe(f).data;
    readertest::OpenedFile cut(bytes.substr(0, data + (bytes.size() - data) / 2));
    const ReadOnce partial = ReadThroughCalls(cut.handle, 2);
    EXPECT_EQ(partial.status, SPSS_FILE_RERROR);
    EXPECT_EQ(partial.index.cases, int64_t(partial.rows.size()));

    readertest::OpenedFile whole(bytes);
    const ReadOnce once = ReadThroughCalls(whole.handle, 2);
    // An end-of-data code where the checkpoint of case 20 points.
    std::string damaged = bytes;
    damaged[once.index.Checkpoint(5).group + once.index.Checkpoint(5).used] = char(252);
    int seen = 0;
    EXPECT_EQ(savio::RereadCasesInMemory(damaged, once.index, 20, 24,
                                         [&](int64_t, const uint8_t*) { return ++seen > 0; }),
              savio::RereadStatus::Changed);
    EXPECT_EQ(seen, 0);
    // An index of bytes in memory cannot read a file on disk.
    EXPECT_EQ(savio::RereadCases("/nonexistent", once.index, 0, 1,
                                 [](int64_t, const uint8_t*) { return true; }),
              savio::RereadStatus::Changed);
}

// Every file of the real-file corpus read again row by row from a checkpoint
// at every case: the writers' streams resume anywhere.
TEST(CaseRereadCorpus, EveryRowOfEveryFile) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fixture::CorpusDir())) {
        const std::string path = entry.path().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".sav" && ext != ".zsav") continue;
        int h = 0;
        if (spssOpenRead(path.c_str(), &h) != 0) continue;
        const ReadOnce once = ReadThroughCalls(h, 0);
        spssCloseRead(h);
        ++files;
        const int64_t n = int64_t(once.rows.size());
        ExpectSame(once, FromFile(path, once.index, 0, n), 0, n, path);
        for (int64_t r = 0; r < n; r += r < 20 ? 1 : 1 + n / 30)
            ExpectSame(once, FromFile(path, once.index, r, r + 1), r, r + 1, path);
    }
    EXPECT_GT(files, 30);
}

}  // namespace
