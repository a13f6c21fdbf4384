// Nanoseconds per cell of the grid's formatted texts (FormatRender, trimmed
// and aligned as GridData shows them) beside the plain rendering
// (ColumnRender) of the same columns, in one run: F8.2 over survey values,
// DOLLAR12.2 and COMMA12.2 amounts, DATE11 and DATETIME20 over dates (the
// plain grid shows DATE as yyyy/mm/dd and DATETIME as a number), TIME8.
// Each figure is the fastest of three alternating rounds.
//
//   bench_print_format [values]     (default 5,000,000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
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

template <typename Render>
double NanosPerValue(const std::vector<double>& values, Render render) {
    std::string out;
    out.reserve(1 << 16);
    const auto start = std::chrono::steady_clock::now();
    for (double v : values) {
        if (out.size() > 60000) {
            checksum += out.size();
            out.clear();
        }
        render(out, v);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    checksum += out.size();
    return std::chrono::duration<double, std::nano>(elapsed).count() / values.size();
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
        // Both ways three times, alternating, and the fastest of each: other
        // work on the machine then weighs on neither alone.
        double p = 1e300, f = 1e300;
        for (int round = 0; round < 3; ++round) {
            p = std::min(p, NanosPerValue(values, [&](std::string& out, double v) {
                             plain.AppendValue(out, v);
                         }));
            f = std::min(f, NanosPerValue(values, [&](std::string& out, double v) {
                             char text[lv::kMaxNumberText];
                             const int length = formatted.RenderNumber(v, text);
                             plain.AppendAligned(out, lv::Trim(std::string_view(
                                                          text, static_cast<size_t>(length))));
                         }));
        }
        std::printf("  %-11s %8.1f %10.1f %6.2fx\n", c.name, p, f, f / p);
    }
    std::printf("(checksum %zu)\n", checksum);
    return 0;
}
