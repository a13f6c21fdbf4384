// The message catalogue: every code is worded for the windows and for the
// tool, the tool's wording plain ASCII around its arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "core/state/english_messages.h"
#include "core/state/errors.h"
#include "core/state/japanese_messages.h"

TEST(Messages, EveryCodeIsWordedInBothLanguages) {
    for (int code = 1; code <= static_cast<int>(lv::kLastMessageCode); ++code) {
        const lv::Message m(static_cast<lv::MessageCode>(code), {"T0", "T1", "T2"}, {7}, ENOSPC);
        const std::string japanese = lv::JapaneseText(m), english = lv::EnglishText(m);
        EXPECT_FALSE(japanese.empty()) << code;
        EXPECT_NE(japanese, english) << code;
        EXPECT_TRUE(std::all_of(english.begin(), english.end(),
                                [](char c) { return c >= 0x20 && c < 0x7F; }))
            << code << ": " << english;
    }
}

TEST(Messages, AnErrorCarriesItsCodeAndShowsTheWindowsText) {
    const lv::InOutError error(lv::kInOutDiskFull);
    EXPECT_STREQ(error.what(), "ﾃﾞｨｽｸがいっぱいです");
    EXPECT_EQ(lv::EnglishText(error.message), "the disk is full");
    const lv::Message position(lv::MessageCode::ExpectedOperand, {"="});
    EXPECT_EQ(lv::JapaneseAtCharacter(4, position),
              "4 文字目: 値、変数名、関数または「(」が必要ですが、「=」があります");
    EXPECT_EQ(lv::EnglishAtCharacter(4, position),
              "at character 4: expected a value, a variable name, a function or \"(\", but found "
              "\"=\"");
}
