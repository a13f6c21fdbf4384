// --labels, --sort and find print what the grid window's own functions give
// in this process: the same grid, labels, sort, search and export code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/export/grid_cells.h"
#include "core/export/text_export.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_search.h"
#include "core/grid/grid_sort.h"
#include "core/selection/grid_selection.h"
#include "core/state/spssdio1.h"
#include "core/text/text_match.h"
#include "core/windows/summary.h"
#include "core/windows/variable_list.h"
#include "dump_support.h"
#include "tests/support/savfixture.h"

namespace {

using namespace spssdio1;

// The sample with more cases, so that sorting and finding have ties and
// several matches.
fixture::File Sample() {
    fixture::File f = fixture::SampleFile();
    const std::vector<fixture::Case> more = f.cases;
    for (int round = 0; round < 3; ++round)
        for (fixture::Case c : more) {
            c[0] = std::get<double>(c[0]) + 10 * (round + 1);
            f.cases.push_back(c);
        }
    return f;
}

class GridTools : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        path_ = fixture::WriteFile(Sample(), dir_ + "/sample.sav");
        ResetSharedState();
        // The window's grid: the file chosen, every case loaded, facts read.
        DataFileName = path_;
        lv::LineCollector ignored;
        lv::ShowFileSummaryLines(ignored);
        lv::BuildVariableList(ignored);
        lv::GridFill fill(grid_);
        lv::LoadGrid(fill);
        grid_.SetFacts(lv::ReadVariableFacts(path_, VarCount));
    }
    void TearDown() override { ResetSharedState(); }

    // The window's as-displayed export of the grid as it stands.
    std::string WindowExport() {
        const std::string out = dir_ + "/window.txt";
        lv::GridCellSource cells(grid_, lv::DictionaryOrder(grid_.columnCount()));
        EXPECT_TRUE(lv::RunExport(out, lv::ExportMode::AsDisplayed, &cells));
        return ReadWholeFile(out);
    }
    std::string ToolExport(std::vector<std::string> options) {
        const std::string out = dir_ + "/tool.txt";
        std::vector<std::string> args = {"export", path_, out, "--displayed"};
        args.insert(args.end(), options.begin(), options.end());
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadWholeFile(out);
    }
    // The grid's lines of display rows first .. end - 1, as the tool prints them.
    std::string WindowLines(uint32_t first, uint32_t end) {
        std::string all;
        for (uint32_t r = first; r < end; ++r) {
            std::string line;
            grid_.AppendRow(line, r, lv::DictionaryOrder(grid_.columnCount()));
            all += line + "\n";
        }
        return all;
    }

    std::string dir_, path_;
    lv::GridData grid_;
};

}  // namespace

