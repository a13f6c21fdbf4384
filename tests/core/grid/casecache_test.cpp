// The on-demand case cache gives the values the value calls gave, from its
// cached blocks, its ranges short and long, and listed rows; once the file
// changed it gives nothing, and says so once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/grid/case_cache.h"
#include "savio/case_reread.h"
#include "savio/spssfio.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using lv::CaseCache;
using lv::CaseValues;

// Row r of values (some of the file's variables) against row `row` of the
// calls, strings also through a 6-byte buffer.
void ExpectRow(const readback::ReadBack& calls, const CaseValues& values, int64_t r, int64_t row) {
    for (size_t c = 0; c < values.columnCount(); ++c) {
        const std::string& want = calls.rows[size_t(row)][size_t(values.variable(c))];
        std::string got(8, '\0');
        if (!values.isText(c)) {
            const double d = values.Number(r, c);
            std::memcpy(got.data(), &d, 8);
        } else {
            got.resize(want.size() + 1);
            ASSERT_EQ(values.CopyText(r, c, got.data(), int(got.size())), 0);
            got.pop_back();
            char cut[6];
            ASSERT_EQ(values.CopyText(r, c, cut, 6), want.size() > 5 ? SPSS_BUFFER_SHORT : 0);
            ASSERT_EQ(std::string(cut, std::min<size_t>(want.size(), 5) + 1),
                      want.substr(0, 5) + '\0');
        }
        ASSERT_EQ(got, want) << "row " << row << " column " << c;
    }
}

class CaseCacheTest : public ::testing::TestWithParam<Compression> {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        file_ = readback::MixedFile(GetParam(), Endian::Big, 700);
        file_.zlibBlockSize = 16000;
        path_ = fixture::WriteFile(file_, dir_ + "/s.sav");
        calls_ = readback::ReadFileThroughCalls(path_, 3);
        ASSERT_EQ(calls_.rows.size(), 700u);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_, path_;
    fixture::File file_;
    readback::ReadBack calls_;
};

// Blocks under a cap of one block (the one read stays), ranges short and
// long (read in parts side by side) and listed rows. (Blocks in random
// order are checked through the grid's store.)
TEST_P(CaseCacheTest, SameValuesAsTheCalls) {
    CaseCache cache(path_, calls_.index, 1);
    int64_t first = -1;
    for (int64_t row : {699, 0, 699}) {
        const CaseValues* block = cache.Block(row, &first);
        ASSERT_TRUE(block && first <= row && row < first + block->rows());
        ExpectRow(calls_, *block, row - first, row);
        EXPECT_EQ(cache.cachedBytes(), block->bytes());
    }
    EXPECT_EQ(cache.Block(700, &first), nullptr);

    CaseValues values;
    for (auto [a, b] : {std::pair{250, 260}, {0, 900}, {5, 700}}) {
        ASSERT_EQ(cache.Values({6, 3}, a, b, &values), CaseCache::Status::Ok);
        ASSERT_EQ(values.rows(), std::min(b, 700) - a);
        for (int64_t r = 0; r < values.rows(); ++r) ExpectRow(calls_, values, r, a + r);
    }

    // Listed rows: a few far apart and close together, and every third
    // row (read in parts side by side).
    std::vector<int64_t> thirds;
    for (int64_t r = 1; r < 700; r += 3) thirds.push_back(r);
    for (const std::vector<int64_t>& listed :
         {std::vector<int64_t>{0, 1, 2, 9, 10, 300, 301, 302, 640, 699}, thirds}) {
        ASSERT_EQ(cache.Rows({5, 4}, listed, &values), CaseCache::Status::Ok);
        ASSERT_EQ(values.rows(), int64_t(listed.size()));
        for (size_t i = 0; i < listed.size(); ++i) ExpectRow(calls_, values, int64_t(i), listed[i]);
    }
    EXPECT_EQ(cache.Recheck(), CaseCache::Status::Ok);
    EXPECT_FALSE(cache.changed());
}

// Once the file is found changed, blocks held from before are dropped, every
// read gives nothing, even with the file back, and the notice comes once.
TEST_P(CaseCacheTest, ChangedFileGivesNothing) {
    CaseCache cache(path_, calls_.index);
    int64_t first = 0;
    ASSERT_TRUE(cache.Block(0, &first));
    ASSERT_EQ(truncate(path_.c_str(), 1000), 0);
    EXPECT_FALSE(cache.TakeChangedNotice());
    EXPECT_EQ(cache.Block(699, &first), nullptr);
    EXPECT_TRUE(cache.TakeChangedNotice());
    EXPECT_FALSE(cache.TakeChangedNotice());
    EXPECT_EQ(cache.Block(0, &first), nullptr);
    EXPECT_EQ(cache.cachedBytes(), 0u);
    fixture::WriteFile(file_, path_);
    CaseValues values;
    EXPECT_EQ(cache.Values({0}, 0, 3, &values), CaseCache::Status::Changed);
    EXPECT_EQ(cache.Values({0}, 0, 700, &values), CaseCache::Status::Changed);
    EXPECT_EQ(values.rows(), 0);
    EXPECT_EQ(cache.Rows({0}, std::vector<int64_t>{1, 2}, &values), CaseCache::Status::Changed);
    EXPECT_EQ(cache.Recheck(), CaseCache::Status::Changed);
}

// Read back through the bytes of the file that was read, held open: the
// values of that file, in parts side by side too, whatever its path names
// since; the file itself written to gives nothing.
TEST_P(CaseCacheTest, HeldBytesAreThoseOfTheFileRead) {
    int h = 0;
    ASSERT_EQ(spssOpenRead(path_.c_str(), &h), 0);
    CaseCache::Source source;
    source.reads = savio::ReadsOfOpenFile(h);
    spssCloseRead(h);
    const std::string kept = dir_ + "/kept.sav";
    ASSERT_EQ(link(path_.c_str(), kept.c_str()), 0);
    fixture::File other = readback::MixedFile(GetParam(), Endian::Little, 20);
    ASSERT_EQ(rename(fixture::WriteFile(other, dir_ + "/o.sav").c_str(), path_.c_str()), 0);
    CaseCache cache(source, calls_.index);
    CaseValues values;
    ASSERT_EQ(cache.Values({6, 3}, 0, 700, &values), CaseCache::Status::Ok);
    for (int64_t r = 0; r < values.rows(); ++r) ExpectRow(calls_, values, r, r);
    EXPECT_EQ(cache.Recheck(), CaseCache::Status::Ok);
    ASSERT_EQ(truncate(kept.c_str(), 1000), 0);
    EXPECT_EQ(cache.Recheck(), CaseCache::Status::Changed);
}

INSTANTIATE_TEST_SUITE_P(AllCompressions, CaseCacheTest,
                         ::testing::Values(Compression::None, Compression::Bytecode,
                                           Compression::Zlib));

}  // namespace
