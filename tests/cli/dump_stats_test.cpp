// lorivane-dump freq, describe, crosstab and means: the JSON keys programs read,
// the switch to unweighted counts, and clear refusals.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/cli/dump_support.h"
#include "tests/support/savfixture.h"

namespace {

std::string SurveyFile() {
    fixture::File f;
    f.variables = {fixture::Numeric("Q", {5, 3, 0}), fixture::String("S", 3),
                   fixture::Numeric("W", {5, 8, 2})};
    f.variables[0].missing.discrete = {9};
    f.weightVariable = 2;
    f.valueLabels = {{{0}, {{1, "はい"}, {2, "いいえ"}}, {}}};
    f.cases = {{1.0, std::string("a"), 2.0},
               {2.0, std::string("b"), 1.0},
               {9.0, std::string("a"), 1.0},
               {fixture::kSysmis, std::string("b"), 1.0},
               {2.0, std::string("a"), 0.0}};
    return fixture::WriteFile(f, fixture::TempDir() + "/stats.sav");
}

TEST(DumpStats, FreqJsonHoldsTheDocumentedKeys) {
    const std::string path = SurveyFile();
    const DumpResult r = RunDump({"freq", path, "Q", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["variable"], "Q");
    EXPECT_EQ(j["weighted"], true);
    EXPECT_EQ(j["valid"], 3);  // 2 + 1; the case of weight 0 left out
    EXPECT_EQ(j["missing"], 2);
    EXPECT_EQ(j["total"], 5);
    const auto& rows = j["rows"];
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0]["value"], 1);
    EXPECT_EQ(rows[0]["label"], "はい");
    EXPECT_TRUE(rows[0]["missing"].is_null());
    EXPECT_EQ(rows[0]["count"], 2);
    EXPECT_EQ(rows[2]["missing"], "user");
    EXPECT_TRUE(rows[2]["valid_percent"].is_null());
    EXPECT_TRUE(rows[3]["value"].is_null());
    EXPECT_EQ(rows[3]["missing"], "system");
    EXPECT_DOUBLE_EQ(rows[1]["cumulative_percent"].get<double>(), 100.0);

    const auto unweighted =
        nlohmann::json::parse(RunDump({"freq", path, "Q", "S", "--json", "--unweighted"}).out);
    ASSERT_TRUE(unweighted.is_array());
    EXPECT_EQ(unweighted[0]["weighted"], false);
    EXPECT_EQ(unweighted[0]["total"], 5);
    EXPECT_EQ(unweighted[1]["rows"][0]["value"], "a");
}

TEST(DumpStats, TimesAndTinyFiguresReadAsShown) {
    fixture::File f;
    f.variables = {fixture::Numeric("T", {21, 8, 0}), fixture::Numeric("E", {17, 12, 4})};
    f.cases = {{3600.0, 1e-12}, {7200.0, 2e-12}, {3600.0, 4e-12}, {7200.0, 1e300}};
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/times.sav");
    const auto j = nlohmann::json::parse(RunDump({"describe", path, "--json"}).out);
    const auto& time = j["variables"][0];
    EXPECT_EQ(time["mean"], 5400);
    EXPECT_EQ(time["text"]["mean"], "01:30:00");
    EXPECT_EQ(time["text"]["sd"], "00:34:38.46");
    EXPECT_FALSE(j["variables"][1].contains("text"));
    const DumpResult freq = RunDump({"freq", path, "E"});
    ASSERT_EQ(freq.status, 0) << freq.err;
    EXPECT_EQ(freq.out.find("0.000000"), std::string::npos) << freq.out;
    EXPECT_NE(freq.out.find("Minimum          1.0000E-012"), std::string::npos) << freq.out;
}

TEST(DumpStats, CountColumnsKeepOneFormAndNothingHasNoPercent) {
    fixture::File f;
    f.variables = {fixture::Numeric("X", {5, 8, 0}), fixture::Numeric("W", {5, 8, 2})};
    f.weightVariable = 1;
    f.cases = {{1.0, 1.0}, {2.0, 0.8}};
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/fractions.sav");
    const std::string freq = RunDump({"freq", path, "X"}).out;
    EXPECT_NE(freq.find("1.00     55.6"), std::string::npos) << freq;
    EXPECT_NE(RunDump({"describe", path}).out.find(" 1.80 "), std::string::npos);
    f.cases.clear();
    const std::string none =
        RunDump({"freq", fixture::WriteFile(f, fixture::TempDir() + "/none.sav"), "X"}).out;
    EXPECT_EQ(none.find("100.0"), std::string::npos) << none;
}

