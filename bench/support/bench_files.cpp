#include "bench/support/bench_files.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

namespace benchfiles {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

namespace {

fixture::Variable Var(std::string name, int width, fixture::Format print) {
    fixture::Variable v;
    v.name = std::move(name);
    v.width = width;
    v.print = print;
    return v;
}

// A survey: 20 coded answers (F8.2 with value labels), 8 amounts with two
// decimals, 4 dates, 8 strings of 8 to 300 bytes; about 5% system-missing.
fixture::File Survey(int cases) {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    fixture::ValueLabelSet labels;
    for (int i = 0; i < 20; ++i) {
        f.variables.push_back(Var(std::string("Q").append(std::to_string(i + 1)), 0, {5, 8, 2}));
        labels.variables.push_back(i);
    }
    labels.numeric = {{1, "Strongly disagree"},
                      {2, "Disagree"},
                      {3, "Neutral"},
                      {4, "Agree"},
                      {5, "Strongly agree"}};
    f.valueLabels.push_back(labels);
    for (int i = 0; i < 8; ++i)
        f.variables.push_back(Var("AMT" + std::to_string(i + 1), 0, {5, 10, 2}));
    for (int i = 0; i < 4; ++i)
        f.variables.push_back(Var(std::string("D").append(std::to_string(i + 1)), 0, {20, 11, 0}));
    const int widths[] = {8, 12, 20, 40, 64, 100, 200, 300};
    for (int i = 0; i < 8; ++i)
        f.variables.push_back(
            Var(std::string("S").append(std::to_string(i + 1)), widths[i], {1, widths[i], 0}));
    const char* words[] = {
        "", "", "Tokyo", "Osaka", "yes", "no", "other: see notes", "Sapporo city", "", "n/a"};
    std::mt19937 rng(11);
    auto missing = [&] { return rng() % 20 == 0; };
    for (int r = 0; r < cases; ++r) {
        fixture::Case row;
        for (int i = 0; i < 20; ++i)
            row.emplace_back(missing() ? fixture::kSysmis : double(1 + rng() % 5));
        for (int i = 0; i < 8; ++i)
            row.emplace_back(missing() ? fixture::kSysmis : double(rng() % 10000000) / 100);
        for (int i = 0; i < 4; ++i)
            row.emplace_back(missing() ? fixture::kSysmis
                                       : 13'000'000'000.0 + 86400.0 * (rng() % 20000));
        for (int i = 0; i < 8; ++i) {
            std::string s = words[rng() % 10];
            if (i >= 5 && rng() % 4 == 0) s += " - a longer free-text answer of the respondent";
            row.emplace_back(s.substr(0, widths[i]));
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

fixture::File ManyVariables(int cases) {
    fixture::File f;
    f.compression = fixture::Compression::Bytecode;
    for (int i = 0; i < 1500; ++i) {
        if (i % 10 == 9)
            f.variables.push_back(Var(std::string("S").append(std::to_string(i)), 12, {1, 12, 0}));
        else
            f.variables.push_back(Var(std::string("V").append(std::to_string(i)), 0, {5, 8, 2}));
    }
    std::mt19937 rng(3);
    for (int r = 0; r < cases; ++r) {
        fixture::Case row;
        for (int i = 0; i < 1500; ++i) {
            if (i % 10 == 9)
                row.emplace_back(std::string(rng() % 12, 'k'));
            else
                row.emplace_back(rng() % 20 == 0 ? fixture::kSysmis
                                                 : double(rng() % 100) / (i % 2 ? 1 : 4));
        }
        f.cases.push_back(std::move(row));
    }
    return f;
}

}  // namespace

void WriteRepeated(const std::string& path, fixture::File f, int repeat) {
    f.headerCaseCount = static_cast<int>(f.cases.size()) * repeat;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (f.compression != fixture::Compression::Zlib) {
        const std::string bytes = fixture::Build(f);
        const size_t data = fixture::Describe(f).data;
        out.write(bytes.data(), std::streamsize(data));
        for (int i = 0; i < repeat; ++i)
            out.write(bytes.data() + data, std::streamsize(bytes.size() - data));
        return;
    }
    // The dictionary as a .zsav's, then the zlib header, the blocks and the
    // trailer; the header is written last, once the trailer's place is known.
    const std::string stream = fixture::BytecodeStream(f);
    fixture::File head = f;
    head.cases.resize(1);
    const std::string dict = fixture::Build(head);
    const int64_t data = int64_t(fixture::Describe(head).data);
    out.write(dict.data(), std::streamsize(data));
    out.write(std::string(24, '\0').data(), 24);
    const size_t blockSize = size_t(f.zlibBlockSize);
    const uint64_t total = uint64_t(stream.size()) * uint64_t(repeat);
    std::string block(blockSize, '\0');
    std::vector<uint8_t> deflated(compressBound(uLong(blockSize)));
    std::vector<std::pair<uint32_t, uint32_t>> sizes;
    for (uint64_t at = 0; at < total; at += blockSize) {
        const size_t n = size_t(std::min<uint64_t>(blockSize, total - at));
        for (size_t k = 0; k < n;) {
            const size_t from = size_t((at + k) % stream.size());
            const size_t take = std::min(n - k, stream.size() - from);
            block.replace(k, take, stream, from, take);
            k += take;
        }
        uLongf length = uLongf(deflated.size());
        compress2(deflated.data(), &length, reinterpret_cast<const Bytef*>(block.data()), uLong(n),
                  1);
        out.write(reinterpret_cast<const char*>(deflated.data()), std::streamsize(length));
        sizes.emplace_back(uint32_t(n), uint32_t(length));
    }
    const int64_t trailer = int64_t(out.tellp());
    auto put64 = [&](int64_t v) { out.write(reinterpret_cast<const char*>(&v), 8); };
    auto put32 = [&](int32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    put64(-int64_t(f.bias));
    put64(0);
    put32(int32_t(blockSize));
    put32(int32_t(sizes.size()));
    int64_t rawAt = data, compressedAt = data + 24;
    for (auto [raw, compressed] : sizes) {
        put64(rawAt);
        put64(compressedAt);
        put32(int32_t(raw));
        put32(int32_t(compressed));
        rawAt += raw;
        compressedAt += compressed;
    }
    const int64_t trailerLength = int64_t(out.tellp()) - trailer;
    out.seekp(data);
    put64(data);
    put64(trailer);
    put64(trailerLength);
}

std::string EnsureSurvey(const std::string& dir, int repeat, fixture::Compression compression) {
    const char* kind = compression == fixture::Compression::None       ? "uncompressed"
                       : compression == fixture::Compression::Bytecode ? "bytecode"
                                                                       : "zlib";
    const std::string size =
        repeat % 100 ? std::to_string(repeat * 10) + "k" : std::to_string(repeat / 100) + "m";
    const std::string path = dir + "/survey-" + size + "-x40-" + kind +
                             (compression == fixture::Compression::Zlib ? ".zsav" : ".sav");
    if (!Exists(path)) {
        std::fprintf(stderr, "making %s\n", path.c_str());
        fixture::File f = Survey(10000);
        f.compression = compression;
        WriteRepeated(path, std::move(f), repeat);
    }
    return path;
}

std::string EnsureSpreadSurvey(const std::string& dir) {
    const std::string path = dir + "/survey-1m-x40-20k-distinct.sav";
    if (!Exists(path)) {
        std::fprintf(stderr, "making %s\n", path.c_str());
        WriteRepeated(path, Survey(20000), 50);
    }
    return path;
}

std::string EnsureWide(const std::string& dir) {
    const std::string path = dir + "/wide-2000-x1500.sav";
    if (!Exists(path)) {
        std::fprintf(stderr, "making %s\n", path.c_str());
        WriteRepeated(path, ManyVariables(200), 10);
    }
    return path;
}

}  // namespace benchfiles
