#include "core/rendering/scientific.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/rendering/decimal_separator.h"

using lv::Scientific;

TEST(Scientific, ExamplesHaveTwentyThreeCharacters) {
    EXPECT_EQ(Scientific(3), " 3.00000000000000E+0000");
    EXPECT_EQ(Scientific(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(Scientific(0.1), " 1.00000000000000E-0001");
    EXPECT_EQ(Scientific(1234.5678), " 1.23456780000000E+0003");
    EXPECT_EQ(Scientific(-0.5), "-5.00000000000000E-0001");
    EXPECT_EQ(Scientific(0), " 0.00000000000000E+0000");
    EXPECT_EQ(Scientific(1e300), " 1.00000000000000E+0300");
    EXPECT_EQ(Scientific(5e-324), " 4.94065645841247E-0324");
    EXPECT_EQ(Scientific(DBL_MIN), " 2.22507385850720E-0308");
}

TEST(Scientific, SixteenthDigitRoundsTheFifteenthWhateverTheFirstDigit) {
    EXPECT_EQ(Scientific(38.0 / 3), " 1.26666666666667E+0001");
    EXPECT_EQ(Scientific(-DBL_MAX), "-1.79769313486232E+0308");
    EXPECT_EQ(Scientific(2.0 / 3), " 6.66666666666667E-0001");
    EXPECT_EQ(Scientific(9.999999999999998), " 1.00000000000000E+0001");  // carry out
    EXPECT_EQ(Scientific(999999999999999.9), " 1.00000000000000E+0015");
    EXPECT_EQ(Scientific(1.000000000000004), " 1.00000000000000E+0000");
    EXPECT_EQ(Scientific(123456789012345.5), " 1.23456789012346E+0014");
    EXPECT_EQ(Scientific(123456789012344.5), " 1.23456789012345E+0014");  // half up, not even
}

TEST(Scientific, SignPositionFollowsTheSignBit) {
    EXPECT_EQ(Scientific(-0.0), "-0.00000000000000E+0000");
    EXPECT_EQ(Scientific(-3), "-3.00000000000000E+0000");
    EXPECT_EQ(Scientific(-5e-324), "-4.94065645841247E-0324");
}

TEST(Scientific, InfinityAndNanAreRightAligned) {
    double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Scientific(inf), std::string(19, ' ') + "+Inf");
    EXPECT_EQ(Scientific(-inf), std::string(19, ' ') + "-Inf");
    EXPECT_EQ(Scientific(std::nan("")), std::string(20, ' ') + "Nan");
    EXPECT_EQ(Scientific(-std::nan("")), std::string(20, ' ') + "Nan");
}

TEST(Scientific, IgnoresTheDecimalSeparatorAndAppends) {
    lv::SetDecimalSeparator(',');
    std::string out = "x";
    lv::AppendScientific(out, 1.5);
    lv::AppendScientific(out, 2);
    lv::SetDecimalSeparator('.');
    EXPECT_EQ(out, "x 1.50000000000000E+0000 2.00000000000000E+0000");
}
