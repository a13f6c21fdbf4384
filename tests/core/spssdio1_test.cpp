#include "core/spssdio1.h"

#include <gtest/gtest.h>

using namespace spssdio1;

TEST(StatusName, NamesEveryListedCodeAndTheSecondNameOfSharedCodes) {
    EXPECT_EQ(StatusName(0), "SPSS_OK");
    EXPECT_EQ(StatusName(5), "SPSS_INVALID_HANDLE");
    EXPECT_EQ(StatusName(53), "SPSS_INTERNAL_D_A");
    EXPECT_EQ(StatusName(-2), "warning:SPSS_EXC_VARLABEL");
    EXPECT_EQ(StatusName(-4), "warning:SPSS_EXC_VALLABEL");
    EXPECT_EQ(StatusName(-10), "warning:SPSS_NO_CASEWGT");
    EXPECT_EQ(StatusName(-11), "warning:SPSS_NO_DATEINFO");
}

TEST(StatusName, UnlistedCodesGiveEmptyText) {
    for (int code : {25, 26, 29, 32, 34, 40, 42, 44, -3, 54, -12, 1000, -1000})
        EXPECT_EQ(StatusName(code), "") << code;
}

TEST(SharedState, ArraysGrowToTheVariableCountAndNeverShrink) {
    ResetSharedState();
    EXPECT_EQ(VarNames.size(), 601u);
    EXPECT_EQ(SelectedVarIndex, 0);
    EnsureVarCapacity(1500);
    EXPECT_GE(ColumnWidths.size(), 1500u);
    EXPECT_GE(VarHandles.size(), 1500u);
    ColumnWidths[1499] = 7;
    EnsureVarCapacity(10);
    EXPECT_EQ(ColumnWidths[1499], 7);
    ResetSharedState();
}

TEST(SharedState, StringBufferHoldsTheLongestStringValue) {
    EXPECT_GE(sizeof StringValueBuffer, 32768u);
}
