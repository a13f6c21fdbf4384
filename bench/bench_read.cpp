// Decoding speed of our reader through the public spss... calls, beside
// libreadstat's full parse of the same files and a plain read of the bytes.
// The large files are made with the fixture writer into /tmp when absent.
//
//   bench_read [directory]      (default /tmp/lorivane-bench)
#include <fcntl.h>
#include <libdeflate.h>
#include <readstat.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace {

using bench::Clock;
using bench::Seconds;

// 40 variables: 29 numbers (small integers, prices, SYSMIS), a date, nine
// short and medium strings and one of 300 bytes.
fixture::File WideMix(int cases, fixture::Compression c, uint32_t seed) {
    fixture::File f;
    f.compression = c;
    for (int i = 0; i < 29; ++i)
        f.variables.push_back(fixture::Numeric(std::string("N").append(std::to_string(i))));
    f.variables.push_back(fixture::Numeric("DATE", fixture::Format{20, 11, 0}));
    const int widths[] = {1, 4, 8, 8, 12, 16, 20, 40, 64};
    for (int i = 0; i < 9; ++i)
        f.variables.push_back(
            fixture::String(std::string("S").append(std::to_string(i)), widths[i]));
    f.variables.push_back(fixture::String("LONG300", 300));
    std::mt19937 rng(seed);
    const char* words[] = {"alpha", "beta", "gamma", "", "delta epsilon", "zeta"};
    for (int r = 0; r < cases; ++r) {
        fixture::Case row;
        for (int i = 0; i < 29; ++i) {
            const uint32_t x = rng();
            if (i % 3 == 0)
                row.emplace_back(double(x % 200) - 99);  // compressible
            else if (i % 3 == 1)
                row.emplace_back(double(x % 100000) / 100);  // raw
            else
                row.emplace_back(x % 10 == 0 ? fixture::kSysmis : double(x % 50));
        }
        row.emplace_back(13203129600.0 + 86400.0 * (rng() % 10000));
        for (int i = 0; i < 9; ++i) {
            std::string s = words[rng() % 6];
            row.emplace_back(s.substr(0, widths[i]));
        }
        row.emplace_back(std::string(rng() % 300, 'x'));
        f.cases.push_back(std::move(row));
    }
    return f;
}

// A file of chunk cases repeated.
void MakeRepeated(const std::string& path, fixture::Compression c, int chunk, int repeat) {
    benchfiles::WriteRepeated(path, WideMix(chunk, c, 7), repeat);
}

void MakeManyVariables(const std::string& path) {
    fixture::File f;
    for (int i = 0; i < 1500; ++i) {
        if (i % 10 == 9)
            f.variables.push_back(fixture::String(std::string("S").append(std::to_string(i)), 12));
        else
            f.variables.push_back(fixture::Numeric(std::string("V").append(std::to_string(i))));
    }
    std::mt19937 rng(3);
    for (int r = 0; r < 2000; ++r) {
        fixture::Case row;
        for (int i = 0; i < 1500; ++i) {
            if (i % 10 == 9)
                row.emplace_back(std::string(rng() % 12, 'k'));
            else
                row.emplace_back(i % 2 ? double(rng() % 100) : double(rng()) / 7);
        }
        f.cases.push_back(std::move(row));
    }
    fixture::WriteFile(f, path);
}

struct OurResult {
    double seconds = 0;
    long long cells = 0;
    int status = 0;
};

OurResult DecodeWithOurReader(const std::string& path) {
    OurResult r;
    const auto start = Clock::now();
    int h;
    if ((r.status = spssOpenRead(path.c_str(), &h)) != 0) return r;
    r.cells = bench::ReadEveryValue(h);
    spssCloseRead(h);
    r.seconds = Seconds(start);
    return r;
}

double ParseWithReadstat(const std::string& path, long long* cells) {
    const auto start = Clock::now();
    if (bench::PeerParse(path, cells) != READSTAT_OK) *cells = -1;
    return Seconds(start);
}

