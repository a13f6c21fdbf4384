// The statistics against GNU PSPP on every file of the corpus and on files
// made here (ties, weights below 1, user-missing ranges, a constant, all
// missing, huge and tiny magnitudes): FREQUENCIES /STATISTICS=ALL (counts,
// percentages, moments, range, sum, mode), EXAMINE's weighted-average
// percentiles, DESCRIPTIVES /STATISTICS=ALL and a CROSSTABS with its tests
// and measures, each figure equal to ours at the precision PSPP prints it.
// Skips with one line where pspp or the corpus is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/stats/crosstab.h"
#include "core/stats/crosstab_tests.h"
#include "core/stats/frequencies.h"
#include "core/stats/percentile.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

namespace fs = std::filesystem;
using fixture::kSysmis;

constexpr size_t kVariablesPerFile = 12;
constexpr size_t kMostRowsCompared = 40;

bool HavePspp() {
    return std::system("command -v pspp >/dev/null 2>&1") == 0;
}

std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// PSPP's output: the tables after each "MARK name" line, by title.
struct Table {
    std::string title;
    std::vector<std::vector<std::string>> rows;
};
using Sections = std::map<std::string, std::vector<Table>>;

Sections ParseOutput(const std::string& path) {
    Sections sections;
    std::ifstream in(path);
    std::string line, mark;
    while (std::getline(in, line)) {
        // A quoted field may hold line breaks (a long label's lines).
        std::string more;
        while (std::count(line.begin(), line.end(), '"') % 2 && std::getline(in, more))
            line += "\n" + more;
        if (line.rfind("MARK ", 0) == 0) {
            mark = line.substr(5);
        } else if (line.rfind("Table: ", 0) == 0 || line.rfind("\"Table: ", 0) == 0) {
            sections[mark].push_back({CsvFields(line)[0].substr(7), {}});
        } else if (!line.empty() && !sections[mark].empty()) {
            sections[mark].back().rows.push_back(CsvFields(line));
        } else if (line.empty() && !sections[mark].empty()) {
            sections[mark].push_back({"", {}});  // ends the table
        }
    }
    for (auto& [name, tables] : sections)
        std::erase_if(tables, [](const Table& t) { return t.title.empty(); });
    return sections;
}

// A figure as PSPP prints it ("1,234.50", "$36,938", "33.3%", ".00",
// "1.4E+010"): its value and how far from it ours may lie. False for texts
// that are not plain figures (dates, labels, ".").
bool Printed(std::string text, double* value, double* tolerance) {
    std::string plain;
    for (char c : text)
        if (c != ',' && c != '$' && c != '%' && c != ' ') plain += c;
    if (plain.empty() || plain == "." || plain == "NaN") return false;
    char* end = nullptr;
    *value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size()) return false;
    const size_t e = plain.find_first_of("eE");
    const std::string mantissa = plain.substr(0, e);
    const size_t dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : int(mantissa.size() - dot - 1);
    const int exponent = e == std::string::npos ? 0 : std::atoi(plain.c_str() + e + 1);
    // Below 1e-30 a figure is rounding about zero: PSPP's DESCRIPTIVES prints
    // the variance of a constant as -1.26E-046 where it is 0.
    *tolerance =
        0.5 * std::pow(10.0, exponent - decimals) * (1 + 1e-9) + 1e-12 * std::fabs(*value) + 1e-30;
    return true;
}

struct Checker {
    std::string where;
    int compared = 0;
    void Same(const std::string& what, double ours, const std::string& theirs) {
        double value = 0, tolerance = 0;
        if (!Printed(theirs, &value, &tolerance) || !std::isfinite(ours)) return;
        ++compared;
        EXPECT_NEAR(ours, value, tolerance)
            << where << ": " << what << " (PSPP printed '" << theirs << "')";
    }
};

// Dates and times: PSPP prints their values and extremes as dates.
bool IsTimeFormat(int type) {
    return (type >= 20 && type <= 30) || (type >= 38 && type <= 41);
}

// The name of a section of the output: a letter and a number.
std::string Mark(char letter, size_t k) {
    std::string mark(1, letter);
    mark += std::to_string(k);
    return mark;
}