TEST(DumpStats, WhereCountsTheSelectedCasesOnly) {
    const std::string path = SurveyFile();
    // S = "a" selects cases 1, 3 and 5; case 5 has weight 0.
    const DumpResult r =
        RunDump({"freq", path, "Q", "--json", "--unweighted", "--where", "S = 'a'"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["total"], 3);
    EXPECT_EQ(j["valid"], 2);
    EXPECT_EQ(j["missing"], 1);
    const auto d = nlohmann::json::parse(
        RunDump({"describe", path, "--json", "--unweighted", "--where", "Q < 9"}).out);
    EXPECT_EQ(d["variables"][0]["valid"], 3);
    const DumpResult bad = RunDump({"crosstab", path, "Q", "S", "--where", "Q <"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--where"), std::string::npos) << bad.err;
}

TEST(DumpStats, DescribeAndCrosstab) {
    const std::string path = SurveyFile();
    const DumpResult d = RunDump({"describe", path, "--json", "--unweighted"});
    ASSERT_EQ(d.status, 0) << d.err;
    const auto j = nlohmann::json::parse(d.out);
    ASSERT_EQ(j["variables"].size(), 3u);
    const auto& q = j["variables"][0];
    for (const char* key :
         {"name", "long_name", "valid", "missing", "mean", "sd", "min", "max", "median"})
        EXPECT_TRUE(q.contains(key)) << key;
    EXPECT_EQ(q["valid"], 3);
    EXPECT_DOUBLE_EQ(q["mean"].get<double>(), 5.0 / 3);
    EXPECT_TRUE(j["variables"][1]["mean"].is_null());
    const DumpResult csv = RunDump({"describe", path, "--csv", "--vars", "S"});
    EXPECT_EQ(csv.out.substr(0, 5), "name,");
    EXPECT_NE(csv.out.find("\r\nS,S,"), std::string::npos);

    const DumpResult x = RunDump({"crosstab", path, "Q", "S", "--json", "--percent", "row"});
    ASSERT_EQ(x.status, 0) << x.err;
    const auto t = nlohmann::json::parse(x.out);
    EXPECT_EQ(t["counts"], nlohmann::json::parse("[[2, 0], [0, 1]]"));
    EXPECT_EQ(t["percents"]["row"][0][0], 100);
    const DumpResult text = RunDump({"crosstab", path, "Q", "S", "--percent", "row,col,total"});
    EXPECT_NE(text.out.find("Row %"), std::string::npos);
    // The total row has its percentages too: 2 of 3 in column a.
    const size_t total = text.out.find("\nTotal");
    ASSERT_NE(total, std::string::npos) << text.out;
    EXPECT_NE(text.out.find("66.7%", total), std::string::npos) << text.out;
    // A 2 x 2 table: its tests and Fisher's exact test.
    EXPECT_TRUE(t["tests"]["pearson_chi_square"]["p"].is_number());
    EXPECT_TRUE(t.contains("fisher_exact"));
}

TEST(DumpStats, MeansByGroupWithItsTotal) {
    const std::string path = SurveyFile();
    const DumpResult r = RunDump({"means", path, "Q", "--by", "S", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["groups"].size(), 2u);  // a (weight 2, Q 1), b (weight 1, Q 2); 9 is missing
    EXPECT_EQ(j["groups"][0]["values"], nlohmann::json::parse(R"(["a"])"));
    EXPECT_EQ(j["groups"][0]["n"], 2);
    EXPECT_EQ(j["groups"][1]["mean"], 2);
    EXPECT_DOUBLE_EQ(j["total"]["mean"].get<double>(), 4.0 / 3);
    EXPECT_DOUBLE_EQ(j["total"]["variance"].get<double>(), (2 * 1.0 / 9 + 4.0 / 9) / 2);
    EXPECT_TRUE(j["total"]["values"][0].is_null());
    EXPECT_EQ(j["total"]["median"], 1);  // 1 (weight 2), 2 (weight 1)
    const auto computed =
        nlohmann::json::parse(RunDump({"means", path, "D", "--by", "S", "--json", "--compute",
                                       "D=Q*10", "--compute-label", "D=Ten times"})
                                  .out);
    EXPECT_EQ(computed["groups"][1]["mean"], 20);
    EXPECT_EQ(computed["variable"]["label"], "Ten times");
    EXPECT_EQ(RunDump({"means", path, "Q"}).status, 2);               // no --by
    EXPECT_EQ(RunDump({"means", path, "S", "--by", "Q"}).status, 1);  // a string variable
    EXPECT_EQ(RunDump({"means", path, "Q", "--by", "S,Q,W"}).status, 2);
}

TEST(DumpStats, StatisticsHoldEveryFigureAndTheAskedPercentiles) {
    const std::string path = SurveyFile();
    const auto freq = nlohmann::json::parse(
        RunDump({"freq", path, "Q", "--json", "--unweighted", "--percentiles", "5,50"}).out);
    const auto described = nlohmann::json::parse(
        RunDump({"describe", path, "--json", "--unweighted", "--percentiles", "5,50"}).out);
    for (const auto* s : {&freq["statistics"], &described["variables"][0]["statistics"]}) {
        for (const char* key : {"mode", "mode_count", "modes", "se_mean", "variance", "skewness",
                                "se_skewness", "kurtosis", "se_kurtosis", "range", "sum"})
            EXPECT_TRUE(s->contains(key)) << key;
        // Q: 1 2 2 (9 user-missing): 2 is the mode, the sum 5.
        EXPECT_EQ((*s)["mode"], 2);
        EXPECT_EQ((*s)["sum"], 5);
        EXPECT_EQ((*s)["percentiles"], nlohmann::json::parse(R"({"5": 1, "50": 2})"));
    }
    EXPECT_EQ(described["variables"][1]["statistics"]["mode"], "a");
    const DumpResult csv = RunDump({"describe", path, "--csv", "--percentiles", "2.5"});
    EXPECT_NE(csv.out.find(",q1,q3,p2.5\r\n"), std::string::npos) << csv.out;
    const DumpResult bad = RunDump({"freq", path, "Q", "--percentiles", "5,101"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--percentiles"), std::string::npos) << bad.err;
}

TEST(DumpStats, RefusesUnknownNamesAndBadOptions) {
    const std::string path = SurveyFile();
    const DumpResult r = RunDump({"freq", path, "NOPE"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no variable named 'NOPE'"), std::string::npos);
    EXPECT_EQ(RunDump({"crosstab", path, "Q"}).status, 2);
    EXPECT_EQ(RunDump({"crosstab", path, "Q", "S", "--percent", "rows"}).status, 2);
    EXPECT_EQ(RunDump({"describe", path, "--csv", "--json"}).status, 2);
}

}  // namespace
