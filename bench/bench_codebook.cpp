// The codebook as HTML and as PDF on the 1 M-case, 40-variable survey and
// on the corpus's 276-variable file, each in a child process of its own
// (wall time from the parent, peak RSS), beside libreadstat's bare parse of
// the same file and PSPP's DISPLAY DICTIONARY with FREQUENCIES of every
// variable in the same run; and on a dictionary of 100,000 variables, for
// its memory (HTML, and the PDF of its first 10,000 variables: a page or
// more per variable).
//
//   bench_codebook [directory] [corpus directory]
//       (defaults /tmp/lorivane-bench-grid and ../shared/corpus)
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "tests/support/savfixture.h"

namespace {

// 100,000 numeric variables, each labelled, of 20 cases.
std::string EnsureVeryWide(const std::string& dir) {
    const std::string path = dir + "/very-wide.sav";
    if (benchfiles::Exists(path)) return path;
    fixture::File f;
    constexpr int kVariables = 100'000;
    for (int i = 0; i < kVariables; ++i) {
        f.variables.push_back(fixture::Numeric("V" + std::to_string(i)));
        f.variables.back().label = "variable number " + std::to_string(i);
    }
    for (int c = 0; c < 20; ++c) {
        fixture::Case values;
        for (int i = 0; i < kVariables; ++i) values.push_back(static_cast<double>((c + i) % 7));
        f.cases.push_back(std::move(values));
    }
    fixture::WriteFile(f, path);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-grid";
    const std::string corpus = argc > 2 ? argv[2] : "../shared/corpus";
    mkdir(dir.c_str(), 0755);
    const std::string file = benchfiles::EnsureSurvey(dir);
    const std::string dump = LORIVANE_DUMP;
    const std::string out = dir + "/codebook.html";
    const std::string pdf = dir + "/codebook.pdf";
    const bool havePspp = std::system("command -v pspp >/dev/null 2>&1") == 0;

    std::printf("| action | wall s (best of 3) | peak RSS MB | x peer |\n|---|---|---|---|\n");
    const bench::Measure peer = bench::BestOf({LORIVANE_PEER_PARSE, file});
    auto row = [&](const char* action, const bench::Measure& m, const bench::Measure& of) {
        std::printf("| %s | %.3f | %.0f | %.2f%s |\n", action, m.seconds, m.peakMb,
                    m.seconds / of.seconds, m.status == 0 ? "" : " (failed)");
        std::fflush(stdout);
    };
    row("libreadstat bare parse, 1 M x 40 (peer)", peer, peer);
    row("lorivane-dump codebook, 1 M x 40 (goal <= 1.5x, <= 128 MB)",
        bench::BestOf({dump, "codebook", file, out}), peer);
    row("lorivane-dump codebook as PDF, 1 M x 40", bench::BestOf({dump, "codebook", file, pdf}),
        peer);
    if (havePspp) {
        const std::string syntax = dir + "/codebook.sps";
        std::ofstream(syntax) << "GET FILE='" << file << "'.\nDISPLAY DICTIONARY.\n"
                              << "FREQUENCIES VARIABLES=ALL /STATISTICS=MEAN STDDEV MINIMUM "
                                 "MAXIMUM MEDIAN.\n";
        row("pspp DISPLAY DICTIONARY + FREQUENCIES ALL, 1 M x 40",
            bench::BestOf({"pspp", "-O", "format=csv", "-o", "/dev/null", syntax}), peer);
    } else {
        std::printf("(pspp not installed: its row is left out)\n");
    }
    const std::string wide276 = corpus + "/spss24_korean_weight_276vars.sav";
    if (benchfiles::Exists(wide276)) {
        const bench::Measure widePeer = bench::BestOf({LORIVANE_PEER_PARSE, wide276});
        row("libreadstat bare parse, 276 variables (peer)", widePeer, widePeer);
        row("lorivane-dump codebook, 276 variables (goal < 1 s)",
            bench::BestOf({dump, "codebook", wide276, out}), widePeer);
        row("lorivane-dump codebook as PDF, 276 variables",
            bench::BestOf({dump, "codebook", wide276, pdf}), widePeer);
    } else {
        std::printf("(no corpus at %s: the 276-variable rows are left out)\n", corpus.c_str());
    }
    const std::string veryWide = EnsureVeryWide(dir);
    const bench::Measure widePeer = bench::BestOf({LORIVANE_PEER_PARSE, veryWide});
    row("libreadstat bare parse, 100,000 variables x 20 (peer)", widePeer, widePeer);
    row("lorivane-dump codebook, 100,000 variables x 20",
        bench::BestOf({dump, "codebook", veryWide, out}), widePeer);
    std::string first;
    for (int i = 0; i < 10'000; ++i) first += (i ? ",V" : "V") + std::to_string(i);
    row("lorivane-dump codebook as PDF, 10,000 of the 100,000 variables",
        bench::BestOf({dump, "codebook", veryWide, pdf, "--vars", first}, 1), widePeer);
    return 0;
}