bool PlainName(const std::string& name) {
    static const char* reserved[] = {"ALL", "AND", "BY",  "EQ", "GE", "GT",  "LE",
                                     "LT",  "NE",  "NOT", "OR", "TO", "WITH"};
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* r : reserved)
        if (upper == r) return false;
    return true;
}

void CompareFile(const std::string& path, Checker& check) {
    lv::FileDictionary dict;
    if (lv::ReadFileDictionary(path, &dict) != 0 || dict.caseCount == 0) return;
    std::vector<int> chosen;
    for (size_t i = 0; i < dict.variables.size() && chosen.size() < kVariablesPerFile; ++i) {
        const lv::DictVariable& v = dict.variables[i];
        // DOT and the custom currencies print with other separators.
        if (v.isString() || !PlainName(v.longName) || v.print.type == 32 ||
            (v.print.type >= 33 && v.print.type <= 37))
            continue;
        chosen.push_back(static_cast<int>(i));
    }
    if (chosen.empty()) return;
    std::vector<lv::AskedPercentile> asked;
    lv::ParsePercentiles("5,10,90,95", asked);
    const lv::FrequencyResult ours = lv::RunFrequencies(
        dict, chosen, true, nullptr, lv::ValueTally::kDefaultKept, nullptr, nullptr, asked);
    if (ours.pass.outcome != lv::PassOutcome::Complete) return;

    std::string names;
    std::vector<int> small;  // few distinct values: whole tables compared
    for (size_t k = 0; k < chosen.size(); ++k) {
        names += " " + dict.variables[size_t(chosen[k])].longName;
        const lv::FrequencyTable& t = ours.tables[k];
        if (t.distinctExact && t.distinct >= 2 && t.distinct <= kMostRowsCompared &&
            !IsTimeFormat(t.variable.dict->print.type))
            small.push_back(static_cast<int>(k));
    }
    const std::string dir = fixture::TempDir();
    const std::string syntax = dir + "/compare.sps", output = dir + "/out.csv";
    {
        std::ofstream sps(syntax);
        sps << "GET FILE='" << path << "'.\n";
        sps << "ECHO 'MARK S'.\nFREQUENCIES VARIABLES=" << names
            << " /FORMAT=NOTABLE /STATISTICS=ALL.\n";
        sps << "ECHO 'MARK Q'.\nEXAMINE VARIABLES=" << names
            << " /PERCENTILES(25,50,75,5,10,90,95)=HAVERAGE /STATISTICS=NONE /MISSING=PAIRWISE.\n";
        for (size_t k = 0; k < chosen.size(); ++k)
            sps << "ECHO 'MARK D" << k
                << "'.\nDESCRIPTIVES VARIABLES=" << dict.variables[size_t(chosen[k])].longName
                << " /STATISTICS=ALL.\n";
        for (int k : small)
            sps << "ECHO 'MARK F" << k << "'.\nFREQUENCIES VARIABLES="
                << dict.variables[size_t(chosen[size_t(k)])].longName << ".\n";
        if (small.size() >= 2)
            sps << "ECHO 'MARK X'.\nCROSSTABS /TABLES="
                << dict.variables[size_t(chosen[size_t(small[0])])].longName << " BY "
                << dict.variables[size_t(chosen[size_t(small[1])])].longName
                << " /STATISTICS=CHISQ PHI.\n";
    }
    const std::string command =
        "pspp -O format=csv -o '" + output + "' '" + syntax + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !fs::exists(output)) {
        ADD_FAILURE() << check.where << ": pspp failed";
        return;
    }
    Sections pspp = ParseOutput(output);

    // FREQUENCIES /STATISTICS: one column per variable.
    if (!pspp["S"].empty()) {
        for (const auto& row : pspp["S"][0].rows) {
            if (row.size() < 2 + chosen.size()) continue;
            const std::string key = row[0] + "/" + row[1];
            for (size_t k = 0; k < chosen.size(); ++k) {
                const lv::FrequencyTable& t = ours.tables[k];
                const std::string& cell = row[2 + k];
                const std::string what = t.variable.longName() + " " + key;
                // Extremes print as a date, or as their value label.
                // The weight variable's own zero weights are left out of
                // our figures; PSPP still takes its extremes from them.
                const bool asValue = !IsTimeFormat(t.variable.dict->print.type) &&
                                     t.variable.dict->numericLabels.empty() &&
                                     t.variable.name() != dict.weightVariable;
                if (key == "N/Valid") check.Same(what, t.valid.weight, cell);
                if (key == "/Missing")
                    check.Same(what, t.userMissing.weight + t.systemMissing.weight, cell);
                const lv::Descriptives& s = t.stats;
                if (key == "Mean/") check.Same(what, s.mean, cell);
                if (key == "Std Dev/") check.Same(what, s.sd, cell);
                if (key == "S.E. Mean/") check.Same(what, s.seMean, cell);
                if (key == "Variance/") check.Same(what, s.variance, cell);
                if (key == "Skewness/") check.Same(what, s.skewness, cell);
                if (key == "S.E. Skew/") check.Same(what, s.seSkewness, cell);
                if (key == "Kurtosis/") check.Same(what, s.kurtosis, cell);
                if (key == "S.E. Kurt/") check.Same(what, s.seKurtosis, cell);
                if (key == "Range/" && asValue) check.Same(what, s.range, cell);
                if (key == "Sum/" && asValue) check.Same(what, s.sum, cell);
                // PSPP 1.6's mode is wrong where values tie (it prints none;
                // the smallest of them is the definition's) and in weighted
                // files: in spss24_korean_weight_276vars.sav its id mode is
                // 4156 (weight 5.44), where 3705 weighs 5.76. Those are not
                // compared.
                if (key == "Mode/" && asValue && s.modeCount == 1 && !ours.pass.weighted)
                    check.Same(what, s.modes.front(), cell);
                if (key == "Minimum/" && asValue) check.Same(what, t.stats.minimum, cell);
                if (key == "Maximum/" && asValue) check.Same(what, t.stats.maximum, cell);
                // PSPP's FREQUENCIES takes its median another way, which
                // agrees only while weights are whole: EXAMINE's is compared.
                if (key == "Median/" && !IsTimeFormat(t.variable.dict->print.type) &&
                    !ours.pass.weighted)
                    check.Same(what, t.stats.median, cell);
            }
        }
    }
    // EXAMINE: a "Weighted Average" row per variable, in order.
    for (const Table& table : pspp["Q"]) {
        if (table.title != "Percentiles") continue;
        size_t k = 0;
        for (const auto& row : table.rows) {
            if (row.size() < 5 || row[1] != "Weighted Average" || k >= chosen.size()) continue;
            const lv::FrequencyTable& t = ours.tables[k++];
            if (IsTimeFormat(t.variable.dict->print.type)) continue;
            // Where (W + 1)p falls before the first rank or past the last,
            // the percentile is the smallest or largest value; PSPP reaches
            // past them instead, so those are not compared.
            const double w = t.valid.weight;
            const lv::Descriptives& s = t.stats;
            const std::pair<double, double> points[] = {
                {0.25, s.quartile1},           {0.5, s.median},
                {0.75, s.quartile3},           {0.05, s.percentiles[0].value},
                {0.1, s.percentiles[1].value}, {0.9, s.percentiles[2].value},
                {0.95, s.percentiles[3].value}};
            for (size_t i = 0; i < std::size(points) && 2 + i < row.size(); ++i) {
                const auto [p, ours] = points[i];
                if ((w + 1) * p >= 1 && (w + 1) * p <= w)
                    check.Same(t.variable.longName() + " P" + std::to_string(p), ours, row[2 + i]);
            }
        }
    }
    // DESCRIPTIVES: a table per variable, its row after the header.
    for (size_t k = 0; k < chosen.size(); ++k) {
        const auto& tables = pspp[Mark('D', k)];
        if (tables.empty() || tables[0].rows.size() < 2) continue;
        const auto& head = tables[0].rows[0];
        const auto& row = tables[0].rows[1];
        const lv::FrequencyTable& t = ours.tables[k];
        const lv::Descriptives& s = t.stats;
        const std::map<std::string, double> figures = {
            {"N", t.valid.weight},       {"Mean", s.mean},         {"S.E. Mean", s.seMean},
            {"Std Dev", s.sd},           {"Variance", s.variance}, {"Kurtosis", s.kurtosis},
            {"S.E. Kurt", s.seKurtosis}, {"Skewness", s.skewness}, {"S.E. Skew", s.seSkewness}};
        for (size_t c = 1; c < head.size() && c < row.size(); ++c)
            if (const auto it = figures.find(head[c]); it != figures.end())
                check.Same(t.variable.longName() + " DESCRIPTIVES " + head[c], it->second, row[c]);
    }
    // Whole frequency tables: valid rows in order, then the missing total.
    for (int k : small) {
        const auto& tables = pspp[Mark('F', size_t(k))];
        if (tables.empty()) continue;
        const lv::FrequencyTable& t = ours.tables[size_t(k)];
        std::vector<const lv::FrequencyRow*> valid;
        for (const lv::FrequencyRow& row : t.rows)
            if (row.missing == lv::MissingKind::None) valid.push_back(&row);
        size_t i = 0;
        double missing = 0;
        bool inMissing = false;
        // The statistics' table (N) comes first, the frequencies last.
        for (const auto& row : tables.back().rows) {
            if (row.size() < 4 || row[2] == "Frequency") continue;
            if (row[0] == "Missing") inMissing = true;
            if (row[0] == "Total") break;
            if (inMissing) {
                double v = 0, tol = 0;
                if (Printed(row[2], &v, &tol)) missing += v;
                continue;
            }
            if (row[0] != "Valid" && row[0] != "") continue;
            if (i >= valid.size()) {
                ADD_FAILURE() << check.where << ": PSPP lists more values of "
                              << t.variable.longName();
                break;
            }
            const lv::FrequencyRow& ourRow = *valid[i++];
            const std::string what = t.variable.longName() + " row " + std::to_string(i);
            check.Same(what + " count", ourRow.amount.weight, row[2]);
            check.Same(what + " percent", ourRow.percent, row[3]);
            if (row.size() > 5) {
                check.Same(what + " valid percent", ourRow.validPercent, row[4]);
                check.Same(what + " cumulative", ourRow.cumulativePercent, row[5]);
            }
        }
        EXPECT_EQ(i, valid.size()) << check.where << ": " << t.variable.longName();
        EXPECT_NEAR(missing, t.userMissing.weight + t.systemMissing.weight, 0.01)
            << check.where << ": " << t.variable.longName() << " missing";
    }
    // CROSSTABS: the counts of each row and its total.
    if (small.size() >= 2 && pspp["X"].size() >= 2) {
        const lv::CrosstabResult ct =
            lv::RunCrosstab(dict, chosen[size_t(small[0])], chosen[size_t(small[1])], true, false);
        const lv::Crosstab& t = ct.table;
        size_t r = 0;
        for (const auto& row : pspp["X"][1].rows) {
            if (row.size() < 4 || row[2] != "Count") continue;
            const bool total = row[0] == "Total";
            for (size_t c = 0; c + 3 < row.size(); ++c) {
                const bool marginal = c == t.columns.size();
                double ours = 0;
                if (total)
                    ours = marginal ? t.total.weight : t.columnTotals[c].weight;
                else if (r < t.rows.size())
                    ours = marginal ? t.rowTotals[r].weight : t.Cell(r, c).weight;
                if (c <= t.columns.size())
                    check.Same("crosstab row " + std::to_string(r), ours, row[3 + c]);
            }
            if (!total) ++r;
        }
        EXPECT_EQ(r, t.rows.size()) << check.where << ": crosstab rows";
        // Its tests and measures, wherever the name is in a row.
        const lv::CrosstabTests tests = lv::TestCrosstab(t);
        // PSPP sums products of the raw scores, so where the scores lie far
        // from zero for their spread (1e12 + k/4) its linear-by-linear
        // keeps no digit (3.55E-008 where exact arithmetic gives 1.80877);
        // ours works from deviations about the means and is not compared.
        const auto farFromZero = [](const std::vector<lv::CrossCategory>& sides) {
            double low = HUGE_VAL, high = -HUGE_VAL;
            for (const lv::CrossCategory& c : sides) {
                low = std::min(low, c.number);
                high = std::max(high, c.number);
            }
            return std::max(std::fabs(low), std::fabs(high)) > 1e6 * (high - low);
        };
        const bool linearComparable = t.rowVariable.isString() || t.columnVariable.isString() ||
                                      (!farFromZero(t.rows) && !farFromZero(t.columns));
        for (const Table& table : pspp["X"])
            for (const auto& row : table.rows) {
                if (row.size() < 2) continue;
                const std::string& name = row[0];
                for (const auto& [title, test] :
                     {std::pair{"Pearson Chi-Square", tests.pearson},
                      {"Likelihood Ratio", tests.likelihoodRatio},
                      {"Linear-by-Linear Association", tests.linearByLinear}})
                    if (name == title && row.size() >= 4 &&
                        (linearComparable ||
                         std::string(title) != "Linear-by-Linear Association")) {
                        check.Same(name + " value", test.value, row[1]);
                        check.Same(name + " df", test.df, row[2]);
                        check.Same(name + " p", test.p, row[3]);
                    }
                if (name == "Fisher's Exact Test" && row.size() >= 6) {
                    // Where equal margins make the mirrored table as likely as
                    // this one, PSPP leaves it out of the two-sided p; the
                    // definition (and R's fisher.test) counts it: 1, not .500,
                    // for 0 1 / 1 0.
                    const bool mirrored = t.rowTotals[0].weight == t.rowTotals[1].weight ||
                                          t.columnTotals[0].weight == t.columnTotals[1].weight;
                    if (!mirrored) check.Same("Fisher two-sided", tests.fisherTwoSided, row[4]);
                    check.Same("Fisher one-sided", tests.fisherOneSided, row[5]);
                }
                if (row.size() >= 3 && (row[1] == "Phi" || row[1] == "Cramer's V"))
                    check.Same(row[1], row[1] == "Phi" ? tests.phi : tests.cramersV, row.back());
            }
    }
    fs::remove_all(dir);
}

