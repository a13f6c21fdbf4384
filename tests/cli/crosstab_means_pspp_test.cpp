// crosstab's tests and measures and means by group against PSPP's
// CROSSTABS /STATISTICS=CHISQ PHI (with expected counts and adjusted
// residuals, a layer variable, a 2 x 2 table's Fisher test) and MEANS, on a
// file made here with weights below and above 1 and missing values, every
// figure equal to ours at the precision PSPP prints it. Skips without pspp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/cli/dump_support.h"
#include "tests/support/savfixture.h"

namespace {

using nlohmann::json;

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// PSPP's CSV output: the rows of each table after each "MARK name" line.
std::map<std::string, std::vector<std::vector<std::string>>> Sections(const std::string& path) {
    std::map<std::string, std::vector<std::vector<std::string>>> out;
    std::ifstream in(path);
    std::string line, mark;
    while (std::getline(in, line))
        if (line.rfind("MARK ", 0) == 0)
            mark = line.substr(5);
        else if (!mark.empty() && !line.empty())
            out[mark].push_back(Fields(line));
    return out;
}

// ours equals the figure PSPP printed ("3.57", ".168", "1,234") within half
// its last digit.
void Same(const std::string& what, double ours, const std::string& printed) {
    std::string plain;
    for (char c : printed)
        if (c != ',' && c != '%') plain += c;
    char* end = nullptr;
    const double theirs = std::strtod(plain.c_str(), &end);
    ASSERT_TRUE(!plain.empty() && *end == 0) << what << ": PSPP printed '" << printed << "'";
    const size_t dot = plain.find('.');
    const int decimals = dot == std::string::npos ? 0 : int(plain.size() - dot - 1);
    EXPECT_NEAR(ours, theirs, 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9))
        << what << " (PSPP printed '" << printed << "')";
}

std::string SurveyFile() {
    fixture::File f;
    f.variables = {fixture::Numeric("R", {5, 8, 0}), fixture::Numeric("C", {5, 8, 0}),
                   fixture::Numeric("L", {5, 8, 0}), fixture::Numeric("A", {5, 8, 0}),
                   fixture::Numeric("B", {5, 8, 0}), fixture::Numeric("Y", {5, 8, 2}),
                   fixture::Numeric("W", {5, 8, 2})};
    f.variables[1].missing.discrete = {9};
    f.weightVariable = 6;
    uint32_t seed = 12345;
    const auto next = [&](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int i = 0; i < 160; ++i) {
        const double r = 1 + next(3), c = next(23) == 0 ? 9 : 1 + next(4), l = 1 + next(2);
        const double a = 1 + next(2), b = 1 + (i / 3 + (next(5) == 0 ? 1 : 0)) % 2;
        const double y = next(17) == 0 ? fixture::kSysmis : 10 * r + c + 0.25 * next(40);
        const double w = 0.25 + 0.25 * next(10);  // weights below and above 1
        f.cases.push_back({r, c, l, a, b, y, w});
    }
    return fixture::WriteFile(f, fixture::TempDir() + "/crosstab_pspp.sav");
}

