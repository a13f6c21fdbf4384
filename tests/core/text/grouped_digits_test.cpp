// Counts in messages, with their digits grouped by threes.
#include "core/text/grouped_digits.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(GroupedDigits, GroupsByThreesFromTheRight) {
    EXPECT_EQ(lv::GroupedDigits(uint64_t{0}), "0");
    EXPECT_EQ(lv::GroupedDigits(uint64_t{999}), "999");
    EXPECT_EQ(lv::GroupedDigits(uint64_t{1000}), "1,000");
    EXPECT_EQ(lv::GroupedDigits(uint64_t{40'000'000}), "40,000,000");
    EXPECT_EQ(lv::GroupedDigits(uint64_t{18'446'744'073'709'551'615ull}),
              "18,446,744,073,709,551,615");
    EXPECT_EQ(lv::GroupedDigits(int64_t{-1234567}), "-1,234,567");
    EXPECT_EQ(lv::GroupedDigits(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(GroupedDigits, CaseCountsGroupBothNumbers) {
    EXPECT_EQ(lv::CaseCountText(12345, 1000000), "12,345 / 1,000,000 ケース");
    EXPECT_EQ(lv::CaseCountText(0, 0), "0 / 0 ケース");
}
