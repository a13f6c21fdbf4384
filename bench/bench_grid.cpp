// The data grid at scale: creating the grid window and drawing its first
// screen (with value labels off and on), the case index completed on its
// thread after it (with the longest stall of the event loop meanwhile), rows drawn after jumps (the
// scrollbar dragged to the end, go to a case, rows anywhere), a sort by a
// numeric column, a computed column added, drawn and sorted by, the
// as-displayed export and the internal-form export, each in a child process
// of its own (wall time and peak RSS), beside libreadstat's bare parse of
// the same file and Debian's `readstat FILE out.csv`. Surveys of 1 M cases
// (uncompressed, bytecode, zlib) and 5 M (bytecode) are made with the
// fixture writer into the directory when absent; --huge also makes a survey
// of about 10 GB, opens it and deletes it.
//
//   bench_grid [directory] [--huge]      (default /tmp/lorivane-bench-grid)
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/support/bench_dialogs.h"
#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_line.h"
#include "core/windows/summary.h"
#include "core/windows/variable_list.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/windows/DPGrid.h"
#include "tests/support/savfixture.h"

using namespace lv;

namespace {

using bench::Clock;
using bench::Measure;
using bench::Seconds;
using bench::Spawn;
using bench::StatusKb;

// ---- the measured actions, each run in a child ----

long RssKb() {
    return StatusKb("VmRSS:");
}

// Milliseconds until the grid has drawn its screen after move.
template <class Move>
double DrawnAfter(TfrmDPGrid* grid, Move move) {
    const auto start = Clock::now();
    move();
    grid->grab();
    return Seconds(start) * 1000;
}

int RunChild(const std::string& mode, const std::string& file) {
    if (mode == "readstat-parse") {
        long long cells = 0;
        const readstat_error_t err = bench::PeerParse(file, &cells);
        std::printf("cells=%lld\n", cells);
        return err == READSTAT_OK ? 0 : 1;
    }
    int argc = 1;
    char name[] = "bench_grid";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    bench::BenchDialogs dialogs;
    lv::SetDialogs(&dialogs);
    spssdio1::DataFileName = file;
    lv::LineCollector lines;
    lv::ShowFileSummaryLines(lines);
    lines.lines.clear();
    lv::BuildVariableList(lines);
    lines.lines.clear();
    const long rssBefore = RssKb();
    auto start = Clock::now();
    auto* grid = new TfrmDPGrid();
    // Value labels shown in place of the codes they label, from the first screen.
    if (mode == "grid-labels") grid->model->SetShowLabels(true);
    grid->show();
    QPixmap first = grid->grab();  // draws the first screen
    QApplication::processEvents();
    const double gridSeconds = Seconds(start);
    std::printf("grid_s=%.3f rss_before_grid_MB=%.1f rss_with_grid_MB=%.1f peak_MB=%.1f\n",
                gridSeconds, rssBefore / 1e3, RssKb() / 1e3, StatusKb("VmHWM:") / 1e3);
    if (mode == "grid-labels") return 0;
    if (mode == "grid-computed") {
        // A computed column (the mean of five answers and the amount of the
        // case before): added, drawn where it stands, drawn at rows anywhere,
        // and sorted by; the memory it takes is the blocks on hand.
        GridView* view = grid->StringGrid1;
        const int rows = grid->model->rowCount();
        lv::ComputeSpec spec;
        spec.name = "M";
        spec.expression = "MEAN(Q1 TO Q5) + LAG(AMT1)";
        start = Clock::now();
        if (grid->model->AddComputed(spec)) return 1;
        const int column = grid->model->columnCount() - 1;
        view->GoTo(grid->model->index(0, column), false);
        grid->grab();
        const double added = Seconds(start) * 1000;
        std::mt19937 rng(5);
        std::vector<double> anywhere;
        for (int i = 0; i < 20; ++i)
            anywhere.push_back(DrawnAfter(grid, [&] {
                view->GoTo(grid->model->index(int(rng() % uint32_t(rows)), column), false);
            }));
        std::sort(anywhere.begin(), anywhere.end());
        const double rss = RssKb() / 1e3;
        start = Clock::now();
        grid->model->Sort(column, false, nullptr);
        grid->grab();
        std::printf(
            "added_and_drawn_ms=%.1f any_row_ms=%.1f/%.1f rss_MB=%.1f sort_s=%.3f "
            "peak_MB=%.1f\n",
            added, anywhere[anywhere.size() / 2], anywhere.back(), rss, Seconds(start),
            StatusKb("VmHWM:") / 1e3);
        return 0;
    }
    if (mode == "grid") {
        // The index on its thread: until it is whole the event loop runs as
        // the window's does, a 10 ms timer recording the longest gap between
        // two of its ticks (what a user would feel as a stall).
        double longestGapMs = 0;
        auto last = Clock::now();
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, Seconds(last) * 1000);
            last = Clock::now();
        });
        tick.start();
        while (grid->model->indexing().running())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        tick.stop();
        std::printf("index_whole_s=%.3f longest_event_gap_ms=%.1f peak_MB=%.1f\n", Seconds(start),
                    longestGapMs, StatusKb("VmHWM:") / 1e3);

        // Jumps, each to rows not drawn before: the scrollbar dragged to the
        // end, go to the middle case, then rows anywhere.
        GridView* view = grid->StringGrid1;
        const int rows = grid->model->rowCount();
        const double toEnd = DrawnAfter(grid, [&] {
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        });
        const double toMiddle =
            DrawnAfter(grid, [&] { view->GoTo(grid->model->index(rows / 2, 0), false); });
        std::mt19937 rng(5);
        std::vector<double> anywhere;
        for (int i = 0; i < 20; ++i)
            anywhere.push_back(DrawnAfter(grid, [&] {
                view->GoTo(grid->model->index(int(rng() % uint32_t(rows)), int(rng() % 40)), false);
            }));
        std::sort(anywhere.begin(), anywhere.end());
        std::printf("scrollbar_to_end_ms=%.1f go_to_middle_ms=%.1f any_row_ms=%.1f/%.1f\n", toEnd,
                    toMiddle, anywhere[anywhere.size() / 2], anywhere.back());
        // A sort by a numeric column (AMT1: amounts with two decimals),
        // reading its key column from the file, and the first screen after.
        start = Clock::now();
        grid->model->Sort(20, false, nullptr);
        grid->grab();
        std::printf("sort_numeric_s=%.3f peak_MB=%.1f\n", Seconds(start), StatusKb("VmHWM:") / 1e3);
        return 0;
    }
    dialogs.savePath = "/tmp/lorivane-bench-grid-out.txt";
    dialogs.answer = mode == "displayed" ? lv::ConfirmAnswer::Yes : lv::ConfirmAnswer::No;
    const long rssGrid = RssKb();
    start = Clock::now();
    grid->btmWriteClick();
    std::printf("export_s=%.3f rss_growth_during_export_MB=%.1f\n", Seconds(start),
                (RssKb() - rssGrid) / 1e3);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[2], argv[3]);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bool huge = false;
    std::string dir = "/tmp/lorivane-bench-grid";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--huge") == 0)
            huge = true;
        else
            dir = argv[i];
    }
    mkdir(dir.c_str(), 0755);
    using fixture::Compression;
    struct Item {
        std::string file;
        double cells;
        bool exports;
    };
    std::vector<Item> items = {
        {benchfiles::EnsureSurvey(dir, 100, Compression::Bytecode), 40e6, true},
        {benchfiles::EnsureSurvey(dir, 500, Compression::Bytecode), 200e6, false},
        {benchfiles::EnsureSurvey(dir, 100, Compression::Zlib), 40e6, false},
        {benchfiles::EnsureSurvey(dir, 100, Compression::None), 40e6, false},
        {benchfiles::EnsureWide(dir), 3e6, true},
    };
    if (huge)
        items.push_back(
            {benchfiles::EnsureSurvey(dir, 3200, Compression::Bytecode), 1280e6, false});
    char exe[4096];
    const ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[len > 0 ? len : 0] = 0;
    std::printf(
        "| file | MB | cells | action | wall s | peak RSS MB | MB per M cells | detail |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Item& it : items) {
        const std::string& file = it.file;
        struct stat st;
        stat(file.c_str(), &st);
        // Each export starts with no output file, so that no row pays for
        // truncating the previous row's gigabyte.
        auto fresh = [](std::vector<std::string> args) {
            unlink("/tmp/lorivane-bench-grid-out.txt");
            return args;
        };
        auto row = [&](const char* action, const Measure& m) {
            std::printf("| %s | %.0f | %.0f M | %s | %.2f | %.0f | %.1f | %s |\n",
                        file.substr(dir.size() + 1).c_str(), st.st_size / 1e6, it.cells / 1e6,
                        action, m.seconds, m.peakMb, m.peakMb / (it.cells / 1e6), m.out.c_str());
            std::fflush(stdout);
        };
        row("libreadstat bare parse", Spawn({exe, "--child", "readstat-parse", file}));
        row("grid window + first screen, jumps, sort", Spawn({exe, "--child", "grid", file}));
        if (!it.exports) continue;
        if (it.cells > 10e6)
            row("grid + computed column: drawn, jumps, sort",
                Spawn({exe, "--child", "grid-computed", file}));
        row("grid window, labels on + first screen", Spawn({exe, "--child", "grid-labels", file}));
        row("grid + as-displayed export", Spawn(fresh({exe, "--child", "displayed", file})));
        row("grid + internal-form export", Spawn(fresh({exe, "--child", "internal", file})));
        row("readstat FILE out.csv", Spawn({"readstat", file, "/tmp/lorivane-bench-grid-out.csv"}));
        unlink("/tmp/lorivane-bench-grid-out.csv");
    }
    unlink("/tmp/lorivane-bench-grid-out.txt");
    if (huge) unlink(items.back().file.c_str());
    return 0;
}
