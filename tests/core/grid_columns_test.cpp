#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "core/gridcolumns.h"

using lv::CellState;
using lv::NumericColumn;
using lv::StringColumn;
using Form = NumericColumn::Form;

namespace {

void ExpectSameValues(const NumericColumn& col, const std::vector<double>& values) {
    ASSERT_EQ(col.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        double got = 0;
        ASSERT_EQ(col.Get(i, got), CellState::Value) << i;
        ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(values[i]))
            << "row " << i << ": " << values[i] << " came back as " << got;
    }
}

NumericColumn Filled(const std::vector<double>& values) {
    NumericColumn col;
    for (double v : values) col.AppendValue(v);
    return col;
}

}  // namespace

TEST(NumericColumn, SurveyCodesAndSysmisTakeOneBytePerCell) {
    NumericColumn col;
    col.Reserve(1000);
    for (int i = 0; i < 1000; ++i) {
        if (i % 20 == 0)
            col.AppendSysmis();
        else
            col.AppendValue(i % 7 - 1);
    }
    EXPECT_EQ(col.form(), Form::Int8);
    EXPECT_LE(col.MemoryBytes(), 1100u);
    double v = 0;
    EXPECT_EQ(col.Get(0, v), CellState::Sysmis);
    EXPECT_EQ(col.Get(3, v), CellState::Value);
    EXPECT_EQ(v, 2.0);
}

TEST(NumericColumn, WidensOnTheFirstMisfitAndKeepsEveryEarlierValue) {
    std::vector<double> values = {1, 2, -3, 127, -127};
    NumericColumn col = Filled(values);
    EXPECT_EQ(col.form(), Form::Int8);
    // -128 is the 1-byte sysmis code: it must not be taken for a value.
    values.push_back(-128);
    col.AppendValue(-128);
    EXPECT_EQ(col.form(), Form::Int16);
    values.push_back(40000);
    col.AppendValue(40000);
    EXPECT_EQ(col.form(), Form::Int32);
    ExpectSameValues(col, values);
}

TEST(NumericColumn, TwoDecimalValuesUseAScaledIntegerThatRestoresTheExactDouble) {
    std::vector<double> values = {12.34, 0.01, -99.99, 5, 1234.56, 0.1 + 0.2};
    NumericColumn col = Filled({12.34, 0.01, -99.99, 5, 1234.56});
    EXPECT_EQ(col.form(), Form::Int32);
    EXPECT_EQ(col.scale(), 2);
    // 0.1 + 0.2 is not the double nearest 0.3: no decimal scale holds it.
    col.AppendValue(0.1 + 0.2);
    EXPECT_EQ(col.form(), Form::Double);
    ExpectSameValues(col, values);
}

TEST(NumericColumn, DatesInSecondsFitFourBytes) {
    std::vector<double> values = {13'000'000'000.0 + 86400 * 3, 13'700'000'000.0, 12'000'000'000.0};
    NumericColumn col = Filled(values);
    EXPECT_EQ(col.form(), Form::Int32);
    EXPECT_LT(col.scale(), 0);
    ExpectSameValues(col, values);
}

TEST(NumericColumn, ScaleOnlyGrowsSoEarlierValuesStayExact) {
    std::vector<double> values = {100, 200, 5, 0.5, 0.25, 7};
    NumericColumn col = Filled(values);
    ExpectSameValues(col, values);
}

TEST(NumericColumn, FloatFormForBinaryFractionsBeyondTheDecimalScales) {
    std::vector<double> values = {std::ldexp(1.0, 100), 0.5};
    NumericColumn col = Filled(values);
    EXPECT_EQ(col.form(), Form::Float);
    values.push_back(1.0 / 3);
    col.AppendValue(1.0 / 3);
    EXPECT_EQ(col.form(), Form::Double);
    ExpectSameValues(col, values);
}

TEST(NumericColumn, NegativeZeroAndExtremesSurviveBitForBit) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -1e300};
    ExpectSameValues(Filled(values), values);
}

TEST(NumericColumn, RandomMixturesComeBackIdenticalWhateverTheOrderOfWidening) {
    std::mt19937_64 rng(7);
    for (int round = 0; round < 40; ++round) {
        NumericColumn col;
        std::vector<double> values;
        for (int i = 0; i < 2000; ++i) {
            double v = 0;
            switch (rng() % 6) {
                case 0:
                    v = static_cast<int>(rng() % 11) - 5;
                    break;
                case 1:
                    v = static_cast<int>(rng() % 2000001 - 1000000) / 100.0;
                    break;
                case 2:
                    v = std::bit_cast<double>(rng() & 0x7FEFFFFFFFFFFFFFull);
                    break;
                case 3:
                    v = static_cast<int>(rng() % 100000) * 86400.0;
                    break;
                case 4:
                    v = static_cast<int>(rng() % 1000) / 1000.0;
                    break;
                default:
                    v = std::ldexp(static_cast<double>(rng() % 4096), -(int)(rng() % 30));
                    break;
            }
            // Late rounds start narrow for a long time before widening.
            if (round % 2 && i < 1500) v = static_cast<int>(rng() % 50);
            values.push_back(v);
            col.AppendValue(v);
        }
        ExpectSameValues(col, values);
    }
}

TEST(NumericColumn, EmptyCellsAndRowsNotYetReadShowNothing) {
    NumericColumn col;
    col.AppendValue(1);
    col.AppendEmpty();
    col.AppendSysmis();
    col.AppendValue(70000);  // widening keeps the marks
    double v = 0;
    EXPECT_EQ(col.Get(0, v), CellState::Value);
    EXPECT_EQ(col.Get(1, v), CellState::Empty);
    EXPECT_EQ(col.Get(2, v), CellState::Sysmis);
    EXPECT_EQ(col.Get(3, v), CellState::Value);
    EXPECT_EQ(v, 70000);
    EXPECT_EQ(col.Get(4, v), CellState::Empty);
}

TEST(StringColumn, TrailingBlanksAreDroppedAndRestoredFromTheWidth) {
    StringColumn col(8);
    col.AppendValue("abc     ");
    col.AppendValue("        ");
    col.AppendValue(" x y    ");
    col.AppendEmpty();
    // A value whose NUL came before the width is kept as it was.
    col.AppendValue("ab");
    std::string out;
    EXPECT_EQ(col.Get(0, out), CellState::Value);
    EXPECT_EQ(out, "abc     ");
    out.clear();
    col.Get(1, out);
    EXPECT_EQ(out, "        ");
    out.clear();
    col.Get(2, out);
    EXPECT_EQ(out, " x y    ");
    out.clear();
    EXPECT_EQ(col.Get(3, out), CellState::Empty);
    EXPECT_EQ(out, "");
    col.Get(4, out);
    EXPECT_EQ(out, "ab");
    EXPECT_LT(col.MemoryBytes(), 100u);
}
