// The order figures beyond a table's cap: describe with a small cap, and the
// further passes with a buffer of a few dozen values, give the median,
// percentiles, modes, distinct count and moments of the whole table; asked
// percentiles are read as written; figures with nothing to describe are
// NaN, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/means.h"
#include "core/stats/order_pass.h"
#include "core/stats/percentile.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::kSysmis;

// 5,000 cases of about 3,000 distinct values, most of them twice, with
// system-missing values, a user-missing range and weights of 0.25 to 1.75.
std::string ManyValues(const std::string& dir) {
    fixture::File f;
    f.variables = {fixture::Numeric("X"), fixture::Numeric("W")};
    f.variables[0].missing.range = std::pair{500.0, 520.0};
    f.weightVariable = 1;
    for (int i = 0; i < 5000; ++i)
        f.cases.push_back({i % 97 == 0 ? kSysmis : double(i * 7919 % 3001) / 4 + (i % 5 == 0),
                           0.25 + 0.5 * (i % 4)});
    return fixture::WriteFile(f, dir + "/many.sav");
}

class TallyOne : public lv::CaseVisitor {
  public:
    explicit TallyOne(lv::ValueTally& t) : tally(t) {}
    void Case(std::span<const lv::PassValue> values, double weight) override {
        tally.Add(values[0], weight);
    }
    lv::ValueTally& tally;
};

void ExpectSame(const lv::Descriptives& whole, const lv::Descriptives& beyond) {
    EXPECT_DOUBLE_EQ(beyond.quartile1, whole.quartile1);
    EXPECT_DOUBLE_EQ(beyond.median, whole.median);
    EXPECT_DOUBLE_EQ(beyond.quartile3, whole.quartile3);
    ASSERT_EQ(beyond.percentiles.size(), whole.percentiles.size());
    for (size_t i = 0; i < whole.percentiles.size(); ++i)
        EXPECT_DOUBLE_EQ(beyond.percentiles[i].value, whole.percentiles[i].value);
    EXPECT_EQ(beyond.modes, whole.modes);
    EXPECT_EQ(beyond.modeCount, whole.modeCount);
    EXPECT_DOUBLE_EQ(beyond.modeAmount.weight, whole.modeAmount.weight);
    EXPECT_NEAR(beyond.variance, whole.variance, 1e-9 * whole.variance);
    EXPECT_NEAR(beyond.skewness, whole.skewness, 1e-9);
    EXPECT_NEAR(beyond.kurtosis, whole.kurtosis, 1e-9);
}

TEST(StatsOrder, ExactBeyondTheCapAsInTheWholeTable) {
    const std::string dir = fixture::TempDir();
    lv::FileDictionary dict;
    ASSERT_EQ(lv::ReadFileDictionary(ManyValues(dir), &dict), 0);
    std::vector<lv::AskedPercentile> asked;
    ASSERT_TRUE(lv::ParsePercentiles("5,2.5,95", asked));
    for (const bool weighted : {false, true}) {
        const lv::FrequencyResult whole = lv::RunFrequencies(
            dict, {0}, weighted, nullptr, lv::ValueTally::kDefaultKept, nullptr, nullptr, asked);
        ASSERT_EQ(whole.pass.outcome, lv::PassOutcome::Complete);
        const lv::FrequencyTable& t = whole.tables[0];
        ASSERT_TRUE(t.distinctExact);
        ASSERT_GT(t.distinct, 2000u);
        ASSERT_GT(t.stats.modeCount, 1u);  // ties

        const lv::DescribeResult capped =
            lv::RunDescribe(dict, {0}, weighted, nullptr, 100, nullptr, nullptr, asked);
        ASSERT_EQ(capped.rows.size(), 1u);
        const lv::DescribeRow& row = capped.rows[0];
        EXPECT_TRUE(row.distinctExact);
        EXPECT_EQ(row.distinct, t.distinct);
        EXPECT_EQ(row.modeNumber, t.stats.modes.front());
        ExpectSame(t.stats, row.stats);

        // A buffer of 64 values: about a hundred windows, each its own pass.
        lv::ValueTally tally(lv::MakeStatsVariable(dict, 0), 100);
        TallyOne visitor(tally);
        ASSERT_EQ(lv::ReadCasesOnce(dict, {0}, weighted, visitor).outcome,
                  lv::PassOutcome::Complete);
        std::vector<lv::ValueTally> tallies = {tally};
        const lv::OrderPassResult order =
            lv::CompleteOrder(dict, {0}, tallies, weighted, lv::PercentilePoints(asked), nullptr,
                              nullptr, nullptr, 0);
        ASSERT_EQ(order.pass.outcome, lv::PassOutcome::Complete);
        ASSERT_TRUE(order.beyond[0].has_value());
        EXPECT_EQ(order.beyond[0]->distinct, t.distinct);
        ExpectSame(t.stats, lv::MakeDescriptives(tally, asked, &*order.beyond[0]));
    }
    std::filesystem::remove_all(dir);
}

