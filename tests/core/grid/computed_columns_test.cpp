// The grid's computed columns give the values every pass over the file's
// cases makes (the case stream with the same computed variables), however
// the grid reads them: block by block in a sorted order, in long runs, in
// read-ahead windows of scattered rows, with a checkpoint every 8 cases and
// LAG reaching across blocks; on a made file and on a corpus file. A bad
// expression leaves the grid as it was, and taking a column away that a
// later one is made from is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#include "core/cases/case_stream.h"
#include "core/compute/grid_computed.h"
#include "core/grid/cell_block.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_sort.h"
#include "core/text/display_encoding.h"
#include "tests/core/grid/grid_support.h"
#include "tests/support/corpus.h"

namespace {

constexpr lv::FileStoreLimits kSmall{1 << 20, 16 << 10, 3};

struct Value {
    bool missing = false;
    double number = 0;
    std::string text;
};

class ComputedColumnsTest : public ::testing::Test {
  protected:
    void TearDown() override { spssdio1::ResetSharedState(); }

    // Loads path into grid_ as the window does (values read back), with its facts.
    void Load(const std::string& path) {
        path_ = path;
        gridtest::PrepareState(path);
        lv::GridFill fill(grid_, kSmall);
        lv::LoadGrid(fill);
        auto dict = std::make_shared<lv::FileDictionary>();
        ASSERT_EQ(lv::ReadFileDictionary(path, dict.get()), 0);
        grid_.SetFacts(lv::VariableFactsOf(*dict, grid_.columnCount()), dict);
    }

    // The values of specs' variables per case, from one pass of the case
    // stream over the file.
    std::vector<std::vector<Value>> StreamValues(const std::vector<lv::ComputeSpec>& specs) {
        lv::FileDictionary dict;
        EXPECT_EQ(lv::ReadFileDictionary(path_, &dict), 0);
        const int fileVariables = static_cast<int>(dict.variables.size());
        auto made = lv::AddComputedVariables(dict, specs, lv::DisplayEncoding());
        lv::ReaderHandle file;
        EXPECT_EQ(file.Open(path_), 0);
        file.SetDerived(std::get<std::shared_ptr<lv::ComputedVariables>>(made));
        lv::CasesWanted wanted;
        for (size_t k = 0; k < specs.size(); ++k)
            wanted.variables.push_back(fileVariables + int(k));
        lv::CaseStream stream(file, wanted, nullptr);
        std::vector<std::vector<Value>> cases;
        while (stream.Next()) {
            const lv::CaseValues& v = stream.values();
            for (int64_t r = 0; r < v.rows(); ++r) {
                auto& row = cases.emplace_back();
                for (size_t k = 0; k < specs.size(); ++k) {
                    Value x;
                    if (v.isText(k))
                        x.text = std::string(v.Text(r, k));
                    else if (stream.Sysmis(r, k))
                        x.missing = true;
                    else
                        x.number = v.Number(r, k);
                    row.push_back(x);
                }
            }
        }
        EXPECT_EQ(stream.end(), lv::CaseStream::End::Complete);
        return cases;
    }

    // The grid's computed columns at display rows [first, first + rows.size())
    // hold what the stream made for their cases.
    void ExpectRows(const std::vector<std::vector<Value>>& expected, bool readAhead, size_t chunk) {
        const int first = grid_.fileColumnCount();
        std::vector<int> columns;
        for (int c = first; c < grid_.columnCount(); ++c) columns.push_back(c);
        lv::CellBlock block;
        for (uint32_t top = 0; top < grid_.rowCount(); top += uint32_t(chunk)) {
            std::vector<uint32_t> rows;
            for (uint32_t r = top; r < std::min<uint32_t>(grid_.rowCount(), top + chunk); ++r)
                rows.push_back(grid_.FileRow(r));
            if (readAhead) grid_.ReadAhead(rows, columns);
            block.Gather(grid_, columns, rows);
            for (uint32_t i = 0; i < rows.size(); ++i)
                for (size_t k = 0; k < columns.size(); ++k) {
                    const Value& want = expected[rows[i]][k];
                    SCOPED_TRACE("case " + std::to_string(rows[i] + 1) + " column " +
                                 std::to_string(k));
                    if (block.isText(k)) {
                        ASSERT_EQ(block.Text(k, i), want.text);
                    } else if (want.missing) {
                        ASSERT_EQ(block.State(k, i), lv::CellState::Sysmis);
                    } else {
                        ASSERT_EQ(block.State(k, i), lv::CellState::Value);
                        ASSERT_EQ(block.Number(k, i), want.number);
                    }
                }
        }
        grid_.ReadAhead({}, {});
        EXPECT_FALSE(grid_.lost());
    }

