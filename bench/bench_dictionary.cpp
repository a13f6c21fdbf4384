// The dictionary at scale, each action in a child process of its own (wall
// time from the parent, peak RSS), beside libreadstat's bare parse of the
// same file in the same run:
//   - lorivane-dump meta --json and dict --csv on a 30,000-variable file
//     with a full dictionary (labels, value labels, missing values, display
//     parameters, attributes and roles, multiple-response and variable sets);
//   - lorivane-dump vars, and the main window, the variable list and the
//     grid created, on a file of 100,000 variables and 100 cases.
// The files are made with the fixture writer into the directory when absent.
//
//   bench_dictionary [directory]      (default /tmp/lorivane-bench-dictionary)
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
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
#include "forms/windows/DPGrid.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"
#include "tests/support/savfixture.h"

using namespace lv;

namespace {

using bench::Clock;
using bench::Measure;
using bench::Seconds;
using benchfiles::Exists;

std::string Name(const char* prefix, int i) {
    return std::string(prefix).append(std::to_string(i));
}

// 30,000 variables: a label each, long names, a value-label set per ten
// variables, missing values, display parameters, an attribute and a role on
// every fifth, 1,000 multiple-response sets, 100 variable sets, 10 cases.
fixture::File FullDictionary() {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    f.displayParameters = true;
    f.documents = {"Benchmark file with a full dictionary", "made by bench_dictionary"};
    f.fileAttributes = {{"Origin", {"bench"}}, {"Note", {"first", "second"}}};
    const int n = 30000;
    for (int i = 0; i < n; ++i) {
        fixture::Variable v = i % 10 == 9 ? fixture::String(Name("S", i), 24)
                                          : fixture::Numeric(Name("V", i), {5, 8, 2});
        v.longName = Name(i % 10 == 9 ? "text_answer_" : "question_number_", i);
        v.label = "Question " + std::to_string(i) + ": how satisfied are you with item " +
                  std::to_string(i % 97);
        v.display = fixture::Variable::Display{1 + i % 3, 8 + i % 5, i % 3};
        if (i % 10 != 9 && i % 3 == 0) v.missing.discrete = {98, 99};
        if (i % 5 == 0) {
            v.attributes = {{"Source", {"wave " + std::to_string(i % 4)}}};
            v.role = i % 6;
        }
        f.variables.push_back(std::move(v));
    }
    for (int i = 0; i < n; i += 10) {
        fixture::ValueLabelSet set;
        for (int k = i; k < i + 9; ++k) set.variables.push_back(k);
        set.numeric = {{1, "Very dissatisfied"}, {2, "Dissatisfied"},   {3, "Neutral"},
                       {4, "Satisfied"},         {5, "Very satisfied"}, {98, "Refused"},
                       {99, "Don't know"}};
        f.valueLabels.push_back(std::move(set));
    }
    for (int i = 0; i < 1000; ++i) {
        const int first = i * 20;
        f.mrsets.push_back({"$set" + std::to_string(i),
                            "Set " + std::to_string(i),
                            i % 2 == 1,
                            "1",
                            i % 4 == 3,
                            false,
                            {first, first + 1, first + 2}});
    }
    for (int i = 0; i < 100; ++i) {
        std::vector<std::string> members;
        for (int k = 0; k < 50; ++k) members.push_back(Name("question_number_", i * 200 + k * 3));
        f.variableSets.push_back({"Block " + std::to_string(i), members});
    }
    std::mt19937 rng(5);
    for (int r = 0; r < 10; ++r) {
        fixture::Case row;
        for (int i = 0; i < n; ++i) {
            if (i % 10 == 9)
                row.emplace_back(std::string("answer ") + std::to_string(rng() % 100));
            else
                row.emplace_back(double(1 + rng() % 5));
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

// 100,000 variables of which every tenth a 12-byte string, each with a
// label; 100 cases.
fixture::File Wide() {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
        fixture::Variable v = i % 10 == 9 ? fixture::String(Name("S", i), 12)
                                          : fixture::Numeric(Name("V", i), {5, 8, 2});
        v.label = "Item " + std::to_string(i);
        f.variables.push_back(std::move(v));
    }
    std::mt19937 rng(9);
    for (int r = 0; r < 100; ++r) {
        fixture::Case row;
        for (int i = 0; i < n; ++i) {
            if (i % 10 == 9)
                row.emplace_back(std::string(rng() % 12, 'w'));
            else
                row.emplace_back(rng() % 20 == 0 ? fixture::kSysmis : double(rng() % 1000) / 10);
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

// The open dialog answers with the file; messages go to stderr.
// The main window created on the file (its creation builds the hidden
// variable list), the variable list shown and the grid created and shown.
int WindowsChild(const std::string& file) {
    int argc = 1;
    char name[] = "bench_dictionary";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    bench::BenchDialogs dialogs;
    dialogs.openPath = file;
    lv::SetDialogs(&dialogs);
    auto start = Clock::now();
    new TForm1();
    const double mainSeconds = Seconds(start);
    Form1->Button3Click();
    QApplication::processEvents();
    const double listSeconds = Seconds(start);
    Form1->Button5Click();
    QApplication::processEvents();
    const double all = Seconds(start);
    std::printf("main+list_created_s=%.3f list_shown_s=%.3f grid_shown_s=%.3f\n", mainSeconds,
                listSeconds, all);
    std::fflush(stdout);
    _exit(frmDPGrid ? 0 : 1);  // the teardown is not measured
}

// The best of three runs (the least disturbed by the other work on the machine).
}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return WindowsChild(argv[3]);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-dictionary";
    mkdir(dir.c_str(), 0755);
    const std::string full = dir + "/dictionary-30000.sav";
    const std::string wide = dir + "/wide-100000x100.sav";
    if (!Exists(full)) {
        std::fprintf(stderr, "making %s\n", full.c_str());
        fixture::WriteFile(FullDictionary(), full);
    }
    if (!Exists(wide)) {
        std::fprintf(stderr, "making %s\n", wide.c_str());
        fixture::WriteFile(Wide(), wide);
    }
    char exe[4096];
    const ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[len > 0 ? len : 0] = 0;
    const std::string dump = LORIVANE_DUMP;
    const std::string peer = LORIVANE_PEER_PARSE;

    std::printf("| file | MB | action | wall s (best of 3) | peak RSS MB | detail |\n");
    std::printf("|---|---|---|---|---|---|\n");
    auto row = [&](const std::string& file, const char* action, const Measure& m) {
        struct stat st;
        stat(file.c_str(), &st);
        std::printf("| %s | %.1f | %s | %.3f | %.0f | %s%s |\n",
                    file.substr(dir.size() + 1).c_str(), st.st_size / 1e6, action, m.seconds,
                    m.peakMb, m.out.c_str(), m.status == 0 ? "" : " (failed)");
        std::fflush(stdout);
    };
    row(full, "libreadstat bare parse", bench::BestOf({peer, full}, 3, true));
    row(full, "lorivane-dump meta --json", bench::BestOf({dump, "meta", "--json", full}, 3, false));
    row(full, "lorivane-dump dict --csv", bench::BestOf({dump, "dict", "--csv", full}, 3, false));
    row(full, "lorivane-dump meta (text)", bench::BestOf({dump, "meta", full}, 3, false));
    row(wide, "libreadstat bare parse", bench::BestOf({peer, wide}, 3, true));
    row(wide, "lorivane-dump vars", bench::BestOf({dump, "vars", wide}, 3, false));
    row(wide, "lorivane-dump meta --json", bench::BestOf({dump, "meta", "--json", wide}, 3, false));
    row(wide, "main window + variable list + grid",
        bench::BestOf({exe, "--child", "windows", wide}, 3, true));
    return 0;
}