// Means by group under a small bound of values held: a median is either
// the one of the unbounded run or empty and counted, never a wrong one; a
// group whose upper values were given up keeps a median that lies low.
TEST(StatsOrder, MeansMediansExactOrEmptyUnderTheBound) {
    const std::string dir = fixture::TempDir();
    fixture::File f;
    f.variables = {fixture::Numeric("X"), fixture::Numeric("G"), fixture::Numeric("W")};
    f.weightVariable = 2;
    for (int i = 0; i < 4000; ++i) {
        const double g = i % 3;
        // Group 0: most weight on five small values, a long tail above.
        const double x = g == 0 && i % 10 < 8 ? i % 5 : double(i * 7919 % 3001) / 4;
        f.cases.push_back({x, g, 0.25 + 0.5 * (i % 4)});
    }
    lv::FileDictionary dict;
    ASSERT_EQ(lv::ReadFileDictionary(fixture::WriteFile(f, dir + "/groups.sav"), &dict), 0);
    const lv::MeansResult whole = lv::RunMeans(dict, 0, {1}, true);
    ASSERT_EQ(whole.pass.outcome, lv::PassOutcome::Complete);
    EXPECT_EQ(whole.table.mediansLost, 0u);

    const lv::MeansResult bounded =
        lv::RunMeans(dict, 0, {1}, true, nullptr, lv::kMeansMaxGroups, nullptr, nullptr, 1000);
    const lv::Means& m = bounded.table;
    ASSERT_EQ(m.groups.size(), 3u);
    size_t empty = std::isnan(m.total.figures.median);
    for (size_t g = 0; g < 3; ++g) {
        const lv::MeansFigures &a = m.groups[g].figures, &b = whole.table.groups[g].figures;
        if (std::isnan(a.median))
            ++empty;
        else
            EXPECT_DOUBLE_EQ(a.median, b.median) << g;
        EXPECT_NEAR(a.mean, b.mean, 1e-9);
        EXPECT_NEAR(a.skewness, b.skewness, 1e-9);
        EXPECT_NEAR(a.kurtosis, b.kurtosis, 1e-9);
    }
    EXPECT_EQ(m.mediansLost, empty);
    EXPECT_GE(empty, 2u);
    EXPECT_FALSE(std::isnan(m.groups[0].figures.median));
    std::filesystem::remove_all(dir);
}

TEST(StatsOrder, PercentilesAsWritten) {
    std::vector<lv::AskedPercentile> asked;
    ASSERT_TRUE(lv::ParsePercentiles(" 5, 2.5 ,100,0,5", asked));
    ASSERT_EQ(asked.size(), 4u);  // the second 5 once
    EXPECT_EQ(asked[1].text, "2.5");
    EXPECT_DOUBLE_EQ(asked[1].percent, 2.5);
    EXPECT_TRUE(lv::ParsePercentiles("", asked));
    EXPECT_TRUE(asked.empty());
    asked.push_back({});
    for (const char* wrong : {"-5", "101", "5,,6", "5,", "a", "1e2", "1.2.3", ".", "nan"})
        EXPECT_FALSE(lv::ParsePercentiles(wrong, asked)) << wrong;
    EXPECT_EQ(asked.size(), 1u);  // untouched
}

TEST(StatsOrder, NothingToDescribeIsNaN) {
    fixture::File f;
    f.variables = {fixture::Numeric("NONE"), fixture::Numeric("ONE"), fixture::Numeric("CONST")};
    for (int i = 0; i < 5; ++i) f.cases.push_back({kSysmis, i == 0 ? 3.0 : kSysmis, 7.0});
    const std::string dir = fixture::TempDir();
    for (const bool empty : {false, true}) {
        if (empty) f.cases.clear();
        lv::FileDictionary dict;
        ASSERT_EQ(lv::ReadFileDictionary(fixture::WriteFile(f, dir + "/n.sav"), &dict), 0);
        std::vector<lv::AskedPercentile> asked;
        lv::ParsePercentiles("50", asked);
        const lv::FrequencyResult r = lv::RunFrequencies(
            dict, {0, 1, 2}, true, nullptr, lv::ValueTally::kDefaultKept, nullptr, nullptr, asked);
        ASSERT_EQ(r.tables.size(), 3u);
        const lv::Descriptives& none = r.tables[0].stats;
        for (double x : {none.mean, none.variance, none.skewness, none.sum, none.range,
                         none.percentiles[0].value})
            EXPECT_TRUE(std::isnan(x));
        EXPECT_TRUE(none.modes.empty());
        if (empty) continue;
        const lv::Descriptives& one = r.tables[1].stats;
        EXPECT_EQ(one.sum, 3);
        EXPECT_TRUE(std::isnan(one.variance) && std::isnan(one.seSkewness));
        const lv::Descriptives& constant = r.tables[2].stats;
        EXPECT_EQ(constant.variance, 0);
        EXPECT_TRUE(std::isnan(constant.skewness) && std::isnan(constant.kurtosis));
        EXPECT_EQ(constant.modeCount, 1u);
        EXPECT_EQ(constant.percentiles[0].value, 7);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
