// The on-demand case store gives the values the value calls gave, from its
// cached blocks, its long reads, its walks and its sort keys; once the file
// changed it gives nothing, and says so once.
#include "core/casestore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/spssfio.h"
#include "savio/open_files.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using lv::CaseStore;
using lv::CaseValues;

// What the calls gave for one cell: a number's bits, or a string's bytes
// with a full buffer and the status and bytes with a 6-byte buffer.
struct Cell {
    uint64_t bits = 0;
    std::string full, cut;
    int cutStatus = 0;
};

struct Loaded {
    std::vector<std::vector<Cell>> rows;
    std::vector<int> types;
    savio::CaseIndex index;
};

Loaded Load(const std::string& path) {
    Loaded out;
    int h = 0;
    EXPECT_EQ(spssOpenRead(path.c_str(), &h), 0);
    savio::FindOpenFile(h)->SetCheckpointShift(3);
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(n);
    out.types.resize(n);
    for (int i = 0; i < n; ++i) {
        char name[10];
        spssGetVarInfo(h, i, name, &out.types[i]);
        spssGetVarHandle(h, name, &handles[i]);
    }
    std::vector<char> buf(40000);
    while (spssReadCaseRecord(h) == 0) {
        std::vector<Cell> row(n);
        for (int i = 0; i < n; ++i) {
            if (out.types[i] == 0) {
                double d = 0;
                spssGetValueNumeric(h, handles[i], &d);
                row[i].bits = std::bit_cast<uint64_t>(d);
                continue;
            }
            spssGetValueChar(h, handles[i], buf.data(), int(buf.size()));
            row[i].full.assign(buf.data(), size_t(out.types[i]));
            row[i].cutStatus = spssGetValueChar(h, handles[i], buf.data(), 6);
            row[i].cut.assign(buf.data(), 6);
        }
        out.rows.push_back(row);
    }
    EXPECT_TRUE(savio::GetCaseIndex(h, &out.index));
    spssCloseRead(h);
    return out;
}

// Checks row r of values (columns = the variables listed) against the calls.
void ExpectRow(const Loaded& loaded, const CaseValues& values, int64_t r, int64_t row) {
    for (size_t c = 0; c < values.columnCount(); ++c) {
        const Cell& want = loaded.rows[size_t(row)][size_t(values.variable(c))];
        if (!values.isText(c)) {
            ASSERT_EQ(std::bit_cast<uint64_t>(values.Number(r, c)), want.bits) << row << "," << c;
            continue;
        }
        std::vector<char> buf(40000);
        ASSERT_EQ(values.CopyText(r, c, buf.data(), int(buf.size())), 0);
        ASSERT_EQ(std::string(buf.data(), want.full.size()), want.full) << row << "," << c;
        ASSERT_EQ(values.CopyText(r, c, buf.data(), 6), want.cutStatus);
        ASSERT_EQ(std::string(buf.data(), 6), want.cut) << row << "," << c;
    }
}

fixture::File Varied(Compression c, Endian e) {
    fixture::File f;
    f.compression = c;
    f.endian = e;
    f.zlibBlockSize = 16000;
    f.variables = {fixture::Numeric("N"), fixture::String("S", 10), fixture::String("V", 400),
                   fixture::Numeric("M")};
    std::mt19937 rng(5);
    for (int r = 0; r < 700; ++r) {
        std::string s = std::string(rng() % 7, 'q') + (r % 7 ? "" : std::string("a\0b", 3));
        f.cases.push_back({r % 11 ? r * 1.25 : fixture::kSysmis, s,
                           std::string(rng() % 400, char('A' + r % 26)), double(rng() % 1000)});
    }
    return f;
}

class CaseStoreTest : public ::testing::TestWithParam<std::tuple<Compression, Endian>> {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        file_ = Varied(std::get<0>(GetParam()), std::get<1>(GetParam()));
        path_ = fixture::WriteFile(file_, dir_ + "/s.sav");
        loaded_ = Load(path_);
        ASSERT_EQ(loaded_.rows.size(), 700u);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_, path_;
    fixture::File file_;
    Loaded loaded_;
};

