// Nanoseconds per value of the grid's "%8.2f" rendering and the export's
// scientific form, beside snprintf of comparable formats, over realistic
// survey values: small integer codes, two-decimal amounts, some large
// figures and some computed values with full mantissas.
//
//   bench_format [values]     (default 10,000,000)
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/export/text_file.h"
#include "core/rendering/scientific.h"
#include "core/rendering/specifier_format.h"

namespace {

std::vector<double> SurveyValues(size_t count) {
    std::mt19937_64 random(12345);
    std::vector<double> values(count);
    for (double& v : values) {
        int kind = static_cast<int>(random() % 100);
        if (kind < 50) {
            v = static_cast<double>(1 + random() % 7);  // Likert codes
        } else if (kind < 85) {
            v = static_cast<double>(random() % 100000) / 100;  // amounts, 2 decimals
        } else if (kind < 95) {
            v = static_cast<double>(random() % 10000000000ull) / 100;  // incomes
        } else {
            v = static_cast<double>(random() % 1000) / 7.0;  // computed ratios
        }
    }
    return values;
}

size_t checksum = 0;

template <typename Render>
double NanosPerValue(const std::vector<double>& values, Render render) {
    std::string out;
    out.reserve(1 << 16);
    auto start = std::chrono::steady_clock::now();
    for (double v : values) {
        if (out.size() > 60000) {
            checksum += out.size();
            out.clear();
        }
        render(out, v);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    checksum += out.size();
    return std::chrono::duration<double, std::nano>(elapsed).count() / values.size();
}

void AppendSnprintf(std::string& out, const char* pattern, double v) {
    char text[64];
    int length = std::snprintf(text, sizeof text, pattern, v);
    out.append(text, length);
}

}  // namespace

int main(int argc, char** argv) {
    size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
    std::vector<double> values = SurveyValues(count);
    auto spec = *lv::Specifier::Parse("%8.2f");

    double fixed = NanosPerValue(
        values, [](std::string& out, double v) { lv::AppendFixed(out, v, 8, 2, '.'); });
    double specifier =
        NanosPerValue(values, [&](std::string& out, double v) { spec.AppendFloat(out, v, '.'); });
    double printfFixed =
        NanosPerValue(values, [](std::string& out, double v) { AppendSnprintf(out, "%8.2f", v); });
    double scientific =
        NanosPerValue(values, [](std::string& out, double v) { lv::AppendScientific(out, v); });
    double printfScientific =
        NanosPerValue(values, [](std::string& out, double v) { AppendSnprintf(out, "%.14E", v); });
    double toChars = NanosPerValue(values, [](std::string& out, double v) {
        char text[40];
        auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 17);
        out.append(text, result.ptr);
    });

    std::printf("%zu values of survey data, ns per value\n", count);
    std::printf("  %%8.2f   AppendFixed            %7.1f\n", fixed);
    std::printf("  %%8.2f   Specifier::AppendFloat %7.1f\n", specifier);
    std::printf("  %%8.2f   snprintf               %7.1f   (%.1fx / %.1fx)\n", printfFixed,
                printfFixed / fixed, printfFixed / specifier);
    std::printf("  sci     AppendScientific       %7.1f\n", scientific);
    std::printf("  sci     snprintf %%.14E         %7.1f   (%.1fx)\n", printfScientific,
                printfScientific / scientific);
    std::printf("  18 dig  std::to_chars          %7.1f\n", toChars);

    // The export's internal form: every value in the scientific form and a
    // blank, ten values a line, through the writer into a scratch file.
    std::string path = "/tmp/bench_format_export.txt";
    auto start = std::chrono::steady_clock::now();
    lv::TextFileWriter writer;
    writer.Create(path);
    std::string field;
    for (size_t i = 0; i < values.size(); ++i) {
        field.clear();
        lv::AppendScientific(field, values[i]);
        field += ' ';
        writer.Write(field);
        if (i % 10 == 9) writer.WriteLine();
    }
    writer.Close();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double megabytes = values.size() * 24.2 / 1e6;
    std::printf("  export  scientific + writer    %7.1f   (%.0f MB/s)\n",
                seconds * 1e9 / values.size(), megabytes / seconds);
    std::remove(path.c_str());
    std::printf("(checksum %zu)\n", checksum);
    return 0;
}
