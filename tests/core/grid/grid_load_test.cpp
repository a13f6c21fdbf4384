#include "core/grid/grid_load.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/state/errors.h"
#include "tests/core/grid/grid_support.h"

using gridtest::ScriptedDialogs;
using lv::GridCell;
using lv::GridLoadOutcome;

namespace {

// Records what the load hands over, as texts.
class Recorder : public lv::GridLoadConsumer {
  public:
    lv::GridLayout layout;
    bool editing = false;
    bool editingBeforeCases = true;
    std::vector<std::vector<std::string>> rows;

    void Layout(const lv::GridLayout& l) override { layout = l; }
    void EditingOn() override { editing = true; }
    void Case(int row, std::span<const GridCell> cells) override {
        if (!editing) editingBeforeCases = false;
        EXPECT_EQ(row, static_cast<int>(rows.size()) + 1);
        std::vector<std::string> texts;
        for (size_t c = 0; c < cells.size(); ++c) {
            std::string t;
            const auto& render = layout.columns[c].render;
            switch (cells[c].kind) {
                case GridCell::Kind::Text:
                    render.AppendText(t, cells[c].text);
                    break;
                case GridCell::Kind::Number:
                    render.AppendValue(t, cells[c].number);
                    break;
                case GridCell::Kind::Sysmis:
                    render.AppendSysmis(t);
                    break;
                case GridCell::Kind::Unread:
                    t = "<unread>";
                    break;
            }
            texts.push_back(t);
        }
        rows.push_back(texts);
    }
};

class GridLoadTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    std::string Write(const fixture::File& f, const std::string& name = "g.sav") {
        return fixture::WriteFile(f, dir_ + "/" + name);
    }
    std::string dir_;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(GridLoadTest, RendersEveryKindOfCellAndWidensNarrowColumns) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("AGE", 5, 1), gridtest::Numeric("X", 1, 0),
                   gridtest::Numeric("W", 8, 2),   gridtest::Date("BORN"),
                   gridtest::String("CITY", 8),    gridtest::Numeric("BIG", 40, 2)};
    f.cases = {
        {12.5, 3.0, 1234567.0, gridtest::SpssDate(2001, 3, 5), std::string("abc"),
         fixture::kSysmis},
        {fixture::kSysmis, fixture::kSysmis, -1.005, fixture::kSysmis, std::string("Tokyo"), 1.5}};
    gridtest::PrepareState(Write(f));
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::Complete);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0];
    ASSERT_EQ(rec.layout.columns.size(), 6u);
    EXPECT_EQ(rec.layout.columns[0].name, "AGE");
    EXPECT_EQ(rec.layout.columns[0].pixelWidth, 51);  // w 5, name of 3: n = 6
    EXPECT_EQ(spssdio1::ColumnWidths[0], 6);
    EXPECT_EQ(rec.layout.columns[1].pixelWidth, 34);  // w 1, name of 1: n = 4
    EXPECT_EQ(spssdio1::ColumnWidths[1], 4);
    EXPECT_EQ(rec.layout.columns[2].pixelWidth, 68);
    EXPECT_EQ(spssdio1::ColumnWidths[2], 8);
    EXPECT_EQ(rec.layout.columns[3].pixelWidth, 93);  // dates are 11 wide
    EXPECT_EQ(rec.layout.columns[5].pixelWidth, 340);
    EXPECT_TRUE(rec.editing);
    EXPECT_TRUE(rec.editingBeforeCases);
    ASSERT_EQ(rec.rows.size(), 2u);
    EXPECT_EQ(rec.rows[0], (std::vector<std::string>{"  12.5", "   3", "1234567.00", " 2001/03/05",
                                                     "abc     ", std::string(10, ' ') + "."}));
    EXPECT_EQ(rec.rows[1][0], std::string(5, ' ') + ".");
    EXPECT_EQ(rec.rows[1][1], "   .");
    EXPECT_EQ(rec.rows[1][2], "   -1.00");
    EXPECT_EQ(rec.rows[1][3], std::string(10, ' ') + ".");
    EXPECT_EQ(rec.rows[1][4], "Tokyo   ");
    EXPECT_EQ(rec.rows[1][5], std::string(36, ' ') + "1.50");
}