double ReadPlain(const std::string& path) {
    const auto start = Clock::now();
    const int fd = open(path.c_str(), O_RDONLY);
    std::vector<char> buf(1 << 20);
    while (read(fd, buf.data(), buf.size()) > 0) {
    }
    close(fd);
    return Seconds(start);
}

// Inflating the .zsav blocks alone, with zlib and with libdeflate.
void InflateAlone(const std::string& path, double* zlibSeconds, double* deflateSeconds) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int64_t ztrailer = 0;
    const size_t data = bytes.find("\x9c\xff\xff\xff\xff\xff\xff\xff", bytes.size() - (1 << 20));
    ztrailer = int64_t(data);
    int32_t n;
    std::memcpy(&n, &bytes[size_t(ztrailer) + 20], 4);
    std::vector<uint8_t> out(0x3FF000);
    for (int pass = 0; pass < 2; ++pass) {
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        const auto start = Clock::now();
        for (int k = 0; k < n; ++k) {
            const char* e = &bytes[size_t(ztrailer) + 24 + 24 * size_t(k)];
            int64_t cofs;
            int32_t u, c;
            std::memcpy(&cofs, e + 8, 8);
            std::memcpy(&u, e + 16, 4);
            std::memcpy(&c, e + 20, 4);
            if (pass == 0) {
                uLongf len = out.size();
                uncompress(out.data(), &len, reinterpret_cast<const Bytef*>(&bytes[size_t(cofs)]),
                           uLong(c));
            } else {
                size_t got;
                libdeflate_zlib_decompress(d, &bytes[size_t(cofs)], size_t(c), out.data(),
                                           size_t(u), &got);
            }
        }
        (pass == 0 ? *zlibSeconds : *deflateSeconds) = Seconds(start);
        libdeflate_free_decompressor(d);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/lorivane-bench";
    mkdir(dir.c_str(), 0755);
    struct Item {
        std::string name;
        fixture::Compression compression;
        bool many;
    };
    const std::vector<Item> items = {
        {"1m40-uncompressed.sav", fixture::Compression::None, false},
        {"1m40-bytecode.sav", fixture::Compression::Bytecode, false},
        {"1m40-zlib.zsav", fixture::Compression::Zlib, false},
        {"2000x1500-bytecode.sav", fixture::Compression::Bytecode, true},
    };
    for (const Item& it : items) {
        const std::string path = dir + "/" + it.name;
        if (benchfiles::Exists(path)) continue;
        std::fprintf(stderr, "making %s\n", path.c_str());
        if (it.many)
            MakeManyVariables(path);
        else
            MakeRepeated(path, it.compression, 10000, 100);
    }
    std::printf(
        "| file | MB | cells | read bytes s | ours s | ours Mcells/s | readstat s | readstat/ours "
        "|\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Item& it : items) {
        const std::string path = dir + "/" + it.name;
        struct stat st;
        stat(path.c_str(), &st);
        const double plain = ReadPlain(path);
        OurResult best;
        for (int i = 0; i < 3; ++i) {
            OurResult r = DecodeWithOurReader(path);
            if (i == 0 || r.seconds < best.seconds) best = r;
        }
        long long rsCells = 0;
        const double rs = ParseWithReadstat(path, &rsCells);
        std::printf("| %s | %.0f | %lld | %.3f | %.3f | %.1f | %.3f | %.2f |%s\n", it.name.c_str(),
                    double(st.st_size) / 1e6, best.cells, plain, best.seconds,
                    double(best.cells) / best.seconds / 1e6, rs, rs / best.seconds,
                    (best.status || rsCells != best.cells) ? " (cell counts differ!)" : "");
        if (it.compression == fixture::Compression::Zlib) {
            double z = 0, d = 0;
            InflateAlone(path, &z, &d);
            std::printf("|   inflate alone: zlib %.3f s, libdeflate %.3f s | | | | | | | |\n", z,
                        d);
        }
    }
    return 0;
}