    // Every way the grid reads: in the file's order, then sorted by each
    // computed column.
    void ExpectEveryRead(const std::vector<lv::ComputeSpec>& specs) {
        ASSERT_FALSE(lv::SetGridComputed(grid_, specs, lv::DisplayEncoding()));
        ASSERT_EQ(grid_.columnCount(), grid_.fileColumnCount() + int(specs.size()));
        const auto expected = StreamValues(specs);
        ASSERT_EQ(expected.size(), grid_.rowCount());
        ExpectRows(expected, false, grid_.rowCount());
        for (int c = grid_.fileColumnCount(); c < grid_.columnCount(); ++c) {
            ASSERT_TRUE(lv::SortRows(grid_, lv::SortKey{c, true}));
            ExpectRows(expected, false, 37);
            ExpectRows(expected, true, 53);
        }
        grid_.ResetOrder();
    }

    std::string path_;
    lv::GridData grid_;
    gridtest::ScriptedDialogs dialogs_;
};

fixture::File Made(int cases) {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    auto x = gridtest::Numeric("X", 8, 2);
    x.missing.discrete = {-9};
    f.variables = {x, gridtest::Numeric("Y", 8, 0), gridtest::String("S", 6)};
    for (int i = 0; i < cases; ++i)
        f.cases.push_back({i % 11 == 0 ? -9.0 : (i * 37 % 101) / 4.0,
                           i % 7 == 0 ? fixture::kSysmis : double(i % 5),
                           std::string(i % 3 ? "東京" : "ab ")});
    return f;
}

lv::ComputeSpec Spec(std::string name, std::string expression) {
    lv::ComputeSpec s;
    s.name = std::move(name);
    s.expression = std::move(expression);
    if (auto parsed = lv::ParseComputeSpec(s.name + "=" + s.expression)) s = *parsed;
    return s;
}

TEST_F(ComputedColumnsTest, ValuesAreTheCaseStreamsHoweverTheGridReads) {
    const std::string path = fixture::WriteFile(Made(700), fixture::TempDir() + "/made.sav");
    Load(path);
    ExpectEveryRead({Spec("sum", "X + Y * 2"), Spec("back(F8.2)", "LAG(X, 3)"),
                     Spec("n", "$CASENUM"), Spec("both", "LAG(back) + sum"),
                     Spec("tag(A10)", "CONCAT(RTRIM(S), STRING(Y, F1.0))")});
    std::filesystem::remove(path);
}

TEST_F(ComputedColumnsTest, CorpusValuesAreTheCaseStreams) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    Load(fixture::CorpusPath("spss11_employee_data.sav"));
    ExpectEveryRead({Spec("raise", "salary / salbegin"), Spec("prev", "LAG(salary, 2)"),
                     Spec("year", "XDATE.YEAR(bdate)")});
}

TEST_F(ComputedColumnsTest, ABadExpressionChangesNothing) {
    const std::string path = fixture::WriteFile(Made(20), fixture::TempDir() + "/bad.sav");
    Load(path);
    ASSERT_FALSE(lv::AddGridComputed(grid_, Spec("a", "X * 2"), lv::DisplayEncoding()));
    ASSERT_FALSE(lv::AddGridComputed(grid_, Spec("b", "a + 1"), lv::DisplayEncoding()));
    const int columns = grid_.columnCount();
    const auto bad = lv::AddGridComputed(grid_, Spec("c", "a +* 2"), lv::DisplayEncoding());
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->error.position, 4u);
    EXPECT_TRUE(lv::AddGridComputed(grid_, Spec("X", "1"), lv::DisplayEncoding()));
    EXPECT_TRUE(lv::AddGridComputed(grid_, Spec("s(A4)", "1"), lv::DisplayEncoding()));
    // b is made from a.
    const auto inUse = lv::RemoveGridComputed(grid_, columns - 2, lv::DisplayEncoding());
    ASSERT_TRUE(inUse);
    EXPECT_EQ(inUse->error.message.code, lv::MessageCode::ComputedInUse);
    EXPECT_EQ(grid_.columnCount(), columns);
    EXPECT_EQ(grid_.FactsOf(columns - 1)->name, "b");
    EXPECT_EQ(grid_.dictionary()->variables.size(), size_t(columns));
    std::string cell;
    grid_.AppendCell(cell, 2, columns - 1);
    EXPECT_NE(cell.find("38.00"), std::string::npos) << cell;  // X = 74 / 4, b = X * 2 + 1

    // Taken away from the last: the file's columns stay as they were.
    ASSERT_FALSE(lv::RemoveGridComputed(grid_, columns - 1, lv::DisplayEncoding()));
    ASSERT_FALSE(lv::RemoveGridComputed(grid_, columns - 2, lv::DisplayEncoding()));
    EXPECT_EQ(grid_.columnCount(), grid_.fileColumnCount());
    EXPECT_EQ(grid_.computed(), nullptr);
    std::filesystem::remove(path);
}

}  // namespace
