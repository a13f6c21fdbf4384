#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/export/text_export.h"
#include "core/grid/grid_load.h"
#include "core/state/errors.h"
#include "tests/core/grid/grid_support.h"

using gridtest::ScriptedDialogs;
using lv::ExportMode;

namespace {

// Cells given as a table of texts (row r, column c at [r-1][c-1]).
class TableCells : public lv::CellTextSource {
  public:
    std::vector<std::vector<std::string>> cells;
    void AppendCell(std::string& out, int row, int column) override {
        out += cells.at(row - 1).at(column - 1);
    }
};

class NullConsumer : public lv::GridLoadConsumer {
    void Layout(const lv::GridLayout&) override {}
    void EditingOn() override {}
    void Case(int, std::span<const lv::GridCell>) override {}
};

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    // Prepares the state for f as the grid window leaves it (handles obtained).
    void Load(const fixture::File& f) {
        gridtest::PrepareState(fixture::WriteFile(f, dir_ + "/in.sav"));
        NullConsumer none;
        lv::LoadGrid(none);
    }
    std::string Out() const { return dir_ + "/out.txt"; }
    std::string dir_;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(ExportTest, InternalFormWritesScientificNumbersAndStringsAsStored) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("N"), gridtest::String("S", 8)};
    f.cases = {{3.0, std::string("abc")},
               {-0.5, std::string("abcdefgh")},
               {0.0, std::string("")},
               {1234.5678, std::string(" x")},
               {fixture::kSysmis, std::string("z")}};
    Load(f);
    EXPECT_TRUE(lv::RunExport(Out(), ExportMode::InternalForm, nullptr));
    EXPECT_EQ(gridtest::ReadAll(Out()),
              " 3.00000000000000E+0000 abc      \r\n"
              "-5.00000000000000E-0001 abcdefgh \r\n"
              " 0.00000000000000E+0000          \r\n"
              " 1.23456780000000E+0003  x       \r\n"
              "-1.79769313486232E+0308 z        \r\n");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ExportTest, InternalFormIgnoresTheGridAndSkipsFailedValueReads) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B")};
    f.cases = {{1.0, 2.0}};
    Load(f);
    spssdio1::VarHandles[0] = -12345;  // a handle the library does not know
    EXPECT_TRUE(lv::RunExport(Out(), ExportMode::InternalForm, nullptr));
    EXPECT_EQ(gridtest::ReadAll(Out()), " 2.00000000000000E+0000 \r\n");
}

TEST_F(ExportTest, NoCasesOrMatrixDataGiveAnEmptyFileInBothModes) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    f.cases = {{1.0}};
    Load(f);
    TableCells cells;
    for (int count : {0, -1}) {
        spssdio1::CaseCount = count;
        gridtest::ReadAll(Out());
        EXPECT_TRUE(lv::RunExport(Out(), ExportMode::AsDisplayed, &cells));
        EXPECT_EQ(gridtest::ReadAll(Out()), "");
        EXPECT_TRUE(lv::RunExport(Out(), ExportMode::InternalForm, nullptr));
        EXPECT_EQ(gridtest::ReadAll(Out()), "");
        // The data file was opened and closed again.
        EXPECT_NE(spssReadCaseRecord(spssdio1::FileHandle), 0);
    }
}

TEST_F(ExportTest, NoVariablesGiveLinesOfOnlyCrLf) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    f.cases = {{1.0}, {2.0}};
    Load(f);
    spssdio1::VarCount = 0;
    TableCells cells;
    EXPECT_TRUE(lv::RunExport(Out(), ExportMode::InternalForm, nullptr));
    EXPECT_EQ(gridtest::ReadAll(Out()), "\r\n\r\n");
    EXPECT_TRUE(lv::RunExport(Out(), ExportMode::AsDisplayed, &cells));
    EXPECT_EQ(gridtest::ReadAll(Out()), "\r\n\r\n");
}

TEST_F(ExportTest, AsDisplayedWritesEveryCellAndABlankThenCrLf) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B")};
    f.cases = {{1.0, 2.0}, {3.0, 4.0}};
    Load(f);
    TableCells cells;
    cells.cells = {{"   1.00", "x"}, {"", "    ."}};
    EXPECT_TRUE(lv::RunExport(Out(), ExportMode::AsDisplayed, &cells));
    EXPECT_EQ(gridtest::ReadAll(Out()), "   1.00 x \r\n     . \r\n");
}

TEST_F(ExportTest, AReadFailureShowsItsMessageAndKeepsTheLinesBefore) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    f.cases = {{1.0}, {2.0}, {3.0}};
    Load(f);
    spssdio1::CaseCount = 5;  // two more than the file holds
    EXPECT_FALSE(lv::RunExport(Out(), ExportMode::InternalForm, nullptr));
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"データ読み込み中にトラブル発生：再度挑戦してください"});
    EXPECT_EQ(
        gridtest::ReadAll(Out()),
        " 1.00000000000000E+0000 \r\n 2.00000000000000E+0000 \r\n 3.00000000000000E+0000 \r\n");
    EXPECT_NE(spssReadCaseRecord(spssdio1::FileHandle), 0) << "data file left open";
}

TEST_F(ExportTest, ADirectoryTargetRaisesTheAccessDeniedErrorAndTouchesNoData) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    f.cases = {{1.0}};
    Load(f);
    try {
        lv::RunExport(dir_, ExportMode::InternalForm, nullptr);
        FAIL() << "no error";
    } catch (const lv::InOutError& e) {
        EXPECT_EQ(e.code, 5);
        EXPECT_STREQ(e.what(), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    }
}

TEST_F(ExportTest, AFullDiskStopsTheExportAndClosesTheDataFile) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::String("S", 200)};
    for (int i = 0; i < 2000; ++i) f.cases.push_back({std::string(200, 'q')});
    Load(f);
    EXPECT_THROW(lv::RunExport("/dev/full", ExportMode::InternalForm, nullptr), lv::InOutError);
    EXPECT_NE(spssReadCaseRecord(spssdio1::FileHandle), 0) << "data file left open";
}