json Dump(const std::vector<std::string>& args) {
    const DumpResult r = RunDump(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
}

// The figures of a "Chi-Square Tests" and "Symmetric Measures" table,
// wherever the test's name is in the row (layered tables lead with the
// layer's value), against one table of ours each time the name comes.
void CompareTests(const std::vector<std::vector<std::string>>& rows,
                  const std::vector<const json*>& ours, const std::string& what) {
    std::map<std::string, size_t> seen;
    for (const auto& row : rows)
        for (size_t k = 0; k < row.size(); ++k) {
            static const std::map<std::string, std::string> keys = {
                {"Pearson Chi-Square", "pearson_chi_square"},
                {"Likelihood Ratio", "likelihood_ratio"},
                {"Linear-by-Linear Association", "linear_by_linear"}};
            const std::string& name = row[k];
            const size_t t = seen[name]++;
            if (t >= ours.size()) continue;
            const json& table = *ours[t];
            const std::string at = what + " " + name + " #" + std::to_string(t);
            if (keys.count(name) && row.size() > k + 3) {
                const json& test = table["tests"][keys.at(name)];
                Same(at + " value", test["value"], row[k + 1]);
                Same(at + " df", test["df"], row[k + 2]);
                Same(at + " p", test["p"], row[k + 3]);
            } else if (name == "Fisher's Exact Test" && row.size() > k + 5) {
                Same(at + " two-sided", table["fisher_exact"]["p_two_sided"], row[k + 4]);
                Same(at + " one-sided", table["fisher_exact"]["p_one_sided"], row[k + 5]);
            } else if (name == "Phi" || name == "Cramer's V") {
                Same(at, table["measures"][name == "Phi" ? "phi" : "cramers_v"], row.back());
            }
        }
    EXPECT_EQ(seen["Pearson Chi-Square"], ours.size()) << what;
}

TEST(CrosstabMeansPspp, TestsMeasuresAndMeansEqualPsppsAtItsPrecision) {
    if (std::system("command -v pspp >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pspp is not installed (tools/ensure-packages --test)";
    const std::string path = SurveyFile();
    const std::string dir = fixture::TempDir(), output = dir + "/crosstab_pspp.csv";
    {
        std::ofstream sps(dir + "/crosstab_pspp.sps");
        sps << "GET FILE='" << path << "'.\n"
            << "ECHO 'MARK X'.\nCROSSTABS /TABLES=R BY C /STATISTICS=CHISQ PHI"
            << " /CELLS=COUNT EXPECTED ASRESID.\n"
            << "ECHO 'MARK F'.\nCROSSTABS /TABLES=A BY B /STATISTICS=CHISQ PHI.\n"
            << "ECHO 'MARK L'.\nCROSSTABS /TABLES=R BY C BY L /STATISTICS=CHISQ PHI.\n"
            << "ECHO 'MARK M'.\nMEANS TABLES=Y BY R BY C /CELLS=MEAN COUNT STDDEV RANGE"
            << " SKEW SESKEW KURT SEKURT.\n"
            // PSPP's MEANS has no median: EXAMINE's, by each factor alone and
            // both, of the cases MEANS keeps (EXAMINE keeps C's missing by R).
            << "ECHO 'MARK E'.\nTEMPORARY.\nSELECT IF NOT MISSING(C).\nEXAMINE Y BY R C R BY C "
               "/PERCENTILES(50) HAVERAGE"
            << " /STATISTICS=NONE.\n"
            << "WEIGHT OFF.\n"
            << "ECHO 'MARK U'.\nCROSSTABS /TABLES=R BY C /STATISTICS=CHISQ PHI.\n";
    }
    const std::string run =
        "pspp -O format=csv -o '" + output + "' '" + dir + "/crosstab_pspp.sps' >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    auto pspp = Sections(output);

    const json x = Dump({"crosstab", path, "R", "C", "--json", "--expected", "--residuals"});
    CompareTests(pspp["X"], {&x}, "3 x 4");
    // The cells' expected counts and adjusted residuals, row by row.
    size_t expectedRow = 0, residualRow = 0;
    for (const auto& row : pspp["X"]) {
        if (row.size() < 7 || (row[2] != "Expected" && row[2] != "Adjusted Residual")) continue;
        const bool expected = row[2] == "Expected";
        size_t& r = expected ? expectedRow : residualRow;
        if (r >= 3) continue;  // the total row's figures
        for (size_t c = 0; c < 4; ++c)
            Same("cell " + std::to_string(r) + "," + std::to_string(c),
                 x[expected ? "expected" : "adjusted_residuals"][r][c], row[3 + c]);
        ++r;
    }
    EXPECT_EQ(expectedRow, 3u);
    EXPECT_EQ(residualRow, 3u);

    const json f = Dump({"crosstab", path, "A", "B", "--json"});
    ASSERT_TRUE(f.contains("fisher_exact"));
    CompareTests(pspp["F"], {&f}, "2 x 2");

    const json l = Dump({"crosstab", path, "R", "C", "--layer", "L", "--json"});
    ASSERT_EQ(l["layers"].size(), 2u);
    CompareTests(pspp["L"], {&l["layers"][0], &l["layers"][1]}, "layered");

    const json u = Dump({"crosstab", path, "R", "C", "--json", "--unweighted"});
    CompareTests(pspp["U"], {&u}, "unweighted");

    // MEANS: the group's values lead the row ("Total" for a subtotal), the
    // first left empty under its first group.
    const json m = Dump({"means", path, "Y", "--by", "R,C", "--json"});
    std::vector<json> entries(m["groups"].begin(), m["groups"].end());
    entries.insert(entries.end(), m["subtotals"].begin(), m["subtotals"].end());
    entries.push_back(m["total"]);
    const auto value = [](const std::string& text) {
        return text == "Total" ? json() : json(std::stod(text));
    };
    std::string first;
    size_t compared = 0;
    bool report = false;  // past the heading of the table "Report"
    for (const auto& row : pspp["M"]) {
        if (row.size() >= 5 && row[2] == "Mean") report = true;
        if (!report || row.size() < 5 || row[2] == "Mean") continue;
        if (!row[0].empty()) first = row[0];
        const json values = json::array({value(first), value(row[1])});
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const json& e) { return e["values"] == values; });
        ASSERT_NE(it, entries.end()) << "no group " << values.dump();
        Same("mean " + values.dump(), (*it)["mean"], row[2]);
        Same("N " + values.dump(), (*it)["n"], row[3]);
        Same("sd " + values.dump(), (*it)["sd"], row[4]);
        // Undefined figures: PSPP prints "." for some, infinity or NaN for
        // the standard errors of two cases; ours are null.
        const char* keys[] = {"range", "skewness", "se_skewness", "kurtosis", "se_kurtosis"};
        ASSERT_EQ(row.size(), 10u);
        for (size_t k = 0; k < 5; ++k) {
            const std::string what = std::string(keys[k]) + " " + values.dump(), &p = row[5 + k];
            if (p.find_first_of("0123456789") == std::string::npos)
                EXPECT_TRUE((*it)[keys[k]].is_null()) << what << " (PSPP printed '" << p << "')";
            else
                Same(what, (*it)[keys[k]], p);
        }
        ++compared;
    }
    EXPECT_EQ(compared, entries.size());

    // EXAMINE's medians: the factors' values lead the row, a value left
    // empty under the one above; tables of the total, by R, by C, by both.
    size_t medians = 0, table = 0;
    std::string carried[2];
    for (const auto& row : pspp["E"]) {
        if (row[0] == "Table: Percentiles") ++table;
        const auto at = std::find(row.begin(), row.end(), "Weighted Average");
        if (at == row.end() || at + 1 == row.end()) continue;
        const size_t k = size_t(at - row.begin());
        for (size_t i = 1; i < k; ++i)
            if (!row[i].empty()) carried[i - 1] = row[i];
        json values = json::array({nullptr, nullptr});
        if (k == 2) values[table == 2 ? 0 : 1] = std::stod(carried[0]);
        if (k == 3) values = json::array({std::stod(carried[0]), std::stod(carried[1])});
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const json& e) { return e["values"] == values; });
        ASSERT_NE(it, entries.end()) << "no group " << values.dump();
        Same("median " + values.dump(), (*it)["median"], *(at + 1));
        ++medians;
    }
    EXPECT_EQ(medians, entries.size());
    EXPECT_EQ(m["medians_lost"], 0);
}

}  // namespace
