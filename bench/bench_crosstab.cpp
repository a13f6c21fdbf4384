// The crosstab with its tests and the means by group on the 1 M-case,
// 40-variable survey, each in a child process of its own (wall time from
// the parent, peak RSS), beside libreadstat's bare parse of the same file
// and PSPP's CROSSTABS /STATISTICS=CHISQ PHI and MEANS in the same run:
//   - lorivane-dump crosstab Q1 by Q2 (tests, measures, expected counts
//     and residuals) and the same by a layer variable Q3;
//   - lorivane-dump means AMT1 by Q1 (every figure, medians too), and of
//     a computed variable of a distinct value in nearly every case.
//
//   bench_crosstab [directory]      (default /tmp/lorivane-bench-grid)
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"

namespace {

std::vector<std::string> Pspp(const std::string& dir, const std::string& file,
                              const std::string& name, const std::string& body) {
    const std::string path = dir + "/" + name + ".sps";
    std::ofstream(path) << "GET FILE='" << file << "'.\n" << body;
    return {"pspp", "-O", "format=csv", "-o", "/dev/null", path};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench-grid";
    mkdir(dir.c_str(), 0755);
    const std::string file = benchfiles::EnsureSurvey(dir);
    const std::string dump = LORIVANE_DUMP;

    std::printf("| action | wall s (best of 3) | peak RSS MB | x peer |\n|---|---|---|---|\n");
    const bench::Measure peer = bench::BestOf({LORIVANE_PEER_PARSE, file});
    auto row = [&](const char* action, const bench::Measure& m) {
        std::printf("| %s | %.3f | %.0f | %.2f%s |\n", action, m.seconds, m.peakMb,
                    m.seconds / peer.seconds, m.status == 0 ? "" : " (failed)");
        std::fflush(stdout);
    };
    row("libreadstat bare parse (peer)", peer);
    row("lorivane-dump crosstab Q1 Q2 with tests (goal <= 0.5x)",
        bench::BestOf({dump, "crosstab", file, "Q1", "Q2", "--json", "--expected", "--residuals"}));
    row("lorivane-dump crosstab Q1 Q2 --layer Q3",
        bench::BestOf({dump, "crosstab", file, "Q1", "Q2", "--layer", "Q3", "--json"}));
    row("lorivane-dump means AMT1 --by Q1 (goal <= 0.5x)",
        bench::BestOf({dump, "means", file, "AMT1", "--by", "Q1", "--json"}));
    // About 900,000 distinct values: the groups' tallies pass their bound.
    row("lorivane-dump means R=AMT1+$CASENUM/2e6 --by Q1",
        bench::BestOf({dump, "means", file, "R", "--by", "Q1", "--json", "--compute",
                       "R=AMT1+$CASENUM/2000000"}));
    if (std::system("command -v pspp >/dev/null 2>&1") != 0) {
        std::printf("(pspp not installed: its rows are left out)\n");
        return 0;
    }
    row("pspp CROSSTABS Q1 BY Q2 /STATISTICS=CHISQ PHI",
        bench::BestOf(Pspp(dir, file, "crosstab",
                           "CROSSTABS /TABLES=Q1 BY Q2 /STATISTICS=CHISQ PHI"
                           " /CELLS=COUNT EXPECTED ASRESID.\n")));
    row("pspp CROSSTABS Q1 BY Q2 BY Q3",
        bench::BestOf(Pspp(dir, file, "layers",
                           "CROSSTABS /TABLES=Q1 BY Q2 BY Q3 /STATISTICS=CHISQ PHI.\n")));
    row("pspp MEANS AMT1 BY Q1 (the same figures but the median)",
        bench::BestOf(
            Pspp(dir, file, "means",
                 "MEANS TABLES=AMT1 BY Q1 /CELLS=MEAN COUNT STDDEV SEMEAN MIN MAX VARIANCE"
                 " SUM RANGE SKEW SESKEW KURT SEKURT.\n")));
    return 0;
}
