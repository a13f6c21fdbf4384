// The statistics engine: percentiles, exact sums, bounded tallies, and the
// frequency, describe and crosstab tables of a file with labels, missing
// values and weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/selection/file_selection.h"
#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/histogram.h"
#include "core/stats/percentile.h"
#include "core/stats/value_tally.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::kSysmis;

TEST(StatsPercentile, WeightedAverageAtWPlusOneP) {
    const std::vector<lv::WeightedValue> values = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {10, 1}};
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(values, 0.25), 1.5);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(values, 0.5), 3);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(values, 0.75), 7);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(values, 0.1), 1);  // below the first rank
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(values, 0.95), 10);
    // A weight of 2 counts as the value twice: 1 1 2 3 → median at rank 2.5.
    const std::vector<lv::WeightedValue> weighted = {{1, 2}, {2, 1}, {3, 1}};
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(weighted, 0.5), 1.5);
    EXPECT_TRUE(std::isnan(lv::WeightedAveragePercentile({}, 0.5)));
}

TEST(StatsPercentile, TotalWeightBelowOneAsPsppExamine) {
    // PSPP 1.6 EXAMINE /PERCENTILES HAVERAGE: 6.33, 9.00, 9.00. Below the
    // first rank (p = 0.05) PSPP interpolates from zero (2.00); the smallest
    // value is the definition's answer.
    const std::vector<lv::WeightedValue> light = {{5, 0.2}, {7, 0.3}, {9, 0.1}};
    EXPECT_NEAR(lv::WeightedAveragePercentile(light, 0.25), 6.0 + 1.0 / 3, 1e-12);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(light, 0.5), 9);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(light, 0.75), 9);
    EXPECT_DOUBLE_EQ(lv::WeightedAveragePercentile(light, 0.05), 5);
}

lv::FileDictionary OneNumeric(lv::DictVariable& v) {
    lv::FileDictionary d;
    v.name = "X";
    v.print = {5, 8, 2};
    d.variables.push_back(v);
    return d;
}

TEST(StatsTally, LargeValuesKeepTheirDigits) {
    lv::DictVariable v;
    const lv::FileDictionary d = OneNumeric(v);
    lv::ValueTally tally(lv::MakeStatsVariable(d, 0));
    // 3 M values around 1e9: the mean is 1e9 + 2 and the variance 2/3 * n/(n-1).
    const int n = 3'000'000;
    for (int i = 0; i < n; ++i) tally.Add({false, 1e9 + 1 + i % 3, {}}, 1);
    EXPECT_DOUBLE_EQ(tally.Mean(), 1e9 + 2);
    EXPECT_NEAR(tally.Variance(), 2.0 / 3.0 * n / (n - 1), 1e-12);
    EXPECT_EQ(tally.distinctCount(), 3u);
}

TEST(StatsTally, BoundedTableKeepsTheSmallestValuesAndCountsTheRest) {
    lv::DictVariable v;
    const lv::FileDictionary d = OneNumeric(v);
    lv::ValueTally tally(lv::MakeStatsVariable(d, 0), 8);
    for (int i = 100; i >= 1; --i) tally.Add({false, double(i), {}}, 1);
    EXPECT_FALSE(tally.complete());
    const std::vector<lv::TallyEntry> held = tally.Entries();
    ASSERT_FALSE(held.empty());
    for (size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i].number, double(i + 1));
    EXPECT_EQ(tally.restValid().cases + int64_t(held.size()), 100);
    // Moments and extremes do not depend on the table.
    EXPECT_DOUBLE_EQ(tally.Mean(), 50.5);
    EXPECT_EQ(tally.minimum(), 1);
    EXPECT_EQ(tally.maximum(), 100);
    const lv::FrequencyTable t = lv::MakeFrequencyTable(tally, false, 3);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[3].kind, lv::FrequencyRow::Kind::More);
    EXPECT_FALSE(t.rows[3].moreExact);
    EXPECT_EQ(t.rows[3].amount.cases, 97);
    EXPECT_DOUBLE_EQ(t.rows[3].cumulativePercent, 100);
    EXPECT_TRUE(std::isnan(t.stats.median));
}

