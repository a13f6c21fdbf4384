// Writing the 1 M-case, 40-variable survey with the writer alone, as
// bytecode .sav and as .zsav, beside libreadstat's bare parse of the same
// file in the same run. The survey's dictionary and its first 10,000 cases
// are read once into memory (the survey repeats them), and the writer is
// timed taking those cases 100 times into a file. The goals the ratios are
// set against, for a whole conversion later: bytecode <= 1x the bare
// parse, .zsav <= 2x.
//
//   bench_write [directory] [runs]   (default /tmp/lorivane-bench, 1 run)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "savio/sav_writer.h"
#include "savio/spssfio.h"

namespace {

namespace w = savio::writer;

constexpr int kRepeat = 100;
constexpr int kDistinctCases = 10000;

using Cell = std::variant<double, std::string>;

// The survey's variables (names, widths, formats, value labels) and its
// first cases, through the reader's calls.
bool Load(const std::string& path, w::FileSpec* spec, std::vector<std::vector<Cell>>* cases) {
    int h = 0;
    if (spssOpenRead(path.c_str(), &h) != 0) return false;
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        w::Variable v;
        spssGetVarInfo(h, i, name, &v.width);
        v.name = name;
        spssGetVarPrintFormat(h, name, &v.print.type, &v.print.decimals, &v.print.width);
        double* values = nullptr;
        char** labels = nullptr;
        int count = 0;
        if (v.width == 0 && spssGetVarNValueLabels(h, name, &values, &labels, &count) == 0)
            for (int k = 0; k < count; ++k) v.numberLabels.emplace_back(values[k], labels[k]);
        spssFreeVarNValueLabels(values, labels, count);
        spssGetVarHandle(h, name, &handles[size_t(i)]);
        spec->variables.push_back(v);
    }
    std::vector<char> buf(40000);
    while (cases->size() < kDistinctCases && spssReadCaseRecord(h) == 0) {
        std::vector<Cell> row;
        for (int i = 0; i < n; ++i) {
            const int width = spec->variables[size_t(i)].width;
            if (width) {
                spssGetValueChar(h, handles[size_t(i)], buf.data(), int(buf.size()));
                row.emplace_back(std::string(buf.data(), size_t(width)));
            } else {
                double d = 0;
                spssGetValueNumeric(h, handles[size_t(i)], &d);
                row.emplace_back(d);
            }
        }
        cases->push_back(std::move(row));
    }
    spssCloseRead(h);
    return cases->size() == kDistinctCases;
}

// The best of runs writes; the output removed after each.
double Best(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
            const std::string& out, int runs) {
    double best = -1;
    for (int r = 0; r < runs; ++r) {
        sync();
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return -1;
        const auto start = bench::Clock::now();
        try {
            w::FdSink sink(fd);
            w::Writer writer(spec, sink);
            for (int k = 0; k < kRepeat; ++k) {
                for (const auto& row : cases) {
                    for (size_t i = 0; i < row.size(); ++i) {
                        if (const double* d = std::get_if<double>(&row[i]))
                            writer.SetNumber(i, *d);
                        else
                            writer.SetString(i, std::get<std::string>(row[i]));
                    }
                    writer.EndCase();
                }
            }
            writer.Finish();
        } catch (const w::WriteError& e) {
            std::fprintf(stderr, "writer: %s\n", e.what());
            ::close(fd);
            return -1;
        }
        ::close(fd);
        const double s = bench::Seconds(start);
        if (best < 0 || s < best) best = s;
        struct stat st {};
        if (r + 1 == runs && stat(out.c_str(), &st) == 0)
            std::printf("(%s: %.1f MB)\n", out.c_str(), double(st.st_size) / 1e6);
        unlink(out.c_str());
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
    w::FileSpec spec;
    std::vector<std::vector<Cell>> cases;
    if (!Load(file, &spec, &cases)) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
    }
    spec.product = "Lorivane bench";
    spec.caseCount = int64_t(kRepeat) * kDistinctCases;

    std::printf("%s, best of %d\n\n", file.c_str(), runs);
    bench::Measure parse;
    for (int r = 0; r < runs; ++r) {
        sync();
        const bench::Measure m = bench::Spawn({LORIVANE_PEER_PARSE, file}, false);
        if (r == 0 || (m.status == 0 && m.seconds < parse.seconds)) parse = m;
    }
    spec.compression = savio::Compression::Bytecode;
    const double bytecode = Best(spec, cases, dir + "/bench-write.sav", runs);
    spec.compression = savio::Compression::Zlib;
    const double zsav = Best(spec, cases, dir + "/bench-write.zsav", runs);

    std::printf("\n| action | wall s | x bare parse |\n|---|---|---|\n");
    std::printf("| libreadstat bare parse (peer) | %.2f | 1.00 |%s\n", parse.seconds,
                parse.status == 0 ? "" : " (failed)");
    std::printf("| writer, bytecode .sav | %.2f | %.2f |\n", bytecode, bytecode / parse.seconds);
    std::printf("| writer, .zsav | %.2f | %.2f |\n", zsav, zsav / parse.seconds);
    std::printf(
        "\nGoals for the whole conversion: bytecode <= 1x bare parse: %.2fx %s; "
        ".zsav <= 2x: %.2fx %s\n",
        bytecode / parse.seconds, Verdict(bytecode >= 0 && bytecode <= parse.seconds),
        zsav / parse.seconds, Verdict(zsav >= 0 && zsav <= 2 * parse.seconds));
    return bytecode < 0 || zsav < 0 ? 1 : 0;
}