// Blocks fetched in random order under a cap of a few blocks, ranges short
// and long, a walk and the sort keys: all the bytes of the calls.
TEST_P(CaseStoreTest, SameValuesAsTheCalls) {
    CaseStore store(path_, loaded_.index, 200 << 10);
    ASSERT_EQ(store.rowCount(), 700);
    std::mt19937 rng(1);
    for (int i = 0; i < 60; ++i) {
        const int64_t row = i < 3 ? 699 - i : rng() % 700;
        int64_t first = -1;
        const CaseValues* block = store.Block(row, &first);
        ASSERT_TRUE(block);
        ASSERT_LE(first, row);
        ASSERT_LT(row, first + block->rows());
        ExpectRow(loaded_, *block, row - first, row);
        EXPECT_LE(store.cachedBytes(), (200u << 10) + block->bytes());
    }
    int64_t first = 0;
    EXPECT_EQ(store.Block(700, &first), nullptr);

    CaseValues values;
    for (auto [a, b] : {std::pair{10, 30}, {250, 260}, {0, 700}, {690, 900}}) {
        ASSERT_EQ(store.Values({3, 1}, a, b, &values), CaseStore::Status::Ok);
        ASSERT_EQ(values.rows(), std::min(b, 700) - a);
        for (int64_t r = 0; r < values.rows(); ++r) ExpectRow(loaded_, values, r, a + r);
    }

    int64_t next = 5;
    ASSERT_EQ(store.Walk({2, 0}, 5, 700,
                         [&](int64_t chunkFirst, const CaseValues& chunk) {
                             EXPECT_EQ(chunkFirst, next);
                             for (int64_t r = 0; r < chunk.rows(); ++r)
                                 ExpectRow(loaded_, chunk, r, chunkFirst + r);
                             next += chunk.rows();
                             return true;
                         }),
              CaseStore::Status::Ok);
    EXPECT_EQ(next, 700);
    EXPECT_EQ(store.Walk({0}, 0, 700, [](int64_t, const CaseValues&) { return false; }),
              CaseStore::Status::Stopped);

    ASSERT_EQ(store.Keys({3, 1}, &values), CaseStore::Status::Ok);
    ASSERT_EQ(values.rows(), 700);
    for (int64_t r = 0; r < 700; ++r) ExpectRow(loaded_, values, r, r);
    EXPECT_FALSE(store.changed());
}

// Cached blocks are not handed out once the file was found changed; every
// read gives nothing after, and the notice comes once.
TEST_P(CaseStoreTest, ChangedFileGivesNothing) {
    CaseStore store(path_, loaded_.index, 1 << 20);
    int64_t first = 0;
    ASSERT_TRUE(store.Block(0, &first));
    ASSERT_EQ(truncate(path_.c_str(), 1000), 0);
    EXPECT_TRUE(store.Block(0, &first));  // held from before: not read again
    EXPECT_FALSE(store.TakeChangedNotice());
    EXPECT_EQ(store.Block(699, &first), nullptr);
    EXPECT_TRUE(store.changed());
    EXPECT_TRUE(store.TakeChangedNotice());
    EXPECT_FALSE(store.TakeChangedNotice());
    EXPECT_EQ(store.Block(0, &first), nullptr);
    EXPECT_EQ(store.cachedBytes(), 0u);
    // The file back as it was: still nothing, the store keeps to its word.
    fixture::WriteFile(file_, path_);
    CaseValues values;
    EXPECT_EQ(store.Values({0}, 0, 3, &values), CaseStore::Status::Changed);
    EXPECT_EQ(values.rows(), 0);
    int visits = 0;
    EXPECT_EQ(store.Walk({0}, 0, 700, [&](int64_t, const CaseValues&) { return ++visits > 0; }),
              CaseStore::Status::Changed);
    EXPECT_EQ(visits, 0);
    EXPECT_EQ(store.Keys({0}, &values), CaseStore::Status::Changed);
    EXPECT_EQ(values.rows(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, CaseStoreTest,
                         ::testing::Combine(::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib),
                                            ::testing::Values(Endian::Little, Endian::Big)));

}  // namespace
