// The data grid at scale: creating the grid window and drawing its first
// screen (with value labels off and on), the as-displayed export and the internal-form export, each
// in a child process of its own (wall time and peak RSS), beside libreadstat's bare parse of the
// same file and Debian's `readstat FILE out.csv`. The files are made with the fixture writer into
// the directory when absent.
//
//   bench_grid [directory]      (default /tmp/lorivane-bench-grid)
#include <readstat.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "core/dialogs.h"
#include "core/displayline.h"
#include "core/spssdio1.h"
#include "core/summary.h"
#include "core/varlist.h"
#include "forms/DPGrid.h"
#include "forms/gridmodel.h"
#include "forms/gridview.h"
#include "tests/support/savfixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// ---- the measured actions, each run in a child ----

class ExportDialogs final : public lv::Dialogs {
  public:
    std::string path;
    lv::ConfirmAnswer answer = lv::ConfirmAnswer::Yes;
    void ShowMessage(std::string_view t) override {
        std::fprintf(stderr, "message: %.*s\n", int(t.size()), t.data());
    }
    void ShowError(std::string_view, std::string_view t) override { ShowMessage(t); }
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override { return {}; }
    std::optional<std::string> SaveFile(std::string_view) override { return path; }
    lv::ConfirmAnswer Confirm(std::string_view, std::string_view) override { return answer; }
    void Beep() override {}
};

long RssKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

int OnVariable(int, readstat_variable_t*, const char*, void*) {
    return READSTAT_HANDLER_OK;
}
int OnValue(int, readstat_variable_t*, readstat_value_t, void* ctx) {
    ++*static_cast<long long*>(ctx);
    return READSTAT_HANDLER_OK;
}

int RunChild(const std::string& mode, const std::string& file) {
    if (mode == "readstat-parse") {
        long long cells = 0;
        readstat_parser_t* parser = readstat_parser_init();
        readstat_set_variable_handler(parser, OnVariable);
        readstat_set_value_handler(parser, OnValue);
        const readstat_error_t err = readstat_parse_sav(parser, file.c_str(), &cells);
        readstat_parser_free(parser);
        std::printf("cells=%lld\n", cells);
        return err == READSTAT_OK ? 0 : 1;
    }
    int argc = 1;
    char name[] = "bench_grid";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ExportDialogs dialogs;
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
    std::printf("grid_s=%.3f values_MB=%.1f rss_before_grid_MB=%.1f rss_with_grid_MB=%.1f\n",
                gridSeconds, double(grid->model->ValueBytes()) / 1e6, rssBefore / 1e3,
                RssKb() / 1e3);
    if (mode == "grid" || mode == "grid-labels") {
        // Scrolling to the last row is instant: a jump and one screen.
        start = Clock::now();
        const QModelIndex last = grid->model->index(grid->model->rowCount() - 1, 0);
        grid->StringGrid1->scrollTo(last);
        first = grid->grab();
        std::printf("scroll_to_end_s=%.4f\n", Seconds(start));
        return 0;
    }
    dialogs.path = "/tmp/lorivane-bench-grid-out.txt";
    dialogs.answer = mode == "displayed" ? lv::ConfirmAnswer::Yes : lv::ConfirmAnswer::No;
    const long rssGrid = RssKb();
    start = Clock::now();
    grid->btmWriteClick();
    std::printf("export_s=%.3f rss_growth_during_export_MB=%.1f\n", Seconds(start),
                (RssKb() - rssGrid) / 1e3);
    return 0;
}

struct Measure {
    double seconds = 0;
    double peakMb = 0;
    std::string out;
};

// Runs argv in a child; wall time from the parent, peak RSS from wait4.
Measure Spawn(std::vector<std::string> args) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {};
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipefd[1], 1);
        close(pipefd[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipefd[1]);
    Measure m;
    char buf[4096];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0) m.out.append(buf, size_t(n));
    close(pipefd[0]);
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    m.seconds = Seconds(start);
    m.peakMb = ru.ru_maxrss / 1e3;
    if (!m.out.empty() && m.out.back() == '\n') m.out.pop_back();
    for (char& c : m.out)
        if (c == '\n') c = ' ';
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[2], argv[3]);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-grid";
    mkdir(dir.c_str(), 0755);
    const std::string survey = benchfiles::EnsureSurvey(dir);
    const std::string wide = benchfiles::EnsureWide(dir);
    const std::string self = "/proc/self/exe";
    char exe[4096];
    const ssize_t len = readlink(self.c_str(), exe, sizeof exe - 1);
    exe[len > 0 ? len : 0] = 0;
    std::printf(
        "| file | MB | cells | action | wall s | peak RSS MB | MB per M cells | detail |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const std::string& file : {survey, wide}) {
        struct stat st;
        stat(file.c_str(), &st);
        const double cells = file == survey ? 40e6 : 3e6;
        // Each export starts with no output file, so that no row pays for
        // truncating the previous row's gigabyte.
        auto fresh = [](std::vector<std::string> args) {
            unlink("/tmp/lorivane-bench-grid-out.txt");
            return args;
        };
        auto row = [&](const char* action, const Measure& m) {
            std::printf("| %s | %.0f | %.0f M | %s | %.2f | %.0f | %.1f | %s |\n",
                        file.substr(dir.size() + 1).c_str(), st.st_size / 1e6, cells / 1e6, action,
                        m.seconds, m.peakMb, m.peakMb / (cells / 1e6), m.out.c_str());
            std::fflush(stdout);
        };
        row("libreadstat bare parse", Spawn({exe, "--child", "readstat-parse", file}));
        row("grid window + first screen", Spawn({exe, "--child", "grid", file}));
        row("grid window, labels on + first screen", Spawn({exe, "--child", "grid-labels", file}));
        row("grid + as-displayed export", Spawn(fresh({exe, "--child", "displayed", file})));
        row("grid + internal-form export", Spawn(fresh({exe, "--child", "internal", file})));
        row("readstat FILE out.csv", Spawn({"readstat", file, "/tmp/lorivane-bench-grid-out.csv"}));
        unlink("/tmp/lorivane-bench-grid-out.csv");
    }
    unlink("/tmp/lorivane-bench-grid-out.txt");
    return 0;
}