TEST(StatsTally, HistogramCountsEveryValueNotTheShownRows) {
    lv::DictVariable v;
    const lv::FileDictionary d = OneNumeric(v);
    lv::ValueTally tally(lv::MakeStatsVariable(d, 0));
    for (int i = 0; i < 1000; ++i) tally.Add({false, double(i), {}}, i < 500 ? 1.0 : 0.5);
    // Only 10 rows shown; 1000 cases make 11 bins from 0 to 999.
    const lv::FrequencyTable t = lv::MakeFrequencyTable(tally, true, 10);
    const lv::Histogram& h = t.histogram;
    ASSERT_EQ(h.bins.size(), 11u);
    EXPECT_TRUE(h.exact);
    double sum = 0;
    for (const lv::HistogramBin& b : h.bins) sum += b.weight;
    EXPECT_DOUBLE_EQ(sum, 750);
    EXPECT_DOUBLE_EQ(h.bins.back().weight, 0.5 * (999 - std::ceil(10 * 999.0 / 11) + 1));
    // Beyond the held values the rest is shared out and said to be so.
    lv::ValueTally bounded(lv::MakeStatsVariable(d, 0), 8);
    for (int i = 1; i <= 100; ++i) bounded.Add({false, double(i), {}}, 1);
    const lv::Histogram shared = lv::MakeHistogram(bounded);
    EXPECT_FALSE(shared.exact);
    sum = 0;
    for (const lv::HistogramBin& b : shared.bins) sum += b.weight;
    EXPECT_NEAR(sum, 100, 1e-9);
}

// Q (labelled 1..3, 9 user-missing), S (string with "x" missing), W weight.
fixture::File Survey() {
    fixture::File f;
    f.variables = {fixture::Numeric("Q", {5, 3, 0}), fixture::String("S", 4),
                   fixture::Numeric("W", {5, 8, 2})};
    f.variables[0].missing.discrete = {9};
    f.variables[0].label = std::string("Question");
    f.variables[1].missing.strings = {"x"};
    f.weightVariable = 2;
    f.valueLabels = {{{0}, {{1, "yes"}, {2, "no"}, {9, "refused"}}, {}}};
    f.cases = {
        {1.0, std::string("a"), 2.0},     {1.0, std::string("b"), 1.0},
        {2.0, std::string("a"), 1.5},     {9.0, std::string("x"), 1.0},
        {kSysmis, std::string("b"), 1.0}, {3.0, std::string("a"), 0.0},      // weight 0: left out
        {3.0, std::string("a"), -1.0},    {2.0, std::string("c"), kSysmis},  // left out
    };
    return f;
}

class StatsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = fixture::WriteFile(Survey(), fixture::TempDir() + "/survey.sav");
        ASSERT_EQ(lv::ReadFileDictionary(path_, &dict_), 0);
    }
    std::string path_;
    lv::FileDictionary dict_;
};

TEST_F(StatsFile, WeightedFrequenciesListValidThenMissing) {
    const lv::FrequencyResult r = lv::RunFrequencies(dict_, {0}, true);
    ASSERT_EQ(r.pass.outcome, lv::PassOutcome::Complete);
    EXPECT_TRUE(r.pass.weighted);
    EXPECT_EQ(r.pass.casesRead, 8);
    EXPECT_EQ(r.pass.casesWithoutWeight, 3);
    const lv::FrequencyTable& t = r.tables.at(0);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0].number, 1);
    EXPECT_EQ(t.rows[0].label, "yes");
    EXPECT_DOUBLE_EQ(t.rows[0].amount.weight, 3);
    EXPECT_EQ(t.rows[0].amount.cases, 2);
    EXPECT_DOUBLE_EQ(t.rows[1].amount.weight, 1.5);
    EXPECT_EQ(t.rows[2].number, 9);
    EXPECT_EQ(t.rows[2].missing, lv::MissingKind::User);
    EXPECT_TRUE(std::isnan(t.rows[2].validPercent));
    EXPECT_EQ(t.rows[3].kind, lv::FrequencyRow::Kind::SystemMissing);
    // Total 3 + 1.5 + 1 + 1 = 6.5; valid 4.5.
    EXPECT_DOUBLE_EQ(t.total.weight, 6.5);
    EXPECT_DOUBLE_EQ(t.rows[0].percent, 300 / 6.5);
    EXPECT_DOUBLE_EQ(t.rows[0].validPercent, 300 / 4.5);
    EXPECT_DOUBLE_EQ(t.rows[1].cumulativePercent, 100);
    EXPECT_DOUBLE_EQ(t.stats.mean, (1 * 3 + 2 * 1.5) / 4.5);
}

TEST_F(StatsFile, UnweightedCountsEveryCase) {
    const lv::FrequencyResult r = lv::RunFrequencies(dict_, {0, 1}, false);
    ASSERT_EQ(r.pass.outcome, lv::PassOutcome::Complete);
    EXPECT_FALSE(r.pass.weighted);
    EXPECT_EQ(r.tables[0].total.cases, 8);
    EXPECT_DOUBLE_EQ(r.tables[0].valid.weight, 6);
    EXPECT_DOUBLE_EQ(r.tables[0].stats.median, 2);
    const lv::FrequencyTable& s = r.tables[1];
    ASSERT_EQ(s.rows.size(), 4u);  // a b c, then x (missing)
    EXPECT_EQ(s.rows[0].text, "a");
    EXPECT_DOUBLE_EQ(s.rows[0].amount.weight, 4);
    EXPECT_EQ(s.rows[3].text, "x");
    EXPECT_EQ(s.rows[3].missing, lv::MissingKind::User);
}

