#include "core/state/spssdio1.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

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

// The whole table the windows' messages show, code by code.
TEST(StatusName, TheTableIsExactlyTheListedNames) {
    const std::pair<int, const char*> table[] = {{0, "SPSS_OK"},
                                                 {1, "SPSS_FILE_OERROR"},
                                                 {2, "SPSS_FILE_WERROR"},
                                                 {3, "SPSS_FILE_RERROR"},
                                                 {4, "SPSS_FITAB_FULL"},
                                                 {5, "SPSS_INVALID_HANDLE"},
                                                 {6, "SPSS_INVALID_FILE"},
                                                 {7, "SPSS_NO_MEMORY"},
                                                 {8, "SPSS_OPEN_RDMODE"},
                                                 {9, "SPSS_OPEN_WRMODE"},
                                                 {10, "SPSS_INVALID_VARNAME"},
                                                 {11, "SPSS_DICT_EMPTY"},
                                                 {12, "SPSS_VAR_NOTFOUND"},
                                                 {13, "SPSS_DUP_VAR"},
                                                 {14, "SPSS_NUME_EXP"},
                                                 {15, "SPSS_STR_EXP"},
                                                 {16, "SPSS_SHORTSTR_EXP"},
                                                 {17, "SPSS_INVALID_VARTYPE"},
                                                 {18, "SPSS_INVALID_MISSFOR"},
                                                 {19, "SPSS_INVALID_COMPSW"},
                                                 {20, "SPSS_INVALID_PRFOR"},
                                                 {21, "SPSS_INVALID_WRFOR"},
                                                 {22, "SPSS_INVALID_DATE"},
                                                 {23, "SPSS_INVALID_TIME"},
                                                 {24, "SPSS_NO_VARIABLES"},
                                                 {27, "SPSS_DUP_VALUE"},
                                                 {28, "SPSS_INVALID_CASEWGT"},
                                                 {30, "SPSS_DICT_COMMIT"},
                                                 {31, "SPSS_DICT_NOTCOMMIT"},
                                                 {33, "SPSS_NO_TYPE2"},
                                                 {41, "SPSS_NO_TYPE73"},
                                                 {45, "SPSS_INVALID_DATEINFO"},
                                                 {46, "SPSS_NO_TYPE999"},
                                                 {47, "SPSS_EXC_STRVALUE"},
                                                 {48, "SPSS_CANNOT_FREE"},
                                                 {49, "SPSS_BUFFER_SHORT"},
                                                 {50, "SPSS_INVALID_CASE"},
                                                 {51, "SPSS_INTERNAL_VLABS"},
                                                 {52, "SPSS_INCOMPAT_APPEND"},
                                                 {53, "SPSS_INTERNAL_D_A"},
                                                 {-1, "warning:SPSS_EXC_LEN64"},
                                                 {-2, "warning:SPSS_EXC_VARLABEL"},
                                                 {-4, "warning:SPSS_EXC_VALLABEL"},
                                                 {-5, "warning:SPSS_FILE_END"},
                                                 {-6, "warning:SPSS_NO_VARSETS"},
                                                 {-7, "warning:SPSS_EMPTY_VARSETS"},
                                                 {-8, "warning:SPSS_NO_LABELS"},
                                                 {-9, "warning:SPSS_NO_LABEL"},
                                                 {-10, "warning:SPSS_NO_CASEWGT"},
                                                 {-11, "warning:SPSS_NO_DATEINFO"}};
    int named = 0;
    for (int code = -100; code <= 100; ++code)
        if (!StatusName(code).empty()) ++named;
    EXPECT_EQ(named, static_cast<int>(std::size(table)));
    for (const auto& [code, name] : table) EXPECT_EQ(StatusName(code), name) << code;
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
