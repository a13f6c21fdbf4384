// The tool prints what the windows' own functions produce: each command is
// compared with the core function the window calls, run in this process.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/export/text_export.h"
#include "core/grid/grid_load.h"
#include "core/state/spssdio1.h"
#include "core/text/display_line.h"
#include "core/windows/summary.h"
#include "core/windows/value_labels.h"
#include "core/windows/variable_list.h"
#include "dump_support.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace {

using namespace spssdio1;

std::string Joined(const lv::LineCollector& c) {
    std::string s;
    for (const std::string& line : c.Bytes()) s += line + "\n";
    return s;
}

class SameCode : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        path_ = fixture::WriteFile(fixture::SampleFile(), dir_ + "/sample.sav");
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }
    // The state the program has after a file is chosen.
    void Choose() {
        DataFileName = path_;
        lv::LineCollector ignored;
        lv::ShowFileSummaryLines(ignored);
        lv::BuildVariableList(ignored);
    }
    std::string dir_, path_;
};

TEST_F(SameCode, SummaryIsTheFileLineAndTheSummaryLines) {
    DataFileName = path_;
    lv::LineCollector lines;
    lines.AddLine(lv::FileNameLine());
    lv::ShowFileSummaryLines(lines);
    const DumpResult r = RunDump({"summary", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Joined(lines));
}

// vars lays the window's lines out for a terminal, under a heading: the
// same fields, in the same order.
TEST_F(SameCode, VarsIsTheVariableListBuild) {
    DataFileName = path_;
    lv::LineCollector ignored, lines;
    lv::ShowFileSummaryLines(ignored);
    lv::BuildVariableList(lines);
    const DumpResult r = RunDump({"vars", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto words = [](const std::string& line) {
        std::vector<std::string> out;
        std::istringstream in(line);
        for (std::string w; in >> w;) out.push_back(w);
        return out;
    };
    const std::vector<std::string> printed = r.OutLines();
    ASSERT_EQ(printed.size(), lines.lines.size() + 1);
    EXPECT_EQ(words(printed[0]),
              (std::vector<std::string>{"変数名", "タイプ", "値ラベル", "欠損値", "変数ラベル"}));
    for (size_t i = 0; i < lines.lines.size(); ++i)
        EXPECT_EQ(words(printed[i + 1]), words(lines.lines[i].Bytes())) << i;
    EXPECT_EQ(lines.lines.size(), static_cast<size_t>(VarCount));
}

TEST_F(SameCode, LabelsIsTheValueLabelFillOfEveryVariable) {
    Choose();
    struct Sink : lv::ValueLabelSink {
        lv::LineCollector lines;
        void AddLine(const lv::DisplayLine& l) override { lines.AddLine(l); }
        void SetVarName(std::string_view) override {}
        void SetVarLabel(std::string_view) override {}
    };
    for (int i = 0; i < VarCount; ++i) {
        const std::string name(SlotText(VarNames[i]));
        SelectedVarIndex = i;
        CurrentVarName = name;
        Sink sink;
        lv::FillValueLabelWindow(sink);
        const DumpResult r = RunDump({"labels", path_, name});
        EXPECT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(r.out, Joined(sink.lines)) << name;
    }
}

TEST_F(SameCode, RawExportIsTheWindowsExport) {
    Choose();
    // The window obtains the handles in its load; take them the same way.
    struct Ignore : lv::GridLoadConsumer {
        void Layout(const lv::GridLayout&) override {}
        void EditingOn() override {}
        void Case(int, std::span<const lv::GridCell>) override {}
    } ignore;
    lv::LoadGrid(ignore);
    const std::string mine = dir_ + "/mine.txt", tool = dir_ + "/tool.txt";
    ASSERT_TRUE(lv::RunExport(mine, lv::ExportMode::InternalForm, nullptr));
    const DumpResult r = RunDump({"export", path_, tool, "--raw"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(tool), ReadWholeFile(mine));
    EXPECT_FALSE(ReadWholeFile(mine).empty());
}

TEST_F(SameCode, DisplayedExportAndGridPrintTheCellTexts) {
    Choose();
    // The cell texts as the grid model renders them, joined as the export writes them.
    struct Render : lv::GridLoadConsumer {
        lv::GridLayout layout;
        std::string file, grid;
        void Layout(const lv::GridLayout& l) override { layout = l; }
        void EditingOn() override {}
        void Case(int, std::span<const lv::GridCell> cells) override {
            std::string line;
            for (size_t v = 0; v < cells.size(); ++v) {
                const auto& render = layout.columns[v].render;
                switch (cells[v].kind) {
                    case lv::GridCell::Kind::Sysmis:
                        render.AppendSysmis(line);
                        break;
                    case lv::GridCell::Kind::Number:
                        render.AppendValue(line, cells[v].number);
                        break;
                    case lv::GridCell::Kind::Text:
                        render.AppendText(line, cells[v].text);
                        break;
                    case lv::GridCell::Kind::Unread:
                        break;
                }
                line += ' ';
            }
            file += line + "\r\n";
            grid += line + "\n";
        }
    } render;
    ASSERT_EQ(lv::LoadGrid(render), lv::GridLoadOutcome::Complete);
    const std::string tool = dir_ + "/shown.txt";
    DumpResult r = RunDump({"export", path_, tool, "--displayed"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(tool), render.file);
    r = RunDump({"grid", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, render.grid);
}

}  // namespace
