// Nanoseconds per cell of the grid's formatted texts (FormatRender, trimmed
// and aligned as GridData shows them) beside the plain rendering
// (ColumnRender) of the same columns, in one run: F8.2 over survey values,
// DOLLAR12.2 and COMMA12.2 amounts, DATE11 and DATETIME20 over dates (the
// plain grid shows DATE as yyyy/mm/dd and DATETIME as a number), TIME8.
// The two ways take turns every 4096 values; each figure is the fastest of
// three rounds.
//
//   bench_print_format [values]     (default 5,000,000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/rendering/column_render.h"
#include "core/rendering/print_format.h"
#include "core/rendering/specifier_format.h"
#include "core/text/trim.h"

namespace {

std::vector<double> SurveyValues(size_t count) {
    std::mt19937_64 random(12345);
    std::vector<double> values(count);
    for (double& v : values) {
        const int kind = static_cast<int>(random() % 100);
        if (kind < 50)
            v = static_cast<double>(1 + random() % 7);
        else if (kind < 85)
            v = static_cast<double>(random() % 100000) / 100;
        else if (kind < 95)
            v = static_cast<double>(random() % 10000000000ull) / 100;
        else
            v = static_cast<double>(random() % 1000) / 7.0;
    }
    return values;
}

// Seconds from 1582 of days in 1950..2030, with a time of day.
std::vector<double> DateValues(size_t count) {
    std::mt19937_64 random(777);
    std::vector<double> values(count);
    for (double& v : values)
        v = 11676096000.0 + static_cast<double>(random() % (80ull * 365 * 86400));
    return values;
}

size_t checksum = 0;

// Nanoseconds per value of render over values[first, last).
template <typename Render>
double Nanos(const std::vector<double>& values, size_t first, size_t last, std::string& out,
             Render render) {
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = first; i < last; ++i) {
        if (out.size() > 60000) {
            checksum += out.size();
            out.clear();
        }
        render(out, values[i]);
    }
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
}

// Nanoseconds per value of two renderings, taking turns every 4096 values so
// that other work on the machine weighs on both alike; the faster of three
// rounds of each.
template <typename A, typename B>
std::pair<double, double> NanosPerValue(const std::vector<double>& values, A a, B b) {
    constexpr size_t kTurn = 1 << 12;
    std::string out;
    out.reserve(1 << 16);
    double bestA = 1e300, bestB = 1e300;
    for (int round = 0; round < 3; ++round) {
        double sumA = 0, sumB = 0;
        for (size_t first = 0; first < values.size(); first += kTurn) {
            const size_t last = std::min(values.size(), first + kTurn);
            sumA += Nanos(values, first, last, out, a);
            sumB += Nanos(values, first, last, out, b);
        }
        bestA = std::min(bestA, sumA / static_cast<double>(values.size()));
        bestB = std::min(bestB, sumB / static_cast<double>(values.size()));
    }
    checksum += out.size();
    return {bestA, bestB};
}

struct Column {
    const char* name;
    int type, width, decimals;
    const char* plainPattern;
    bool dates;
};

}  // namespace

int main(int argc, char** argv) {
    const size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 5000000;
    const std::vector<double> survey = SurveyValues(count);
    const std::vector<double> dates = DateValues(count);
    const Column columns[] = {{"F8.2", 5, 8, 2, "%8.2f", false},
                              {"COMMA12.2", 3, 12, 2, "%12.2f", false},
                              {"DOLLAR12.2", 4, 12, 2, "%12.2f", false},
                              {"E10.3", 17, 10, 3, "%10.3f", false},
                              {"DATE11", 20, 11, 0, "%4d/%2.2d/%2.2d", true},
                              {"DATETIME20", 22, 20, 0, "%20.0f", true},
                              {"TIME8", 21, 8, 0, "%8.0f", false}};

    std::printf("%zu values per column, ns per cell (plain = the grid's rendering when off)\n",
                count);
    std::printf("  %-11s %8s %10s %7s\n", "format", "plain", "formatted", "ratio");
    for (const Column& c : columns) {
        const std::vector<double>& values = c.dates ? dates : survey;
        const lv::ColumnRender plain =
            lv::ColumnRender::Make(0, c.type, c.plainPattern, c.width, '.');
        const lv::FormatRender formatted(lv::PrintFormat{c.type, c.width, c.decimals}, 0);
        const auto [p, f] = NanosPerValue(
            values, [&](std::string& out, double v) { plain.AppendValue(out, v); },
            [&](std::string& out, double v) {
                char text[lv::kMaxNumberText];
                const int length = formatted.RenderNumber(v, text);
                plain.AppendAligned(out,
                                    lv::Trim(std::string_view(text, static_cast<size_t>(length))));
            });
        std::printf("  %-11s %8.1f %10.1f %6.2fx\n", c.name, p, f, f / p);
    }
    std::printf("(checksum %zu)\n", checksum);
    return 0;
}
