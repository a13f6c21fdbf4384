// Selecting cases by a condition on the 1 M x 40 survey (bytecode and
// uncompressed): a one-variable and a three-variable condition and one with
// functions over eleven variables through lv::SelectFileCases (the work of
// lorivane-dump select), and the tool itself in a child, beside
// libreadstat's bare parse of the same file and PSPP's SELECT IF followed
// by a count of the cases left, all in the same run. Prints the bytes the
// selection holds per selected case. Then the frequencies of a computed
// variable (SUM(Q1 TO Q5)), made as the cases are read, through the core
// and through lorivane-dump freq --compute, beside PSPP's COMPUTE +
// FREQUENCIES.
//
//   bench_select [directory]      (default /tmp/lorivane-bench)
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "core/compute/computed_variables.h"
#include "core/selection/file_selection.h"
#include "core/stats/frequencies.h"

namespace {

using bench::Clock;
using bench::Seconds;

struct Condition {
    const char* name;
    const char* text;
};

const Condition kConditions[] = {
    {"one variable", "Q1 = 3"},
    {"three variables", "Q1 >= 3 AND AMT1 < 50000 AND S1 = 'Tokyo'"},
    {"functions", "MEAN(Q1 TO Q10) > 3 AND XDATE.YEAR(D1) >= 2000"},
};

// The best of three runs of lv::SelectFileCases, and its selection.
double BestSelect(const std::string& path, const char* text, lv::FileSelection& out) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        out = lv::SelectFileCases(path, text);
        best = std::min(best, Seconds(start));
    }
    return best;
}

// PSPP: read, select, count; the count it prints comes back in out.
bench::Measure Pspp(const std::string& path, const char* text, const std::string& dir) {
    const std::string script = dir + "/bench_select.sps";
    std::ofstream(script) << "GET FILE='" << path << "'.\nSELECT IF (" << text << ").\n"
                          << "COMPUTE lvall_ = 1.\nAGGREGATE OUTFILE=* /BREAK=lvall_ /n=N.\n"
                          << "LIST n.\n";
    return bench::Spawn({"pspp", "-O", "format=txt", script});
}

// The last number in text (the count PSPP lists).
std::string LastNumber(const std::string& text) {
    const size_t end = text.find_last_of("0123456789");
    if (end == std::string::npos) return "?";
    const size_t begin = text.find_last_not_of("0123456789", end);
    return text.substr(begin == std::string::npos ? 0 : begin + 1,
                       end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

const char* const kComputed = "SUM(Q1 TO Q5)";

// The best of three: the file opened, the computed variable added and its
// frequency table counted; the valid cases in valid.
double BestComputedFrequencies(const std::string& path, double& valid) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        lv::ReaderHandle file;
        lv::FileDictionary dict;
        if (file.Open(path) != 0 || lv::ReadFileDictionary(file, &dict) != 0) return -1;
        auto made = lv::AddComputedVariables(dict, {{"total", kComputed, {}, ""}}, dict.encoding);
        auto* computed = std::get_if<std::shared_ptr<lv::ComputedVariables>>(&made);
        if (!computed) return -1;
        file.SetDerived(*computed);
        const int total = static_cast<int>(dict.variables.size()) - 1;
        const lv::FrequencyResult result = lv::RunFrequencies(
            dict, {total}, false, nullptr, lv::ValueTally::kDefaultKept, nullptr, &file);
        best = std::min(best, Seconds(start));
        valid = result.tables.empty() ? 0 : static_cast<double>(result.tables[0].valid.cases);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench";
    const std::vector<std::string> files = {
        benchfiles::EnsureSurvey(dir, 100, fixture::Compression::Bytecode),
        benchfiles::EnsureSurvey(dir, 100, fixture::Compression::None),
    };
    const bool pspp = std::system("command -v pspp >/dev/null 2>&1") == 0;
    for (const std::string& path : files) {
        std::printf("%s\n", path.c_str());
        double peer = 1e9;
        long long cells = 0;
        for (int run = 0; run < 3; ++run) {
            const auto start = Clock::now();
            bench::PeerParse(path, &cells);
            peer = std::min(peer, Seconds(start));
        }
        std::printf("  libreadstat bare parse              %7.3f s\n", peer);
        for (const Condition& c : kConditions) {
            lv::FileSelection selection;
            const double ours = BestSelect(path, c.text, selection);
            // What the selection holds, per case it selects.
            const double bytes = selection.cases.empty()
                                     ? 0
                                     : double(selection.cases.capacity() * sizeof(uint32_t)) /
                                           double(selection.cases.size());
            std::printf("  %-16s %-45s\n", c.name, c.text);
            std::printf(
                "    SelectFileCases                  %7.3f s (%.2fx the parse), %zu of "
                "%lld cases, %.2f bytes per selected case\n",
                ours, ours / peer, selection.cases.size(),
                static_cast<long long>(selection.caseCount), bytes);
            const bench::Measure tool =
                bench::Spawn({LORIVANE_DUMP, "select", path, c.text}, false);
            std::printf("    lorivane-dump select (child)     %7.3f s, %.0f MB peak\n",
                        tool.seconds, tool.peakMb);
            if (pspp) {
                const bench::Measure peerPspp = Pspp(path, c.text, dir);
                std::printf(
                    "    pspp SELECT IF + count (child)   %7.3f s, %.0f MB peak, %s cases%s\n",
                    peerPspp.seconds, peerPspp.peakMb, LastNumber(peerPspp.out).c_str(),
                    peerPspp.status == 0 ? "" : " (failed)");
            }
        }
        double valid = 0;
        const double ours = BestComputedFrequencies(path, valid);
        std::printf("  computed frequencies  total = %s\n", kComputed);
        std::printf("    RunFrequencies of the computed    %7.3f s (%.2fx the parse), %.0f valid\n",
                    ours, ours / peer, valid);
        const std::string spec = std::string("total(F8.0)=") + kComputed;
        const bench::Measure tool = bench::Spawn(
            {LORIVANE_DUMP, "freq", path, "total", "--unweighted", "--compute", spec}, false);
        std::printf("    lorivane-dump freq --compute      %7.3f s, %.0f MB peak\n", tool.seconds,
                    tool.peakMb);
        if (pspp) {
            const std::string script = dir + "/bench_compute.sps";
            std::ofstream(script) << "GET FILE='" << path << "'.\nCOMPUTE total = " << kComputed
                                  << ".\nFREQUENCIES total.\n";
            const bench::Measure peerPspp = bench::Spawn({"pspp", "-O", "format=txt", script});
            std::printf("    pspp COMPUTE + FREQUENCIES        %7.3f s, %.0f MB peak%s\n",
                        peerPspp.seconds, peerPspp.peakMb, peerPspp.status == 0 ? "" : " (failed)");
        }
    }
    return 0;
}
