// Long work stopped by its progress: the exports, the variable list, the
// dictionary and the variables' facts end early, close what they opened and
// leave no result that looks whole; a load asked for some cases reads no
// case after them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/variable_facts.h"
#include "core/export/text_export.h"
#include "core/grid/grid_load.h"
#include "tests/core/grid/grid_support.h"

namespace {

// Says stop at its stop-th step (1-based); counts the steps it was asked.
class StopAt final : public lv::Progress {
  public:
    explicit StopAt(int stop) : stop_(stop) {}
    bool Step(uint64_t, uint64_t) override { return ++steps < stop_; }
    int steps = 0;

  private:
    int stop_;
};

class FirstCases final : public lv::GridLoadConsumer {
  public:
    explicit FirstCases(int last) : last_(last) {}
    void Layout(const lv::GridLayout&) override {}
    void EditingOn() override {}
    int LastCase() const override { return last_; }
    void Case(int row, std::span<const lv::GridCell>) override { rows.push_back(row); }
    std::vector<int> rows;

  private:
    int last_;
};

// rows x columns cells of one text.
class SameCells final : public lv::CellTextSource {
  public:
    explicit SameCells(std::string text) : text_(std::move(text)) {}
    void AppendCell(std::string& out, int, int) override { out += text_; }

  private:
    std::string text_;
};

class NoCases final : public lv::GridLoadConsumer {
    void Layout(const lv::GridLayout&) override {}
    void EditingOn() override {}
    void Case(int, std::span<const lv::GridCell>) override {}
};

class LongWorkStopTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    // manyVariables numeric variables and cases cases; the state as the
    // windows leave it after the variable list.
    std::string Prepare(int variables, int cases) {
        fixture::File f = gridtest::Basic();
        for (int v = 0; v < variables; ++v) {
            std::string name = std::to_string(v);
            name.insert(name.begin(), 'V');
            f.variables.push_back(gridtest::Numeric(name));
        }
        for (int r = 0; r < cases; ++r) f.cases.emplace_back(variables, double(r));
        const std::string path = fixture::WriteFile(f, dir_ + "/in.sav");
        gridtest::PrepareState(path);
        return path;
    }
    bool DataFileClosed() const { return spssCloseRead(spssdio1::FileHandle) != 0; }
    std::string Out() const { return dir_ + "/out.txt"; }
    std::string dir_;
    gridtest::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(LongWorkStopTest, StoppedExportsCloseTheDataFileAndRemoveTheirOutput) {
    Prepare(2, 5000);
    NoCases none;
    lv::LoadGrid(none);
    StopAt second(2);
    EXPECT_FALSE(lv::RunExport(Out(), lv::ExportMode::InternalForm, nullptr, &second));
    EXPECT_EQ(second.steps, 2);
    EXPECT_FALSE(std::ifstream(Out()).good());
    EXPECT_TRUE(DataFileClosed());

    SameCells cells("x");
    StopAt third(3);
    EXPECT_FALSE(lv::RunExport(Out(), lv::ExportMode::AsDisplayed, &cells, &third));
    EXPECT_FALSE(std::ifstream(Out()).good());
    EXPECT_TRUE(dialogs.messages.empty());

    // Not stopped, the same exports are whole.
    StopAt never(1 << 30);
    EXPECT_TRUE(lv::RunExport(Out(), lv::ExportMode::AsDisplayed, &cells, &never));
    EXPECT_EQ(gridtest::ReadAll(Out()).size(), 5000u * 6);
}

TEST_F(LongWorkStopTest, AStoppedExportToADeviceLeavesTheDevice) {
    Prepare(1, 3000);
    NoCases none;
    lv::LoadGrid(none);
    StopAt first(1);
    EXPECT_FALSE(lv::RunExport("/dev/null", lv::ExportMode::InternalForm, nullptr, &first));
    struct stat st {};
    EXPECT_EQ(stat("/dev/null", &st), 0);
}

TEST_F(LongWorkStopTest, StoppedDictionaryReadsEndEarlyAndSaySo) {
    const std::string path = Prepare(200, 1);
    StopAt second(2);
    lv::FileDictionary dict;
    EXPECT_EQ(lv::ReadFileDictionary(path, &dict, &second), lv::kDictionaryCancelled);
    EXPECT_EQ(second.steps, 2);

    StopAt third(3);
    const std::vector<lv::VariableFacts> facts = lv::ReadVariableFacts(path, 200, &third);
    ASSERT_EQ(facts.size(), 200u);
    // A stopped read takes nothing from the dictionary: the names only.
    EXPECT_EQ(facts[0].format.width, 0);
    EXPECT_EQ(facts[199].format.width, 0);
    EXPECT_EQ(facts[199].name, "V199");

    lv::LineCollector lines;
    StopAt fourth(4);
    EXPECT_TRUE(lv::BuildVariableList(lines, &fourth));
    EXPECT_EQ(lines.lines.size(), 3u * 64);
    EXPECT_TRUE(DataFileClosed());
}

TEST_F(LongWorkStopTest, ALoadAskedForSomeCasesReadsNoneAfterThem) {
    // Case 5 of 10 is cut short: asking for 1 .. 4 does not reach it.
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A")};
    for (int i = 1; i <= 4; ++i) f.cases.push_back({double(i)});
    const std::string path = fixture::WriteFile(f, dir_ + "/cut.sav");
    std::FILE* out = std::fopen(path.c_str(), "ab");
    std::fwrite("\0\0\0", 1, 3, out);
    std::fclose(out);
    gridtest::PrepareState(path);
    spssdio1::CaseCount = 10;
    FirstCases four(4);
    EXPECT_EQ(lv::LoadGrid(four), lv::GridLoadOutcome::Complete);
    EXPECT_EQ(four.rows, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(DataFileClosed());

    FirstCases none(0);
    EXPECT_EQ(lv::LoadGrid(none), lv::GridLoadOutcome::Complete);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(DataFileClosed());
}
