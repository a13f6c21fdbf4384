// The store that reads the grid's values back from the file gives every
// cell the state and bytes the compact store of the same load gives: numbers
// and system-missing, strings with and without NUL bytes and blanks, columns
// whose handles read another variable, the case a rendering error ended.
#include "core/filecasestore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "core/errors.h"
#include "core/gridfill.h"
#include "tests/core/grid_support.h"
#include "tests/support/readback.h"

namespace {

class FileCaseStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    void TearDown() override { spssdio1::ResetSharedState(); }

    // Loads f as the grid does into a compact store, then builds the file
    // store over an index of the cases the load read and the variables its
    // handles read.
    void Load(const fixture::File& f, const char* format1 = nullptr) {
        const std::string path = fixture::WriteFile(f, dir_ + "/f.sav");
        gridtest::PrepareState(path);
        if (format1) spssdio1::DisplayFormats[1] = format1;
        lv::GridFill fill(grid_);
        try {
            lv::LoadGrid(fill);
        } catch (const lv::ConversionError&) {
        }
        int h = 0;
        ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
        std::vector<lv::FileCaseStore::Column> columns;
        for (const lv::GridColumnLayout& c : grid_.layout().columns)
            columns.push_back(
                {savio::VariableIndexOfHandle(h, spssdio1::VarHandles[columns.size()]),
                 c.stringWidth});
        for (uint32_t r = 0; r < grid_.store().RowCount(); ++r) spssReadCaseRecord(h);
        savio::CaseIndex index;
        savio::GetCaseIndex(h, &index);
        spssCloseRead(h);
        store_ = std::make_unique<lv::FileCaseStore>(
            std::make_unique<lv::CaseCache>(path, std::move(index), 64 << 10), columns,
            spssdio1::SysmisValue);
    }

    void ExpectSameCells(std::vector<uint32_t> rows) {
        const lv::CaseStore& want = grid_.store();
        ASSERT_EQ(store_->RowCount(), want.RowCount());
        for (int c = 0; c < int(grid_.layout().columns.size()); ++c) {
            std::vector<lv::NumberCell> n1(rows.size()), n2(rows.size());
            want.GatherNumbers(c, rows, n1.data());
            store_->GatherNumbers(c, rows, n2.data());
            std::vector<lv::StringCell> s1(rows.size()), s2(rows.size());
            want.GatherStrings(c, rows, s1.data());
            store_->GatherStrings(c, rows, s2.data());
            for (size_t i = 0; i < rows.size(); ++i) {
                SCOPED_TRACE("column " + std::to_string(c) + " row " + std::to_string(rows[i]));
                ASSERT_EQ(n2[i].state, n1[i].state);
                if (n1[i].state == lv::CellState::Value) ASSERT_EQ(n2[i].value, n1[i].value);
                ASSERT_EQ(s2[i].state, s1[i].state);
                ASSERT_EQ(s2[i].stored, s1[i].stored);
                ASSERT_EQ(s2[i].blanks, s1[i].blanks);
            }
        }
    }

    std::string dir_;
    lv::GridData grid_;
    std::unique_ptr<lv::FileCaseStore> store_;
    gridtest::ScriptedDialogs dialogs_;
};

TEST_F(FileCaseStoreTest, EveryCellAsTheLoadKeptIt) {
    fixture::File f;
    // N and S again under other kinds, V again narrower: their handles
    // read the first variable of the name.
    f.variables = {gridtest::Numeric("N"),   gridtest::String("S", 10), gridtest::String("V", 300),
                   gridtest::String("N", 5), gridtest::Numeric("S"),    gridtest::String("V", 20),
                   gridtest::Numeric("N")};
    std::mt19937 rng(9);
    for (int r = 0; r < 1300; ++r) {
        std::string s = std::string(rng() % 10, 'x');
        if (r % 5 == 0) s = std::string("ab\0c ", 5);
        f.cases.push_back({r % 9 ? r / 8.0 : fixture::kSysmis, s,
                           std::string(rng() % 300, char('a' + r % 26)), std::string("n"), 1.0,
                           std::string(rng() % 20, 'v'), 2.0});
    }
    Load(f);
    ASSERT_EQ(grid_.store().RowCount(), 1300u);
    std::vector<uint32_t> all(1302);
    std::iota(all.begin(), all.end(), 0);  // two rows past the end
    ExpectSameCells(all);
    std::vector<uint32_t> some(all.begin() + 50, all.begin() + 1250);  // one run through the file
    ExpectSameCells(some);
    std::shuffle(all.begin(), all.end(), rng);
    all.resize(300);  // block by block through the cache
    ExpectSameCells(all);
}

TEST_F(FileCaseStoreTest, TheCaseARenderingErrorEnded) {
    fixture::File f;
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B"), gridtest::Numeric("C")};
    f.cases = {{1.0, fixture::kSysmis, 3.0}, {4.0, 5.0, 6.0}, {7.0, 8.0, 9.0}};
    Load(f, "%8s");  // B's first value ends the load in case 2
    store_->CutLastRow(1);
    ExpectSameCells({0, 1, 2});
}

}  // namespace
