// The grid's additions at scale, on the 1 M x 40 survey: the grid load (and
// the variables' facts read beside it), sorting by a numeric and a string
// column, counting every match and finding one in the last row beside the
// as-displayed export, copying 100,000 cells; with value labels off and on;
// then lorivane-dump's partial reads (grid --rows, find --max-count) on the
// three compressions (alone with --tool-only).
// libreadstat's bare parse of the same file runs in a child in the same run
// as the peer.
//
//   bench_grid_tools [directory] [--tool-only]   (default /tmp/lorivane-bench-grid)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/support/bench_dialogs.h"
#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "core/dictionary/variable_facts.h"
#include "core/export/grid_cells.h"
#include "core/export/text_export.h"
#include "core/grid/case_store.h"
#include "core/grid/grid_copy.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_search.h"
#include "core/grid/grid_sort.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_line.h"
#include "core/windows/summary.h"
#include "core/windows/variable_list.h"

namespace {

using bench::Clock;
using bench::Seconds;

// The best of runs timings of body (after reset, untimed, before each).
double Best(
    int runs, const std::function<void()>& body, const std::function<void()>& reset = [] {}) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        reset();
        const auto start = Clock::now();
        body();
        best = std::min(best, Seconds(start));
    }
    return best;
}

long RssKb() {
    return bench::StatusKb("VmRSS:");
}

// libreadstat's bare parse in a child of its own: wall seconds.
double PeerParseInChild(const std::string& file) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        long long cells = 0;
        _exit(bench::PeerParse(file, &cells) == READSTAT_OK ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "peer parse failed\n");
    return Seconds(start);
}

void Row(const char* action, double seconds, const std::string& goal, const std::string& detail) {
    std::printf("| %s | %.3f | %s | %s |\n", action, seconds, goal.c_str(), detail.c_str());
    std::fflush(stdout);
}

std::string Format(const char* pattern, double value) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The worst case of a sort: 1 M distinct numbers and 1 M distinct strings
// (A24, random letters), in a grid made in memory.
void SortDistinct() {
    constexpr uint32_t kRows = 1'000'000;
    lv::GridLayout layout;
    layout.varCount = 2;
    layout.caseCount = kRows;
    layout.columns.resize(2);
    layout.columns[0].render = lv::ColumnRender::Make(0, 5, "%10.3f", 10, '.');
    layout.columns[1].stringWidth = 24;
    layout.columns[1].render = lv::ColumnRender::Make(24, 1, "%24s", 24, '.');
    auto store = std::make_unique<lv::MemoryCaseStore>(layout);
    lv::MemoryCaseStore* cases = store.get();
    std::mt19937_64 rng(7);
    std::string text(24, ' ');
    lv::GridCell cells[2];
    for (uint32_t r = 0; r < kRows; ++r) {
        cells[0].kind = lv::GridCell::Kind::Number;
        cells[0].number = double(rng() % 1'000'000'000) / 1000;
        const size_t length = 8 + rng() % 16;
        for (size_t i = 0; i < 24; ++i) text[i] = i < length ? char('a' + rng() % 26) : ' ';
        cells[1].kind = lv::GridCell::Kind::Text;
        cells[1].text = text;
        cases->Append(cells);
    }
    lv::GridData grid;
    grid.Reset(layout, std::move(store));
    for (int column : {0, 1}) {
        const long rss = RssKb();
        long peak = rss;
        const double seconds = Best(
            3,
            [&] {
                lv::SortRows(grid, lv::SortKey{column, false});
                peak = std::max(peak, RssKb());
            },
            [&] { grid.ResetOrder(); });
        Row(column == 0 ? "sort 1 M distinct numbers (made in memory)"
                        : "sort 1 M distinct strings, A24 (made in memory)",
            seconds, column == 0 ? "<= 0.3" : "<= 1.0",
            Format("RSS after %.0f MB above before", (peak - rss) / 1e3));
    }
}

}  // namespace