// Files made for the figures that go wrong at the edges: ties (a mode
// shared), weights below 1, a user-missing range, a constant, a variable
// all missing, values near 1e12 differing in their last digits and values
// near 1e-9.
TEST(StatsPspp, MadeFilesAgreeWithPspp) {
    if (!HavePspp()) GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    fixture::File f;
    f.variables = {fixture::Numeric("TIES"),
                   fixture::Numeric("RANGED"),
                   fixture::Numeric("CONST"),
                   fixture::Numeric("NONE"),
                   fixture::Numeric("HUGE", {5, 18, 2}),
                   fixture::Numeric("TINY", {5, 12, 10}),
                   fixture::Numeric("W")};
    f.variables[1].missing.range = std::pair{90.0, 99.0};
    for (int i = 0; i < 60; ++i) {
        const double huge = 1e12 + (i * 37 % 23) * 0.25, tiny = (i * 13 % 17) * 1e-9;
        f.cases.push_back({double(i % 4 == 0 ? 2 : i % 7), double(i * 11 % 100),
                           i % 9 == 0 ? kSysmis : 5.0, kSysmis, huge, tiny,
                           i % 3 == 0   ? 0.8
                           : i % 3 == 1 ? 0.25
                                        : 1.5});
    }
    const std::string dir = fixture::TempDir();
    int compared = 0;
    for (const bool weighted : {false, true}) {
        f.weightVariable = weighted ? 6 : -1;
        const std::string path = dir + (weighted ? "/weighted.sav" : "/plain.sav");
        fixture::WriteFile(f, path);
        Checker check{weighted ? "made, weighted" : "made"};
        CompareFile(path, check);
        compared += check.compared;
    }
    EXPECT_GT(compared, 250);
    fs::remove_all(dir);
}

TEST(StatsPsppCorpus, FiguresEqualPsppsAtItsPrecision) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    if (!HavePspp()) GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    int files = 0, compared = 0;
    for (const auto& entry : fs::directory_iterator(fixture::CorpusDir())) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".sav" && ext != ".zsav")) continue;
        Checker check{entry.path().filename().string()};
        CompareFile(entry.path().string(), check);
        if (check.compared) ++files;
        compared += check.compared;
    }
    EXPECT_GT(files, 10);
    std::printf("compared %d figures on %d files\n", compared, files);
}

}  // namespace
