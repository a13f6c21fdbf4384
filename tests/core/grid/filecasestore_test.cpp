// The grid that reads its values back from the file on demand gives, byte
// for byte, the texts of a full decode of the same load: cell by cell at
// random rows, in blocks, in the as-displayed export, a copy and a count,
// in the file's order and sorted; for every compression and byte order,
// with a checkpoint every 8 cases, read-ahead windows of a few rows, .zsav
// blocks ending inside command groups and values, and strings running
// across segments. A file replaced or truncated after the load gives empty
// cells, one notice, and walks that stop instead of using empty cells.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <tuple>

#include "core/export/grid_cells.h"
#include "core/export/text_export.h"
#include "core/grid/file_case_store.h"
#include "core/grid/grid_copy.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_search.h"
#include "core/grid/grid_sort.h"
#include "core/state/errors.h"
#include "tests/core/grid/grid_support.h"
#include "tests/support/readback.h"

namespace {

using fixture::Compression;
using fixture::Endian;

// Small enough that a few hundred cases cross many checkpoints, cached
// blocks and read-ahead windows.
constexpr lv::FileStoreLimits kSmall{1 << 20, 16 << 10, 3};

class OnDemandGridTest : public ::testing::TestWithParam<std::tuple<Compression, Endian>> {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    void TearDown() override {
        spssdio1::ResetSharedState();
        std::filesystem::remove_all(dir_);
    }

    // Loads f into full_ (every value kept) and onDemand_ (read back), each
    // from the shared state of a fresh choice of the file.
    void Load(const fixture::File& f, const char* format1 = nullptr) {
        path_ = fixture::WriteFile(f, dir_ + "/f.sav");
        for (const bool full : {true, false}) {
            gridtest::PrepareState(path_);
            if (format1) spssdio1::DisplayFormats[1] = format1;
            gridtest::MemoryFill keep(full_);
            lv::GridFill fill(onDemand_, kSmall);
            try {
                lv::LoadGrid(full ? static_cast<lv::GridLoadConsumer&>(keep) : fill);
            } catch (const lv::ConversionError&) {
            }
        }
    }

    static std::string Cell(const lv::GridData& g, uint32_t row, int column) {
        std::string text;
        g.AppendCell(text, row, column);
        return text;
    }

    std::string Export(const lv::GridData& g, const std::vector<int>& columns) {
        const std::string out = dir_ + "/out.txt";
        lv::GridCellSource cells(g, columns);
        EXPECT_TRUE(lv::RunExport(out, lv::ExportMode::AsDisplayed, &cells));
        return gridtest::ReadAll(out);
    }

    // Every text the grids give alike: cells at random rows, blocks from
    // the middle, the export, a copy and a count.
    void ExpectSameTexts(const std::vector<int>& columns) {
        const uint32_t n = full_.rowCount();
        ASSERT_EQ(onDemand_.rowCount(), n);
        std::vector<uint32_t> rows(n);
        std::iota(rows.begin(), rows.end(), 0);
        std::shuffle(rows.begin(), rows.end(), rng_);
        for (const uint32_t r : rows)
            for (const int c : columns)
                ASSERT_EQ(Cell(onDemand_, r, c), Cell(full_, r, c)) << "row " << r << " col " << c;
        const uint32_t first = n / 3;
        std::vector<std::string> a(n - first), b(n - first);
        full_.AppendRows(a, first, columns);
        onDemand_.AppendRows(b, first, columns);
        EXPECT_EQ(b, a);
        EXPECT_EQ(Export(onDemand_, columns), Export(full_, columns));
        const lv::CopyRange range{5, n - 5, true, true};
        EXPECT_EQ(lv::CopyCells(onDemand_, columns, range)->html,
                  lv::CopyCells(full_, columns, range)->html);
        const lv::TextMatcher matcher("a", {});
        EXPECT_EQ(lv::CountMatches(onDemand_, matcher, columns),
                  lv::CountMatches(full_, matcher, columns));
        EXPECT_FALSE(onDemand_.lost());
    }