TEST_F(StatsFile, DescribeAndCrosstab) {
    const lv::DescribeResult d = lv::RunDescribe(dict_, {}, false);
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[0].distinct, 4u);  // 1 2 3 9
    EXPECT_EQ(d.rows[0].systemMissing.cases, 1);
    EXPECT_TRUE(d.rows[0].hasMode);
    EXPECT_EQ(d.rows[0].modeText, "1");  // 1, 2 and 3 twice each: the smallest
    EXPECT_EQ(d.rows[0].modeLabel, "yes");
    EXPECT_EQ(d.rows[1].type, "A4");
    EXPECT_TRUE(std::isnan(d.rows[1].stats.mean));
    EXPECT_EQ(d.rows[1].modeText, "a");

    const lv::CrosstabResult c = lv::RunCrosstab(dict_, 0, 1, true, false);
    ASSERT_EQ(c.pass.outcome, lv::PassOutcome::Complete);
    const lv::Crosstab& t = c.table;
    ASSERT_EQ(t.rows.size(), 2u);     // 1, 2 (9 missing, sysmis, weightless 3s out)
    ASSERT_EQ(t.columns.size(), 2u);  // a, b
    EXPECT_DOUBLE_EQ(t.Cell(0, 0).weight, 2);
    EXPECT_DOUBLE_EQ(t.Cell(0, 1).weight, 1);
    EXPECT_DOUBLE_EQ(t.Cell(1, 0).weight, 1.5);
    EXPECT_DOUBLE_EQ(t.total.weight, 4.5);
    EXPECT_DOUBLE_EQ(t.missing.weight, 2);
    const lv::CrosstabResult with = lv::RunCrosstab(dict_, 0, 1, true, true);
    EXPECT_EQ(with.table.rows.size(), 3u);  // 9 joins, marked missing
    EXPECT_EQ(with.table.rows[2].missing, lv::MissingKind::User);
    const lv::CrosstabResult capped = lv::RunCrosstab(dict_, 0, 1, false, false, nullptr, 1);
    EXPECT_TRUE(capped.table.error);
}

class Cancel : public lv::Progress {
  public:
    bool Step(uint64_t, uint64_t) override { return false; }
};

TEST_F(StatsFile, CancelledPassGivesNoTables) {
    Cancel cancel;
    const lv::FrequencyResult r = lv::RunFrequencies(dict_, {0}, true, &cancel);
    EXPECT_EQ(r.pass.outcome, lv::PassOutcome::Cancelled);
    EXPECT_TRUE(r.tables.empty());
}

}  // namespace

// A command's passes read the open file its dictionary came from, whatever
// the path names since; a pass that opens the path itself refuses a file
// that no longer has the dictionary's variables.
TEST_F(StatsFile, PassesReadTheOpenFileWhateverItsPathNamesSince) {
    lv::ReaderHandle file;
    ASSERT_EQ(file.Open(path_), 0);
    lv::FileDictionary dict;
    ASSERT_EQ(lv::ReadFileDictionary(file, &dict), 0);
    EXPECT_EQ(dict.path, path_);
    EXPECT_TRUE(file.Holds(lv::StampOfDataFile(path_)));
    fixture::File other = Survey();
    other.variables[0].name = "R";
    for (fixture::Case& c : other.cases) c[0] = 3.0;
    const std::string otherPath = std::filesystem::path(path_).parent_path() / "other.sav";
    ASSERT_EQ(rename(fixture::WriteFile(other, otherPath).c_str(), path_.c_str()), 0);
    EXPECT_FALSE(file.Holds(lv::StampOfDataFile(path_)));

    const lv::FileSelection selection = lv::SelectFileCases(file, dict, "Q = 1");
    ASSERT_EQ(selection.status, lv::FileSelection::Status::Ok);
    EXPECT_EQ(selection.cases, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(selection.caseCount, 8);
    const lv::FrequencyResult r = lv::RunFrequencies(
        dict, {0}, true, nullptr, lv::ValueTally::kDefaultKept, &selection.cases, &file);
    ASSERT_EQ(r.pass.outcome, lv::PassOutcome::Complete);
    ASSERT_EQ(r.tables.at(0).rows.size(), 1u);
    EXPECT_EQ(r.tables[0].rows[0].number, 1);
    EXPECT_DOUBLE_EQ(r.tables[0].rows[0].amount.weight, 3);

    const lv::FrequencyResult byPath = lv::RunFrequencies(dict, {0}, true);
    EXPECT_EQ(byPath.pass.outcome, lv::PassOutcome::Failed);
    EXPECT_EQ(byPath.pass.error.code, lv::MessageCode::PassNoVariable);
    EXPECT_EQ(byPath.pass.error.Text(0), "Q");
}
