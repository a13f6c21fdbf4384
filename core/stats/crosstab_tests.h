// The tests of independence and the measures of association of a crosstab,
// as the common statistics packages report them: Pearson's and the
// likelihood-ratio chi-square, the linear-by-linear association (N - 1)
// times the squared correlation of the row and column values, Fisher's
// exact test of a 2 x 2 table, phi and Cramér's V; and, cell by cell, the
// expected count and the adjusted standardized residual. Weighted tables
// use their weights as counts. The tests take the rows and columns that
// hold cases; with fewer than two of either there is nothing to test and
// every figure is NaN.
#pragma once

#include <cstddef>

#include "core/stats/crosstab.h"

namespace lv {

struct ChiSquareTest {
    double value, df, p;
};

struct CrosstabTests {
    ChiSquareTest pearson, likelihoodRatio, linearByLinear;
    // A 2 x 2 table: Fisher's exact test on the counts rounded to whole
    // cases. Two-sided: the tables of the same margins no likelier than
    // this one; one-sided: the tail on the side this table lies.
    bool fisher = false;
    double fisherTwoSided, fisherOneSided;
    double phi, cramersV;
    // The cells whose expected count is below 5 (they make the chi-square
    // doubtful), of cells in all, and the smallest expected count.
    size_t cells = 0, lowExpectedCells = 0;
    double minimumExpected;
};

CrosstabTests TestCrosstab(const Crosstab& t);

// The count a cell would hold were the variables independent.
double ExpectedCount(const Crosstab& t, size_t r, size_t c);
// (observed - expected) over its standard error; NaN where a margin holds
// every case.
double AdjustedResidual(const Crosstab& t, size_t r, size_t c);

}  // namespace lv