TEST_F(GridTools, LabelsInTheExportAndTheGridAreTheWindowsLabels) {
    grid_.SetShowLabels(true);
    const std::string window = WindowExport();
    EXPECT_NE(window.find("Capital of France"), std::string::npos);
    EXPECT_EQ(ToolExport({"--labels"}), window);
    const DumpResult r = RunDump({"grid", "--labels", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, WindowLines(0, grid_.rowCount()));
}

TEST_F(GridTools, SortedRowsAreTheWindowsSortWithTwoKeysAndDescending) {
    // CODE first, then SCORE descending among CODE's ties.
    const lv::SortKey keys[] = {{7, false}, {1, true}};
    ASSERT_TRUE(lv::SortRows(grid_, keys));
    EXPECT_FALSE(grid_.order().identity());
    EXPECT_EQ(ToolExport({"--sort", "CODE,SCORE:desc"}), WindowExport());
    // Long names name variables too; --rows counts the sorted rows.
    const DumpResult r = RunDump({"grid", "--sort=CODE:asc,SCORE:desc", "--rows", "2:5", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, WindowLines(1, 5));
    grid_.ResetOrder();
    ASSERT_TRUE(lv::SortRows(grid_, lv::SortKey{3, true}));
    grid_.SetShowLabels(true);
    EXPECT_EQ(ToolExport({"--sort", "CityOfBirth:desc", "--labels"}), WindowExport());
}

TEST_F(GridTools, FindPrintsEveryMatchTheWindowFindsWithGrepsStatuses) {
    // The window's matches, one line each: case, name, text without padding.
    const auto expected = [&](const lv::TextMatcher& matcher, std::vector<int> columns) {
        std::string lines;
        lv::ForEachMatch(grid_, matcher, columns, 0, grid_.rowCount(), [&](lv::GridPlace p) {
            std::string text;
            grid_.AppendCell(text, p.row, columns[p.column]);
            lines += std::to_string(grid_.FileRow(p.row) + 1) + "\t" +
                     grid_.Name(columns[p.column]) + "\t" + std::string(lv::WithoutPadding(text)) +
                     "\n";
            return true;
        });
        return lines;
    };
    const std::vector<int> all = lv::DictionaryOrder(grid_.columnCount());
    DumpResult r = RunDump({"find", path_, "B"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected(lv::TextMatcher("B", {}), all));
    EXPECT_NE(r.out.find("\tNAME\tBob\n"), std::string::npos);

    r = RunDump({"find", "--case", "--whole", "--var", "CityOfBirth", path_, "Paris"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected(lv::TextMatcher("Paris", {true, true}), {3}));
    EXPECT_EQ(r.OutLines().size(), 4u);

    grid_.SetShowLabels(true);
    r = RunDump({"find", "--labels", path_, "capital"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected(lv::TextMatcher("capital", {}), all));

    r = RunDump({"find", path_, "capital"});  // labels not shown: no match
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    r = RunDump({"find", "--var", "NOSUCH", path_, "a"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("NOSUCH"), std::string::npos);
    r = RunDump({"find", dir_ + "/missing.sav", "a"});
    EXPECT_EQ(r.status, 2);
    r = RunDump({"find", path_});
    EXPECT_EQ(r.status, 2);
}

TEST_F(GridTools, SelectAndWhereAreTheGridsSelection) {
    // The window's selection over the loaded grid, then sorted within it.
    const std::string condition = "score > 1 OR cityofbirth = 'Paris'";
    ASSERT_EQ(lv::ApplyCondition(grid_, condition, "UTF-8").status, lv::GridSelection::Status::Ok);
    ASSERT_GT(grid_.rowCount(), 1u);
    ASSERT_LT(grid_.rowCount(), grid_.order().fileRowCount());
    std::string numbers;
    for (uint32_t row : grid_.order().All()) numbers += std::to_string(row + 1) + "\n";
    DumpResult r = RunDump({"select", path_, condition});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, numbers);

    ASSERT_TRUE(lv::SortRows(grid_, lv::SortKey{1, true}));
    EXPECT_EQ(ToolExport({"--where", condition, "--sort", "SCORE:desc"}), WindowExport());
    r = RunDump({"grid", "--where=" + condition, "--sort", "SCORE:desc", "--rows", "2:3", path_});
    EXPECT_EQ(r.out, WindowLines(1, 3));
    r = RunDump({"find", "--where", condition, path_, "Paris"});
    EXPECT_EQ(r.status, 0) << r.err;

    // None selected, and bad conditions: grep's statuses and the position.
    r = RunDump({"select", path_, "score > 1e9"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    r = RunDump({"select", path_, "score >"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("at character 8: "), std::string::npos) << r.err;
    r = RunDump({"grid", "--where", "nosuch = 1", path_});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no variable named 'nosuch'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = RunDump({"select", dir_ + "/missing.sav", "score > 1"});
    EXPECT_EQ(r.status, 2);
    r = RunDump({"vars", "--where", "score > 1", path_});
    EXPECT_EQ(r.status, 2);
}

TEST(DumpUsage, SortAndLabelsOnlyWhereTheyMeanSomething) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"grid", "--sort", "A:sideways", "x.sav"},
             {"grid", "--sort", "A,,B", "x.sav"},
             {"grid", "--sort"},
             {"export", "x.sav", "out.txt", "--raw", "--sort", "A"},
             {"vars", "--labels", "x.sav"},
             {"find", "x.sav", ""}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
        EXPECT_NE(r.err.find("lorivane-dump"), std::string::npos);
    }
}