// lorivane-dump's partial reads on a file opened afresh by each run: rows
// near the end and in the middle, the first match and every match, on the
// three compressions, best of three; with LORIVANE_DUMP_BEFORE naming
// another build of the tool, its figures beside them.
void ToolReads(const std::string& dir) {
    const char* before = std::getenv("LORIVANE_DUMP_BEFORE");
    std::printf("\n| lorivane-dump on 1 M x 40 | file | seconds | before | peer parse |\n");
    std::printf("|---|---|---|---|---|\n");
    using fixture::Compression;
    for (const Compression compression :
         {Compression::None, Compression::Bytecode, Compression::Zlib}) {
        const std::string file = benchfiles::EnsureSurvey(dir, 100, compression);
        const double peer = PeerParseInChild(file);
        const std::string name = file.substr(file.rfind('/') + 1);
        const std::vector<std::vector<std::string>> commands = {
            {"grid", file, "--rows", "999991:1000000"},
            {"grid", file, "--rows", "500001:500010"},
            {"grid", file, "--rows", "1:10"},
            {"find", file, "tokyo", "--max-count", "1"},
            {"find", file, "tokyo", "--rows", "999001:"},
            {"find", file, "tokyo"}};
        for (const auto& args : commands) {
            std::string what;
            for (size_t i = 0; i < args.size(); ++i)
                if (i != 1) what += (what.empty() ? "" : " ") + args[i];
            std::vector<std::string> now = {LORIVANE_DUMP};
            now.insert(now.end(), args.begin(), args.end());
            const double seconds = bench::BestOf(now).seconds;
            // The earlier tool knew grid --rows and find without options.
            std::string then = "-";
            if (before && (args[0] == "grid" || args.size() == 3)) {
                std::vector<std::string> old = {before};
                old.insert(old.end(), args.begin(), args.end());
                then = Format("%.3f", bench::BestOf(old).seconds);
            }
            std::printf("| %s | %s | %.3f | %s | %.3f |\n", what.c_str(), name.c_str(), seconds,
                        then.c_str(), peer);
            std::fflush(stdout);
        }
    }
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[argc - 1], "--tool-only") == 0) {
        const std::string dir = argc > 2 ? argv[1] : "/tmp/lorivane-bench-grid";
        mkdir(dir.c_str(), 0755);
        ToolReads(dir);
        return 0;
    }
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-grid";
    mkdir(dir.c_str(), 0755);
    const std::string file = benchfiles::EnsureSurvey(dir);
    const std::string out = dir + "/grid-tools-export.txt";
    bench::BenchDialogs quiet;
    lv::SetDialogs(&quiet);

    std::printf("| action (1 M cases x 40 variables) | seconds | goal | detail |\n");
    std::printf("|---|---|---|---|\n");
    const double peer = PeerParseInChild(file);
    Row("libreadstat bare parse (peer, child process)", peer, "", "");

    spssdio1::DataFileName = file;
    lv::LineCollector lines;
    lv::ShowFileSummaryLines(lines);
    lv::BuildVariableList(lines);
    const long rssBefore = RssKb();
    lv::GridData grid;
    lv::GridFill fill(grid);
    auto start = Clock::now();
    lv::LoadGrid(fill);
    const double load = Seconds(start);
    Row("grid load (every case read and checked, the case index kept)", load,
        Format("<= %.2f (0.6x peer)", 0.6 * peer),
        Format("%.2f x peer; ", load / peer) +
            Format("RSS growth %.1f MB", (RssKb() - rssBefore) / 1e3));
    start = Clock::now();
    grid.SetFacts(lv::ReadVariableFacts(file, spssdio1::VarCount));
    const double facts = Seconds(start);
    Row("variables' facts (labels, missing values) read after the load", facts, "",
        Format("load + facts = %.2f x peer", (load + facts) / peer));

    const std::vector<int> columns = lv::DictionaryOrder(grid.columnCount());
    double exportSeconds[2] = {};
    for (const bool labels : {false, true}) {
        grid.SetShowLabels(labels);
        const char* on = labels ? "labels on" : "labels off";
        exportSeconds[labels] = Best(2, [&] {
            lv::GridCellSource cells(grid, columns);
            lv::RunExport(out, lv::ExportMode::AsDisplayed, &cells);
        });
        Row((std::string("as-displayed export, ") + on).c_str(), exportSeconds[labels], "",
            Format("%.0f MB written", [&] {
                struct stat st;
                return stat(out.c_str(), &st) == 0 ? st.st_size / 1e6 : 0.0;
            }()));
        const lv::TextMatcher matcher(labels ? "agree" : "tokyo", {});
        uint64_t count = 0;
        const double counting = Best(2, [&] { count = *lv::CountMatches(grid, matcher, columns); });
        Row((std::string("count all matches, ") + on).c_str(), counting,
            Format("<= %.2f (1.5x export)", 1.5 * exportSeconds[labels]),
            Format("%.2f x export; ", counting / exportSeconds[labels]) + std::to_string(count) +
                " matches of \"" + (labels ? "agree" : "tokyo") + "\"");
    }
    unlink(out.c_str());

    // The next match from the top is in the last row only.
    grid.SetShowLabels(false);
    const uint32_t last = grid.rowCount() - 1;
    grid.SetEdit(last, 39, "needle-in-the-last-row");
    const lv::TextMatcher needle("needle", {});
    lv::FindResult found;
    const double next = Best(2, [&] {
        found = lv::FindNext(grid, needle, columns, {0, 0}, false);
    });
    Row("next match from the top, in the last row", next,
        Format("<= %.2f (1.5x export)", 1.5 * exportSeconds[0]),
        Format("%.2f x export; ", next / exportSeconds[0]) +
            (found.found && found.place.row == last ? "found in the last row" : "NOT FOUND"));

    const struct {
        const char* what;
        int column;
        double goal;
    } sorts[] = {{"sort numeric codes (Q1, 5 values + sysmis)", 0, 0.3},
                 {"sort numeric amounts (AMT1, 10,000 distinct)", 20, 0.3},
                 {"sort dates (D1)", 28, 0.3},
                 {"sort strings (S3, A20, 8 distinct)", 34, 1.0},
                 {"sort strings (S8, A300, long texts)", 39, 1.0}};
    for (const auto& s : sorts) {
        const double seconds = Best(
            3,
            [&] {
                lv::SortRows(grid, lv::SortKey{s.column, false});
            },
            [&] { grid.ResetOrder(); });
        Row(s.what, seconds, Format("<= %.1f", s.goal),
            Format("row order %.1f bytes per row",
                   double(grid.order().MemoryBytes()) / grid.rowCount()));
    }
    SortDistinct();
    grid.ResetOrder();
    lv::SortRows(grid, lv::SortKey{20, true});
    // Rows in another order than the file's are read a window at a time.
    const double sortedExport = Best(1, [&] {
        lv::GridCellSource cells(grid, columns);
        lv::RunExport(out, lv::ExportMode::AsDisplayed, &cells);
    });
    unlink(out.c_str());
    Row("as-displayed export, rows sorted by AMT1", sortedExport, "",
        Format("%.2f x export in the file's order", sortedExport / exportSeconds[0]));
    const uint32_t lastShown = grid.order().DisplayRowOf(last);
    const double sortedNext = Best(1, [&] {
        found = lv::FindNext(grid, needle, columns, {0, 0}, false);
    });
    Row("next match from the top, rows sorted, in the last case", sortedNext,
        Format("<= %.2f (1.5x export)", 1.5 * sortedExport),
        std::string(found.found && found.place.row == lastShown ? "found in row " : "NOT FOUND ") +
            std::to_string(lastShown));
    for (const bool labels : {false, true}) {
        grid.SetShowLabels(labels);
        lv::CopyRange range;
        range.firstRow = 1000;
        range.endRow = 1000 + 2500;
        range.withNames = true;
        size_t bytes = 0;
        const double copy =
            Best(3, [&] { bytes = lv::CopyCells(grid, columns, range)->text.size(); });
        Row(labels ? "copy 100,000 cells of sorted rows, text + HTML, labels on"
                   : "copy 100,000 cells of sorted rows, text + HTML, labels off",
            copy, "<= 0.3", Format("%.1f MB of text", bytes / 1e6));
    }
    lv::SetDialogs(nullptr);
    ToolReads(dir);
    return 0;
}