TEST_F(GridLoadTest, NoCasesGivesTheLayoutAndNoCaseReads) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::String("S", 3)};
    gridtest::PrepareState(Write(f));
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::Complete);
    EXPECT_EQ(rec.layout.RowCount(), 1);
    EXPECT_TRUE(rec.rows.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridLoadTest, AReadFailureAtCaseFiveOfTenKeepsTheFourBeforeIt) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B")};
    for (int i = 1; i <= 4; ++i) f.cases.push_back({double(i), double(i * 10)});
    // The summary counted 10 cases; the data end inside case 5.
    const std::string path = Write(f);
    std::FILE* out = std::fopen(path.c_str(), "ab");
    std::fwrite("\0\0\0\0\0\0\xf0\x3f", 1, 8, out);
    std::fclose(out);
    gridtest::PrepareState(path);
    spssdio1::CaseCount = 10;
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::ReadFailed);
    EXPECT_EQ(rec.rows.size(), 4u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "データ読み込み中にトラブル発生：再度挑戦してください");
    EXPECT_TRUE(rec.editing);
}

TEST_F(GridLoadTest, AHandleFailureStopsBeforeEditingAndCases) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B")};
    f.cases = {{1.0, 2.0}};
    gridtest::PrepareState(Write(f));
    std::snprintf(spssdio1::VarNames[1].data(), 10, "NOPE");
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::HandleFailed);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Error at spssGetVarHandle.: ", 0), 0u);
    EXPECT_GT(dialogs.messages[0].size(), std::string("Error at spssGetVarHandle.: ").size());
    EXPECT_FALSE(rec.editing);
    EXPECT_TRUE(rec.rows.empty());
    EXPECT_EQ(rec.layout.columns[1].name, "NOPE");
}

TEST_F(GridLoadTest, MatrixDataStopsAfterEditingWithItsMessage) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    f.cases = {{1.0}};
    gridtest::PrepareState(Write(f));
    spssdio1::CaseCount = -1;
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::MatrixData);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"このデータは読み込みません:Matrix DATA です"});
    EXPECT_TRUE(rec.editing);
    EXPECT_TRUE(rec.rows.empty());
}

TEST_F(GridLoadTest, ARenderingErrorEndsTheLoadAtItsCellAndClosesTheFile) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A"), gridtest::Numeric("B"), gridtest::Numeric("C")};
    f.cases = {{1.0, fixture::kSysmis, 3.0}, {4.0, 5.0, 6.0}};
    gridtest::PrepareState(Write(f));
    spssdio1::DisplayFormats[1] = "%8s";
    Recorder rec;
    try {
        lv::LoadGrid(rec);
        FAIL() << "no rendering error";
    } catch (const lv::ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("%8s"), std::string::npos);
    }
    // Case 1 whole (its B is system-missing, never rendered); case 2 up to A.
    ASSERT_EQ(rec.rows.size(), 2u);
    EXPECT_EQ(rec.rows[0].size(), 3u);
    EXPECT_EQ(rec.rows[1], std::vector<std::string>{"    4.00"});
    EXPECT_NE(spssReadCaseRecord(spssdio1::FileHandle), 0) << "the file was left open";
}

TEST_F(GridLoadTest, AnEmptyFileNameLoadsNothing) {
    spssdio1::ResetSharedState();
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::NoFile);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GridLoadTest, LongStringsAreReadWhole) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::String("LONG", 700)};
    f.cases = {{std::string(600, 'x') + "end"}};
    gridtest::PrepareState(Write(f));
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::Complete);
    ASSERT_EQ(rec.rows.size(), 1u);
    EXPECT_EQ(rec.rows[0][0], std::string(600, 'x') + "end" + std::string(97, ' '));
}

TEST_F(GridLoadTest, MoreThan600VariablesLoadWhole) {
    fixture::File f = gridtest::Basic();
    fixture::Case row;
    for (int i = 0; i < 1500; ++i) {
        f.variables.push_back(gridtest::Numeric("V" + std::to_string(i), 4, 0));
        row.push_back(double(i));
    }
    f.cases = {row, row};
    gridtest::PrepareState(Write(f));
    ASSERT_EQ(spssdio1::VarCount, 1500);
    Recorder rec;
    EXPECT_EQ(lv::LoadGrid(rec), GridLoadOutcome::Complete);
    ASSERT_EQ(rec.rows.size(), 2u);
    ASSERT_EQ(rec.rows[1].size(), 1500u);
    EXPECT_EQ(rec.layout.columns[1499].name, "V1499");
    EXPECT_EQ(rec.rows[1][1499], " 1499");  // name of 5: n = 5
}
