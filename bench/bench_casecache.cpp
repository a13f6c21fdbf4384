// Cases found again on demand through the case index, on the 1M x 40 files
// that bench_read makes: what taking the index costs during the full read
// (the read with checkpoints beside the same read without), its size, the
// time to any row after a jump (the last row first, on a fresh cache), the
// decode of one key column for a sort and the sort itself, the same column
// gathered through the grid's store in runs of 4096 rows, every column read
// in windows, and peak memory of each phase; beside libreadstat's bare parse
// of the same file in the same run.
//
//   bench_casecache [directory]      (default /tmp/lorivane-bench; run bench_read first)
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/bench_runs.h"
#include "core/grid/case_cache.h"
#include "core/grid/file_case_store.h"
#include "savio/open_files.h"
#include "savio/spssfio.h"

namespace {

using bench::Clock;
using bench::Seconds;

// Peak resident memory since the last ResetPeak, in MB.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
double PeakMb() {
    return bench::StatusKb("VmHWM:") / 1024.0;
}

// The full read through the calls, as the grid load makes it; the index of
// the file when done. shift < 0: the reader's own interval.
double FullRead(const std::string& path, int shift, savio::CaseIndex* index) {
    const auto start = Clock::now();
    int h;
    if (spssOpenRead(path.c_str(), &h) != 0) return -1;
    if (shift >= 0) savio::FindOpenFile(h)->SetCheckpointShift(shift);
    bench::ReadEveryValue(h);
    if (index) savio::GetCaseIndex(h, index);
    spssCloseRead(h);
    return Seconds(start);
}

double ReadstatParse(const std::string& path) {
    const auto start = Clock::now();
    long long cells = 0;
    bench::PeerParse(path, &cells);
    return Seconds(start);
}

// Best of three, the two reads taken in turn so that both see the same load.
void IndexCost(const std::string& path, double* with, double* without) {
    *with = *without = 1e9;
    for (int i = 0; i < 3; ++i) {
        *without = std::min(*without, FullRead(path, 62, nullptr));
        *with = std::min(*with, FullRead(path, -1, nullptr));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench";
    const char* names[] = {"1m40-uncompressed.sav", "1m40-bytecode.sav", "1m40-zlib.zsav"};
    std::printf(
        "| file | readstat parse s | full read s | same, no index s | index bytes | last row ms "
        "| any row ms (median / max of 50) | key column s | sort s | key column as the grid "
        "gathers it s | all columns in windows s | peak MB "
        "(read / cache) |\n|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const char* name : names) {
        const std::string path = dir + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            std::fprintf(stderr, "%s is missing: run bench_read first\n", path.c_str());
            return 1;
        }
        const double peer = ReadstatParse(path);
        double with, without;
        IndexCost(path, &with, &without);

        ResetPeak();
        savio::CaseIndex index;
        FullRead(path, -1, &index);
        const double readPeak = PeakMb();
        const size_t indexBytes = index.bytes();

        ResetPeak();
        lv::CaseCache cache(path, std::move(index));
        const int64_t rows = cache.rowCount();
        int64_t first = 0;
        auto t = Clock::now();
        cache.Block(rows - 1, &first);
        const double lastMs = Seconds(t) * 1000;
        std::vector<double> jumps;
        std::mt19937_64 rng(3);
        for (int i = 0; i < 50; ++i) {
            t = Clock::now();
            cache.Block(int64_t(rng() % uint64_t(rows)), &first);
            jumps.push_back(Seconds(t) * 1000);
        }
        std::sort(jumps.begin(), jumps.end());

        // A numeric column (N1: two-decimal amounts) decoded and sorted
        // stably by value.
        t = Clock::now();
        lv::CaseValues keys;
        cache.Values({1}, 0, rows, &keys);
        const double keySeconds = Seconds(t);
        t = Clock::now();
        std::vector<std::pair<double, uint32_t>> order(size_t(keys.rows()));
        for (size_t r = 0; r < order.size(); ++r)
            order[r] = {keys.Number(int64_t(r), 0), uint32_t(r)};
        std::sort(order.begin(), order.end());
        const double sortSeconds = Seconds(t);
        keys = lv::CaseValues();
        order = {};

        // The same column as the grid's sort gathers it: blocks of 4096
        // rows in file order through the grid's store interface.
        std::vector<lv::FileCaseStore::Column> columns;
        for (const savio::ValueSlots& v : cache.index().values)
            columns.push_back({int(columns.size()), v.width});
        lv::FileCaseStore store(std::make_unique<lv::CaseCache>(path, cache.index()), columns,
                                spssSysmisVal());
        t = Clock::now();
        std::vector<uint32_t> block(4096);
        std::vector<lv::NumberCell> cells(block.size());
        double gathered = 0;
        for (uint32_t first = 0; first < store.RowCount(); first += 4096) {
            const uint32_t n = std::min<uint32_t>(4096, store.RowCount() - first);
            std::iota(block.begin(), block.begin() + n, first);
            store.GatherNumbers(1, std::span<const uint32_t>(block.data(), n), cells.data());
            gathered += cells[0].value;
        }
        const double gatherSeconds = Seconds(t);
        if (gathered == 0.5) std::puts("");

        std::vector<int> all(size_t(cache.columnCount()));
        for (size_t i = 0; i < all.size(); ++i) all[i] = int(i);
        // Every column, in windows of 65536 rows as a long walk reads them.
        t = Clock::now();
        int64_t walked = 0;
        lv::CaseValues window;
        for (int64_t first = 0; first < rows; first += 65536) {
            cache.Values(all, first, std::min<int64_t>(first + 65536, rows), &window);
            walked += window.rows();
        }
        window = lv::CaseValues();
        const double walkSeconds = Seconds(t);
        const double cachePeak = PeakMb();

        std::printf(
            "| %s | %.3f | %.3f | %.3f | %zu | %.1f | %.2f / %.2f | %.3f | %.3f | %.3f | %.3f | "
            "%.0f / "
            "%.0f "
            "|%s\n",
            name, peer, with, without, indexBytes, lastMs, jumps[jumps.size() / 2], jumps.back(),
            keySeconds, sortSeconds, gatherSeconds, walkSeconds, readPeak, cachePeak,
            walked == rows && !cache.changed() ? "" : " (rows missing!)");
    }
    return 0;
}
