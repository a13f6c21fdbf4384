// The crosstab's tests on tables written out here, against R's
// fisher.test and chisq.test: Fisher's exact test where the first cell is
// the smallest its margins allow, a large table, and a table with a row
// that holds no case.
#include "core/stats/crosstab_tests.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

lv::Crosstab Table(size_t rows, size_t columns, const std::vector<double>& counts) {
    static const lv::DictVariable numeric;
    lv::Crosstab t;
    t.rowVariable.dict = t.columnVariable.dict = &numeric;
    t.rows.resize(rows);
    t.columns.resize(columns);
    for (size_t i = 0; i < rows; ++i) t.rows[i].number = double(i + 1);
    for (size_t i = 0; i < columns; ++i) t.columns[i].number = double(i + 1);
    t.rowTotals.resize(rows);
    t.columnTotals.resize(columns);
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < columns; ++c) {
            const double w = counts[r * columns + c];
            t.cells.push_back({w, int64_t(w)});
            t.rowTotals[r].weight += w;
            t.columnTotals[c].weight += w;
            t.total.weight += w;
        }
    return t;
}

TEST(CrosstabTests, FisherAtTheEdgeOfItsMarginsAndOnALargeTable) {
    // 1 2 / 3 0: the first cell cannot be below 1.
    lv::CrosstabTests edge = lv::TestCrosstab(Table(2, 2, {1, 2, 3, 0}));
    ASSERT_TRUE(edge.fisher);
    EXPECT_NEAR(edge.fisherTwoSided, 0.4, 1e-12);
    EXPECT_NEAR(edge.fisherOneSided, 0.2, 1e-12);
    EXPECT_NEAR(edge.pearson.value, 3, 1e-12);
    EXPECT_EQ(edge.lowExpectedCells, 4u);
    // 143,200 cases: the tails come from the distribution, not a sum over
    // every table.
    const lv::CrosstabTests large = lv::TestCrosstab(Table(2, 2, {35900, 36800, 35400, 36100}));
    EXPECT_NEAR(large.fisherTwoSided, 0.6242351, 1e-7);
    EXPECT_NEAR(large.fisherOneSided, 0.3133428, 1e-7);
}

TEST(CrosstabTests, RowsWithoutCasesAreLeftOutAndOneRowHasNoTest) {
    // The empty middle row changes neither the degrees of freedom nor the
    // figures: 2 x 3, as R's chisq.test of 10 20 30 / 30 20 10 (20, 2).
    const lv::CrosstabTests t = lv::TestCrosstab(Table(3, 3, {10, 20, 30, 0, 0, 0, 30, 20, 10}));
    EXPECT_NEAR(t.pearson.value, 20, 1e-9);
    EXPECT_EQ(t.pearson.df, 2);
    EXPECT_NEAR(t.pearson.p, std::exp(-10.0), 1e-12);
    EXPECT_FALSE(t.fisher);
    const lv::CrosstabTests one = lv::TestCrosstab(Table(1, 2, {4, 5}));
    EXPECT_TRUE(std::isnan(one.pearson.value));
    EXPECT_TRUE(std::isnan(one.cramersV));
}

}  // namespace
