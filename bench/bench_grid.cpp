// The data grid at scale: creating the grid window and drawing its first
// screen, the as-displayed export and the internal-form export, each in a
// child process of its own (wall time and peak RSS), beside libreadstat's
// bare parse of the same file and Debian's `readstat FILE out.csv`.
// The files are made with the fixture writer into the directory when absent.
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

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

fixture::Variable Var(std::string name, int width, fixture::Format print) {
    fixture::Variable v;
    v.name = std::move(name);
    v.width = width;
    v.print = print;
    return v;
}

// A survey: 20 coded answers (F8.2 with value labels), 8 amounts with two
// decimals, 4 dates, 8 strings of 8 to 300 bytes; about 5% system-missing.
fixture::File Survey(int cases) {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    fixture::ValueLabelSet labels;
    for (int i = 0; i < 20; ++i) {
        f.variables.push_back(Var("Q" + std::to_string(i + 1), 0, {5, 8, 2}));
        labels.variables.push_back(i);
    }
    labels.numeric = {{1, "Strongly disagree"},
                      {2, "Disagree"},
                      {3, "Neutral"},
                      {4, "Agree"},
                      {5, "Strongly agree"}};
    f.valueLabels.push_back(labels);
    for (int i = 0; i < 8; ++i)
        f.variables.push_back(Var("AMT" + std::to_string(i + 1), 0, {5, 10, 2}));
    for (int i = 0; i < 4; ++i)
        f.variables.push_back(Var("D" + std::to_string(i + 1), 0, {20, 11, 0}));
    const int widths[] = {8, 12, 20, 40, 64, 100, 200, 300};
    for (int i = 0; i < 8; ++i)
        f.variables.push_back(Var("S" + std::to_string(i + 1), widths[i], {1, widths[i], 0}));
    const char* words[] = {
        "", "", "Tokyo", "Osaka", "yes", "no", "other: see notes", "Sapporo city", "", "n/a"};
    std::mt19937 rng(11);
    auto missing = [&] { return rng() % 20 == 0; };
    for (int r = 0; r < cases; ++r) {
        fixture::Case row;
        for (int i = 0; i < 20; ++i)
            row.emplace_back(missing() ? fixture::kSysmis : double(1 + rng() % 5));
        for (int i = 0; i < 8; ++i)
            row.emplace_back(missing() ? fixture::kSysmis : double(rng() % 10000000) / 100);
        for (int i = 0; i < 4; ++i)
            row.emplace_back(missing() ? fixture::kSysmis
                                       : 13'000'000'000.0 + 86400.0 * (rng() % 20000));
        for (int i = 0; i < 8; ++i) {
            std::string s = words[rng() % 10];
            if (i >= 5 && rng() % 4 == 0) s += " - a longer free-text answer of the respondent";
            row.emplace_back(s.substr(0, widths[i]));
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

fixture::File ManyVariables(int cases) {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    for (int i = 0; i < 1500; ++i) {
        if (i % 10 == 9)
            f.variables.push_back(Var("S" + std::to_string(i), 12, {1, 12, 0}));
        else
            f.variables.push_back(Var("V" + std::to_string(i), 0, {5, 8, 2}));
    }
    std::mt19937 rng(3);
    for (int r = 0; r < cases; ++r) {
        fixture::Case row;
        for (int i = 0; i < 1500; ++i) {
            if (i % 10 == 9)
                row.emplace_back(std::string(rng() % 12, 'k'));
            else
                row.emplace_back(rng() % 20 == 0 ? fixture::kSysmis
                                                 : double(rng() % 100) / (i % 2 ? 1 : 4));
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

// The dictionary for chunk * repeat cases, then the chunk's bytecode data
// again and again (each chunk ends its last command group with 0 codes).
void WriteRepeated(const std::string& path, fixture::File f, int repeat) {
    f.headerCaseCount = static_cast<int>(f.cases.size()) * repeat;
    const std::string bytes = fixture::Build(f);
    const size_t data = fixture::Describe(f).data;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(data));
    for (int i = 0; i < repeat; ++i)
        out.write(bytes.data() + data, std::streamsize(bytes.size() - data));
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
    grid->show();
    QPixmap first = grid->grab();  // draws the first screen
    QApplication::processEvents();
    const double gridSeconds = Seconds(start);
    std::printf("grid_s=%.3f values_MB=%.1f rss_before_grid_MB=%.1f rss_with_grid_MB=%.1f\n",
                gridSeconds, double(grid->model->ValueBytes()) / 1e6, rssBefore / 1e3,
                RssKb() / 1e3);
    if (mode == "grid") {
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
    const std::string survey = dir + "/survey-1m-x40.sav";
    const std::string wide = dir + "/wide-2000-x1500.sav";
    if (!Exists(survey)) {
        std::fprintf(stderr, "making %s\n", survey.c_str());
        WriteRepeated(survey, Survey(10000), 100);
    }
    if (!Exists(wide)) {
        std::fprintf(stderr, "making %s\n", wide.c_str());
        WriteRepeated(wide, ManyVariables(200), 10);
    }
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
        row("grid + as-displayed export", Spawn(fresh({exe, "--child", "displayed", file})));
        row("grid + internal-form export", Spawn(fresh({exe, "--child", "internal", file})));
        row("readstat FILE out.csv", Spawn({"readstat", file, "/tmp/lorivane-bench-grid-out.csv"}));
        unlink("/tmp/lorivane-bench-grid-out.csv");
    }
    unlink("/tmp/lorivane-bench-grid-out.txt");
    return 0;
}
