#include "core/stats/crosstab_tests.h"

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/hypergeometric.hpp>
#include <cmath>
#include <limits>
#include <vector>

namespace lv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The upper tail of the chi-square distribution at x.
double ChiSquareP(double x, double df) {
    if (!(df > 0) || !std::isfinite(x)) return kNaN;
    if (x <= 0) return 1;
    return boost::math::cdf(boost::math::complement(boost::math::chi_squared(df), x));
}

// The score of a category in the linear-by-linear association: its value,
// or its place for a string variable.
double Score(const StatsVariable& v, const CrossCategory& c, size_t place) {
    return v.isString() ? static_cast<double>(place + 1) : c.number;
}

void Fisher(const Crosstab& t, CrosstabTests& out) {
    // Counts beyond what the distribution's whole numbers hold get no test.
    if (!(t.total.weight < 2e9)) return;
    const auto whole = [](double w) { return static_cast<unsigned>(std::llround(w)); };
    const unsigned a = whole(t.Cell(0, 0).weight), b = whole(t.Cell(0, 1).weight);
    const unsigned c = whole(t.Cell(1, 0).weight), d = whole(t.Cell(1, 1).weight);
    const unsigned n = a + b + c + d, row = a + b, column = a + c;
    if (n == 0) return;
    // The count of the first cell, given the margins.
    namespace bm = boost::math;
    const bm::hypergeometric_distribution<double> h(row, column, n);
    const unsigned low = row + column > n ? row + column - n : 0;
    const unsigned high = std::min(row, column);
    const unsigned mode = static_cast<unsigned>(std::clamp(
        (double(column) + 1) * (double(row) + 1) / (double(n) + 2), double(low), double(high)));
    // Ties with the observed table within rounding count as no likelier.
    const double observed = bm::pdf(h, a) * (1 + 1e-7);
    const double below = bm::cdf(h, a);                                     // P(X <= a)
    const double above = a == low ? 1 : bm::cdf(bm::complement(h, a - 1));  // P(X >= a)
    // The other side of the mode: the probability is monotone there, so
    // the first count no likelier than a's is found by halving.
    double other = 0;
    if (a <= mode) {
        unsigned lo = std::max(mode, a + 1), hi = high + 1;  // the answer is in [lo, hi]
        while (lo < hi) {
            const unsigned mid = lo + (hi - lo) / 2;
            if (bm::pdf(h, mid) <= observed)
                hi = mid;
            else
                lo = mid + 1;
        }
        if (lo <= high) other = bm::cdf(bm::complement(h, lo - 1));
    } else {
        // The last count at or below the mode no likelier than a's, if any.
        unsigned lo = low, hi = std::min(mode, a - 1) + 1;  // answer + 1 is in [lo, hi]
        while (lo < hi) {
            const unsigned mid = lo + (hi - lo) / 2;
            if (bm::pdf(h, mid) <= observed)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo > low) other = bm::cdf(h, lo - 1);
    }
    out.fisher = true;
    out.fisherTwoSided = std::min(1.0, (a <= mode ? below : above) + other);
    out.fisherOneSided = std::min(1.0, std::min(below, above));
}

}  // namespace

double ExpectedCount(const Crosstab& t, size_t r, size_t c) {
    return t.total.weight > 0 ? t.rowTotals[r].weight * t.columnTotals[c].weight / t.total.weight
                              : kNaN;
}

double AdjustedResidual(const Crosstab& t, size_t r, size_t c) {
    const double n = t.total.weight, e = ExpectedCount(t, r, c);
    const double variance =
        e * (1 - t.rowTotals[r].weight / n) * (1 - t.columnTotals[c].weight / n);
    return variance > 0 ? (t.Cell(r, c).weight - e) / std::sqrt(variance) : kNaN;
}

CrosstabTests TestCrosstab(const Crosstab& t) {
    CrosstabTests out{};
    out.pearson = out.likelihoodRatio = out.linearByLinear = {kNaN, kNaN, kNaN};
    out.fisherTwoSided = out.fisherOneSided = out.phi = out.cramersV = kNaN;
    out.minimumExpected = kNaN;
    std::vector<size_t> rows, columns;  // those holding cases
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.rowTotals[r].weight > 0) rows.push_back(r);
    for (size_t c = 0; c < t.columns.size(); ++c)
        if (t.columnTotals[c].weight > 0) columns.push_back(c);
    const double n = t.total.weight;
    out.cells = rows.size() * columns.size();
    for (size_t r : rows)
        for (size_t c : columns) {
            const double e = ExpectedCount(t, r, c);
            if (e < 5) ++out.lowExpectedCells;
            if (!(e >= out.minimumExpected)) out.minimumExpected = e;
        }
    if (rows.size() < 2 || columns.size() < 2 || !(n > 0)) return out;

    double pearson = 0, ratio = 0;
    for (size_t r : rows)
        for (size_t c : columns) {
            const double o = t.Cell(r, c).weight, e = ExpectedCount(t, r, c);
            pearson += (o - e) * (o - e) / e;
            if (o > 0) ratio += o * std::log(o / e);
        }
    const double df = static_cast<double>((rows.size() - 1) * (columns.size() - 1));
    out.pearson = {pearson, df, ChiSquareP(pearson, df)};
    out.likelihoodRatio = {2 * ratio, df, ChiSquareP(2 * ratio, df)};

    // The correlation of the row and column scores, from deviations about
    // their means.
    double rowMean = 0, columnMean = 0;
    for (size_t r : rows) rowMean += Score(t.rowVariable, t.rows[r], r) * t.rowTotals[r].weight;
    for (size_t c : columns)
        columnMean += Score(t.columnVariable, t.columns[c], c) * t.columnTotals[c].weight;
    rowMean /= n;
    columnMean /= n;
    double sxx = 0, syy = 0, sxy = 0;
    for (size_t r : rows) {
        const double x = Score(t.rowVariable, t.rows[r], r) - rowMean;
        sxx += x * x * t.rowTotals[r].weight;
        for (size_t c : columns)
            sxy +=
                x * (Score(t.columnVariable, t.columns[c], c) - columnMean) * t.Cell(r, c).weight;
    }
    for (size_t c : columns) {
        const double y = Score(t.columnVariable, t.columns[c], c) - columnMean;
        syy += y * y * t.columnTotals[c].weight;
    }
    if (sxx > 0 && syy > 0) {
        const double linear = (n - 1) * sxy * sxy / (sxx * syy);
        out.linearByLinear = {linear, 1, ChiSquareP(linear, 1)};
    }

    out.phi = std::sqrt(pearson / n);
    const double q = static_cast<double>(std::min(rows.size(), columns.size()) - 1);
    out.cramersV = std::sqrt(pearson / (n * q));
    if (t.rows.size() == 2 && t.columns.size() == 2) Fisher(t, out);
    return out;
}

}  // namespace lv