    std::string dir_, path_;
    lv::GridData full_, onDemand_;
    std::mt19937 rng_{5};
    gridtest::ScriptedDialogs dialogs_;
};

TEST_P(OnDemandGridTest, SameTextsAsAFullDecodeInFileOrderAndSorted) {
    const auto [compression, endian] = GetParam();
    Load(readback::MixedFile(compression, endian, 300));
    std::vector<int> columns = lv::DictionaryOrder(full_.columnCount());
    std::shuffle(columns.begin(), columns.end(), rng_);
    ExpectSameTexts(columns);
    // Sorted by the system-missing column, then by the strings.
    for (lv::GridData* g : {&full_, &onDemand_}) {
        ASSERT_TRUE(lv::SortRows(*g, lv::SortKey{1, true}));
        ASSERT_TRUE(lv::SortRows(*g, lv::SortKey{3, false}));
    }
    EXPECT_EQ(onDemand_.order().All(), full_.order().All());
    ExpectSameTexts(columns);
}

// N and S again under other kinds, V again narrower: their handles read the
// first variable of the name.
TEST_P(OnDemandGridTest, HandlesThatReadAnotherVariable) {
    fixture::File f;
    f.compression = std::get<0>(GetParam());
    f.endian = std::get<1>(GetParam());
    f.variables = {gridtest::Numeric("N"),   gridtest::String("S", 10), gridtest::String("V", 300),
                   gridtest::String("N", 5), gridtest::Numeric("S"),    gridtest::String("V", 20)};
    for (int r = 0; r < 40; ++r)
        f.cases.push_back({r % 9 ? r / 8.0 : fixture::kSysmis,
                           r % 5 ? std::string(r % 10, 'x') : std::string("ab\0c ", 5),
                           std::string(r * 7, char('a' + r % 26)), std::string("n"), 1.0,
                           std::string(r % 20, 'v')});
    Load(f);
    ExpectSameTexts(lv::DictionaryOrder(6));
}

TEST_P(OnDemandGridTest, TheCaseARenderingErrorEnded) {
    fixture::File f;
    f.compression = std::get<0>(GetParam());
    f.endian = std::get<1>(GetParam());
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B"), gridtest::Numeric("C")};
    f.cases = {{1.0, fixture::kSysmis, 3.0}, {4.0, 5.0, 6.0}, {7.0, 8.0, 9.0}};
    Load(f, "%8s");  // B's first value ends the load in case 2
    EXPECT_EQ(Cell(onDemand_, 1, 0), "    4.00");
    EXPECT_EQ(Cell(onDemand_, 1, 2), "");
    ExpectSameTexts({0, 1, 2});
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, OnDemandGridTest,
                         ::testing::Combine(::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib),
                                            ::testing::Values(Endian::Little, Endian::Big)));

class LostFileTest : public OnDemandGridTest {
  protected:
    // Loads, and reads the first rows so that they are held.
    void LoadAndShow() {
        Load(readback::MixedFile(Compression::Bytecode, Endian::Little, 300));
        shown_ = Cell(onDemand_, 0, 0);
        ASSERT_FALSE(shown_.empty());
    }
    // No data cell shows anything, the notice comes once, and the walks
    // stop instead of working on empty cells.
    void ExpectLost() {
        for (uint32_t r : {0u, 150u, 299u})
            for (int c = 0; c < onDemand_.columnCount(); ++c)
                EXPECT_EQ(Cell(onDemand_, r, c), "") << r << " " << c;
        EXPECT_TRUE(onDemand_.lost());
        EXPECT_TRUE(onDemand_.TakeLostNotice());
        EXPECT_FALSE(onDemand_.TakeLostNotice());
        const std::vector<int> columns = lv::DictionaryOrder(onDemand_.columnCount());
        EXPECT_FALSE(lv::CountMatches(onDemand_, lv::TextMatcher("a", {}), columns));
        EXPECT_FALSE(lv::CopyCells(onDemand_, columns, {0, 10, false, false}));
        EXPECT_FALSE(lv::SortRows(onDemand_, lv::SortKey{0, true}));
        EXPECT_TRUE(onDemand_.order().identity());
        const std::string out = dir_ + "/out.txt";
        lv::GridCellSource cells(onDemand_, columns);
        EXPECT_FALSE(lv::RunExport(out, lv::ExportMode::AsDisplayed, &cells));
        EXPECT_EQ(dialogs_.messages, std::vector<std::string>{lv::kExportLostText});
        EXPECT_EQ(gridtest::ReadAll(out), "");
    }
    std::string shown_;
};

// Replaced by another file: rows held from before are not shown either,
// once a check (the window's, before it paints) finds it.
TEST_F(LostFileTest, ReplacedAfterTheLoad) {
    LoadAndShow();
    fixture::File other = readback::MixedFile(Compression::Bytecode, Endian::Little, 300);
    for (fixture::Case& c : other.cases) c[0] = 12345.0;
    const std::string next = fixture::WriteFile(other, path_ + ".new");
    ASSERT_EQ(std::rename(next.c_str(), path_.c_str()), 0);
    EXPECT_EQ(Cell(onDemand_, 0, 0), shown_);  // held, not yet known stale
    onDemand_.Recheck();
    ExpectLost();
}

// Truncated: found by the first read of a row not held.
TEST_F(LostFileTest, TruncatedAfterTheLoad) {
    LoadAndShow();
    ASSERT_EQ(truncate(path_.c_str(), 4000), 0);
    EXPECT_EQ(Cell(onDemand_, 290, 0), "");
    ExpectLost();
}

}  // namespace
