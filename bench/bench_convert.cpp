// Converting the 1 M-case, 40-variable survey into table files, each in a
// child process of its own (wall time from the parent, peak RSS), beside
// its peers in the same run:
//   - libreadstat's bare parse and Debian's `readstat FILE out.csv`;
//   - lorivane-dump convert to .csv, .tsv and .xlsx;
//   - gnumeric's ssconvert turning readstat's CSV into an .xlsx workbook
//     (install it with `tools/ensure-packages gnumeric`; its row is left out
//     with one line when it is missing).
// The goals the ratios are set against: CSV in <= 0.5x readstat's CSV and
// <= 1x the bare parse, in <= 64 MB; .xlsx in <= 60 s and <= 200 MB.
//
//   bench_convert [directory] [runs]   (default /tmp/lorivane-bench, 1 run)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"

namespace {

// The best (shortest) of runs runs of args, its output file removed after each.
// The disk is synced before each run, so that no run pays for writing back
// an earlier run's output.
bench::Measure Best(const std::vector<std::string>& args, int runs, const std::string& output) {
    bench::Measure best;
    for (int i = 0; i < runs; ++i) {
        sync();
        bench::Measure m = bench::Spawn(args, false);
        if (i == 0 || (m.status == 0 && m.seconds < best.seconds)) best = m;
        if (!output.empty()) unlink(output.c_str());
    }
    return best;
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    mkdir(dir.c_str(), 0755);
    const std::string file = benchfiles::EnsureSurvey(dir);
    char outTemplate[] = "/tmp/lorivane-bench-convert-XXXXXX";
    if (!mkdtemp(outTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string out = outTemplate;
    const std::string dump = LORIVANE_DUMP;
    const std::string readstatCsv = out + "/readstat.csv";

    std::printf("%s, best of %d\n\n", file.c_str(), runs);
    std::printf("| action | wall s | peak RSS MB | x bare parse | x readstat csv |\n");
    std::printf("|---|---|---|---|---|\n");
    const bench::Measure parse = Best({LORIVANE_PEER_PARSE, file}, runs, {});
    const bench::Measure readstat = Best({"readstat", file, readstatCsv}, runs, readstatCsv);
    auto row = [&](const char* action, const bench::Measure& m) {
        std::printf("| %s | %.2f | %.0f | %.2f | %.2f |%s\n", action, m.seconds, m.peakMb,
                    m.seconds / parse.seconds, m.seconds / readstat.seconds,
                    m.status == 0 ? "" : " (failed)");
        std::fflush(stdout);
    };
    row("libreadstat bare parse (peer)", parse);
    row("readstat FILE out.csv (peer)", readstat);
    const std::string csv = out + "/out.csv", tsv = out + "/out.tsv", xlsx = out + "/out.xlsx";
    const bench::Measure toCsv = Best({dump, "convert", file, csv}, runs, csv);
    row("lorivane-dump convert FILE out.csv", toCsv);
    const bench::Measure toTsv = Best({dump, "convert", file, tsv}, runs, tsv);
    row("lorivane-dump convert FILE out.tsv", toTsv);
    const bench::Measure toXlsx = Best({dump, "convert", file, xlsx}, runs, xlsx);
    row("lorivane-dump convert FILE out.xlsx", toXlsx);

    bench::Measure peer;
    const bool haveSsconvert = std::system("command -v ssconvert >/dev/null 2>&1") == 0;
    if (haveSsconvert) {
        // Its input made once, outside the timing.
        bench::Spawn({"readstat", file, readstatCsv}, false);
        const std::string peerXlsx = out + "/ssconvert.xlsx";
        peer = Best({"ssconvert", "--export-type=Gnumeric_Excel:xlsx2", readstatCsv, peerXlsx},
                    runs, peerXlsx);
        row("ssconvert readstat.csv out.xlsx (peer)", peer);
        unlink(readstatCsv.c_str());
    } else {
        std::printf(
            "(ssconvert not installed: tools/ensure-packages gnumeric; its row is left out)\n");
    }
    rmdir(out.c_str());

    std::printf(
        "\nGoals: CSV <= 0.5x readstat csv: %.2fx %s; CSV <= 1x bare parse: %.2fx %s; "
        "CSV peak <= 64 MB: %.0f MB %s\n",
        toCsv.seconds / readstat.seconds, Verdict(toCsv.seconds <= 0.5 * readstat.seconds),
        toCsv.seconds / parse.seconds, Verdict(toCsv.seconds <= parse.seconds), toCsv.peakMb,
        Verdict(toCsv.peakMb <= 64));
    std::printf("       xlsx <= 60 s: %.1f s %s; xlsx peak <= 200 MB: %.0f MB %s", toXlsx.seconds,
                Verdict(toXlsx.seconds <= 60), toXlsx.peakMb, Verdict(toXlsx.peakMb <= 200));
    if (haveSsconvert && peer.status == 0)
        std::printf("; %.2fx ssconvert's time", toXlsx.seconds / peer.seconds);
    std::printf("\n");
    return 0;
}
