// Opening and reading an encrypted file against the same file unencrypted,
// in the same run: every value of the 1,000,000-case, 40-variable survey in
// each compression, read through the spss... calls as the grid load reads
// them, then rows found again after jumps through the case index (as the
// grid draws rows it does not hold). libreadstat's parse of the plain file
// stands beside them (it cannot read encrypted files).
//
//   bench_encrypted [directory]      (default /tmp/lorivane-bench)
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "savio/case_index.h"
#include "savio/case_reread.h"
#include "savio/file_passwords.h"
#include "savio/spssfio.h"
#include "tests/support/encrypted_sav.h"

namespace {

using bench::Clock;
using bench::Seconds;

constexpr const char* kPassword = "bench-pw";

struct Load {
    double seconds = 1e9;
    long long cells = 0;
    savio::CaseIndex index;
};

// The best of three full reads; the index of the last.
Load BestLoad(const std::string& path) {
    Load best;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        int h = 0;
        if (spssOpenRead(path.c_str(), &h) != 0) return best;
        const long long cells = bench::ReadEveryValue(h);
        savio::CaseIndex index;
        savio::GetCaseIndex(h, &index);
        spssCloseRead(h);
        const double s = Seconds(start);
        if (s < best.seconds) best.seconds = s, best.cells = cells;
        best.index = std::move(index);
    }
    return best;
}

// The slowest of 200 reads of 60 rows (a screenful) at random places.
double WorstJump(const std::string& path, const savio::CaseIndex& index) {
    std::mt19937_64 rng(5);
    double worst = 0;
    for (int i = 0; i < 200; ++i) {
        const int64_t first = int64_t(rng() % uint64_t(std::max<int64_t>(index.cases - 60, 1)));
        const auto start = Clock::now();
        long long rows = 0;
        const auto st = savio::RereadCases(path, index, first, first + 60,
                                           [&](int64_t, const uint8_t*) { return ++rows, true; });
        if (st != savio::RereadStatus::Ok || rows != 60) return -1;
        worst = std::max(worst, Seconds(start));
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench";
    mkdir(dir.c_str(), 0755);
    std::printf(
        "| file | MB | plain s | encrypted s | encrypted/plain | readstat s (plain) | "
        "worst jump plain ms | worst jump encrypted ms |\n|---|---|---|---|---|---|---|---|\n");
    for (fixture::Compression c :
         {fixture::Compression::None, fixture::Compression::Bytecode, fixture::Compression::Zlib}) {
        const std::string plain = benchfiles::EnsureSurvey(dir, 100, c);
        const std::string encrypted = plain + ".encrypted.sav";
        if (!benchfiles::Exists(encrypted)) {
            std::fprintf(stderr, "making %s\n", encrypted.c_str());
            if (!fixture::EncryptFile(plain, encrypted, kPassword)) return 1;
        }
        savio::RememberPassword(encrypted, kPassword);
        struct stat st;
        stat(plain.c_str(), &st);
        const Load p = BestLoad(plain);
        const Load e = BestLoad(encrypted);
        if (p.cells != e.cells || p.cells == 0) {
            std::fprintf(stderr, "%s: %lld cells plain, %lld encrypted\n", plain.c_str(), p.cells,
                         e.cells);
            return 1;
        }
        long long peerCells = 0;
        const auto peerStart = Clock::now();
        bench::PeerParse(plain, &peerCells);
        const double peer = Seconds(peerStart);
        std::printf("| %s | %.0f | %.3f | %.3f | %.2f | %.3f | %.1f | %.1f |\n",
                    plain.substr(plain.rfind('/') + 1).c_str(), double(st.st_size) / 1e6, p.seconds,
                    e.seconds, e.seconds / p.seconds, peer, WorstJump(plain, p.index) * 1e3,
                    WorstJump(encrypted, e.index) * 1e3);
        std::fflush(stdout);
    }
    savio::ForgetAllPasswords();
    return 0;
}
