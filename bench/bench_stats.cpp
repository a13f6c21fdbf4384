// The statistics on the 1 M-case, 40-variable survey, each in a child
// process of its own (wall time from the parent, peak RSS), beside
// libreadstat's bare parse of the same file and PSPP's FREQUENCIES and
// DESCRIPTIVES in the same run:
//   - lorivane-dump freq of one coded variable and of one amount (about
//     10,000 distinct values: the survey repeats 10,000 cases);
//   - lorivane-dump freq of an amount with every statistic and five
//     percentiles;
//   - lorivane-dump describe of all 40 variables (one pass), and of the
//     survey whose amounts and dates exceed describe's 10,000 distinct
//     values (exact medians: a further pass over the values beyond);
//   - pspp FREQUENCIES of the same variables, with /STATISTICS=ALL and the
//     same percentiles, and DESCRIPTIVES of the 32 numeric variables (PSPP
//     reads the whole file for each).
//
//   bench_stats [directory]      (default /tmp/lorivane-bench-grid)
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"

namespace {

std::string PsppSyntax(const std::string& dir, const std::string& file, const std::string& name,
                       const std::string& body) {
    const std::string path = dir + "/" + name + ".sps";
    std::ofstream(path) << "GET FILE='" << file << "'.\n" << body;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-grid";
    mkdir(dir.c_str(), 0755);
    const std::string file = benchfiles::EnsureSurvey(dir);
    const std::string dump = LORIVANE_DUMP;
    const bool havePspp = std::system("command -v pspp >/dev/null 2>&1") == 0;

    std::printf("| action | wall s (best of 3) | peak RSS MB | x peer |\n|---|---|---|---|\n");
    const bench::Measure peer = bench::BestOf({LORIVANE_PEER_PARSE, file});
    auto row = [&](const char* action, const bench::Measure& m) {
        std::printf("| %s | %.3f | %.0f | %.2f%s |\n", action, m.seconds, m.peakMb,
                    m.seconds / peer.seconds, m.status == 0 ? "" : " (failed)");
        std::fflush(stdout);
    };
    row("libreadstat bare parse (peer)", peer);
    row("lorivane-dump freq Q1 (goal <= 0.5x)",
        bench::BestOf({dump, "freq", file, "Q1", "--json"}));
    row("lorivane-dump freq AMT1 (about 10,000 distinct values)",
        bench::BestOf({dump, "freq", file, "AMT1", "--json"}));
    row("lorivane-dump freq AMT1, every statistic, 5 percentiles (goal <= 0.5x)",
        bench::BestOf({dump, "freq", file, "AMT1", "--json", "--percentiles", "5,10,50,90,95"}));
    row("lorivane-dump describe, 40 variables (goal <= 1.5x)",
        bench::BestOf({dump, "describe", file, "--json"}));
    const std::string spread = benchfiles::EnsureSpreadSurvey(dir);
    const bench::Measure spreadPeer = bench::BestOf({LORIVANE_PEER_PARSE, spread});
    std::printf("| libreadstat bare parse, 20k-distinct survey (peer) | %.3f | %.0f | %.2f |\n",
                spreadPeer.seconds, spreadPeer.peakMb, spreadPeer.seconds / peer.seconds);
    const bench::Measure exact = bench::BestOf({dump, "describe", spread, "--json"});
    std::printf(
        "| lorivane-dump describe, 20k-distinct survey, exact medians (goal <= 1.5x) | "
        "%.3f | %.0f | %.2f (of its peer)%s |\n",
        exact.seconds, exact.peakMb, exact.seconds / spreadPeer.seconds,
        exact.status == 0 ? "" : " (failed)");
    if (!havePspp) {
        std::printf("(pspp not installed: its rows are left out)\n");
        return 0;
    }
    std::string numeric;
    for (int i = 1; i <= 20; ++i) numeric += " Q" + std::to_string(i);
    for (int i = 1; i <= 8; ++i) numeric += " AMT" + std::to_string(i);
    for (int i = 1; i <= 4; ++i) numeric += " D" + std::to_string(i);
    row("pspp FREQUENCIES Q1",
        bench::BestOf({"pspp", "-O", "format=csv", "-o", "/dev/null",
                       PsppSyntax(dir, file, "freq", "FREQUENCIES VARIABLES=Q1.\n")}));
    row("pspp FREQUENCIES AMT1 /STATISTICS=ALL, 5 percentiles",
        bench::BestOf({"pspp", "-O", "format=csv", "-o", "/dev/null",
                       PsppSyntax(dir, file, "freqall1",
                                  "FREQUENCIES VARIABLES=AMT1 /FORMAT=NOTABLE /STATISTICS=ALL "
                                  "/PERCENTILES=5 10 50 90 95.\n")}));
    row("pspp DESCRIPTIVES /STATISTICS=ALL, 32 numeric variables",
        bench::BestOf({"pspp", "-O", "format=csv", "-o", "/dev/null",
                       PsppSyntax(dir, file, "descall",
                                  "DESCRIPTIVES VARIABLES=" + numeric + " /STATISTICS=ALL.\n")}));
    row("pspp FREQUENCIES /STATISTICS=ALL, 32 numeric, 20k-distinct survey",
        bench::BestOf({"pspp", "-O", "format=csv", "-o", "/dev/null",
                       PsppSyntax(dir, spread, "freqspread",
                                  "FREQUENCIES VARIABLES=" + numeric +
                                      " /FORMAT=NOTABLE /STATISTICS=ALL.\n")}));
    row("pspp DESCRIPTIVES, 32 numeric variables",
        bench::BestOf(
            {"pspp", "-O", "format=csv", "-o", "/dev/null",
             PsppSyntax(dir, file, "desc", "DESCRIPTIVES VARIABLES=" + numeric + ".\n")}));
    row("pspp FREQUENCIES /FORMAT=NOTABLE, 40 variables",
        bench::BestOf(
            {"pspp", "-O", "format=csv", "-o", "/dev/null",
             PsppSyntax(dir, file, "freqall",
                        "FREQUENCIES VARIABLES=ALL /FORMAT=NOTABLE /STATISTICS=MEAN STDDEV "
                        "MINIMUM MAXIMUM MEDIAN.\n")}));
    return 0;
}
