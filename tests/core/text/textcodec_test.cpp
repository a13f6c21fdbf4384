// Decoding the file's bytes for display, and the encoding choice.
#include <gtest/gtest.h>

#include "encoding/codec.h"

namespace {

TEST(TextCodec, DecodesCp932AndWindows1252) {
    EXPECT_EQ(lv::ToUtf8("\x94\x4e\x97\xee", "CP932"), "年齢");
    EXPECT_EQ(lv::ToUtf8("\xb1\xdd\xb9\xb0\xc4", "CP932"), "ｱﾝｹｰﾄ");  // half-width katakana
    EXPECT_EQ(lv::ToUtf8("caf\xe9", "WINDOWS-1252"), "café");
    EXPECT_EQ(lv::ToUtf8("plain", "CP932"), "plain");
}

TEST(TextCodec, BadBytesBecomeReplacementCharactersOnly) {
    // A lone lead byte in the middle and a cut character at the end.
    EXPECT_EQ(lv::ToUtf8("a\x81 b\x94\x4e", "CP932"), "a\xEF\xBF\xBD b年");
    EXPECT_EQ(lv::ToUtf8("ok\x94", "CP932"), "ok\xEF\xBF\xBD");
    EXPECT_EQ(lv::ToUtf8("x\xff"
                         "y",
                         "UTF-8"),
              "x\xEF\xBF\xBD"
              "y");
    EXPECT_EQ(lv::ToUtf8("\xed\xa0\x80", "UTF-8"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextCodec, UnknownEncodingFallsBackToValidatedUtf8) {
    EXPECT_EQ(lv::ToUtf8("年", "NO-SUCH-ENCODING"), "年");
}

TEST(TextCodec, EncodesBackAndNamesTheFirstCharacterWithoutACode) {
    EXPECT_EQ(lv::FromUtf8("年齢", "CP932"), "\x94\x4e\x97\xee");
    EXPECT_EQ(lv::FromUtf8("ü", "WINDOWS-1252"), "\xfc");
    std::string missing;
    EXPECT_EQ(lv::FromUtf8("a😀b한", "CP932", &missing), std::nullopt);
    EXPECT_EQ(missing, "😀");
    EXPECT_EQ(lv::FromUtf8("ok한", "WINDOWS-1252", &missing), std::nullopt);
    EXPECT_EQ(missing, "한");
    EXPECT_EQ(lv::FromUtf8("a\xFF", "UTF-8"), std::nullopt);
}

TEST(TextCodec, ChoosesDeclaredThenUtf8ThenCp932) {
    EXPECT_EQ(lv::ChooseEncoding("WINDOWS-1252", "\x94\x4e"), "WINDOWS-1252");
    EXPECT_EQ(lv::ChooseEncoding("", "年齢 age"), "UTF-8");
    EXPECT_EQ(lv::ChooseEncoding("", "\x94\x4e\x97\xee"), "CP932");
    EXPECT_EQ(lv::ChooseEncoding("", ""), "UTF-8");
    // A declared encoding that cannot be read counts as none.
    EXPECT_EQ(lv::ChooseEncoding("NO-SUCH-ENCODING", "\x94\x4e"), "CP932");
}

}  // namespace
