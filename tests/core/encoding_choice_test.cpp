// The user's choice of encoding for display: what it overrides, who hears of
// a change, and the names the menu and lorivane-dump accept.
#include <gtest/gtest.h>

#include <memory>

#include "core/encodingchoices.h"
#include "core/textcodec.h"

namespace {

class DisplayEncodingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lv::SetCurrentFileEncoding("CP932");
        lv::ChooseDisplayEncoding("");
    }
    void TearDown() override {
        lv::ChooseDisplayEncoding("");
        lv::SetCurrentFileEncoding("UTF-8");
    }
};

TEST_F(DisplayEncodingTest, ChoiceOverridesTheDetectedEncodingUntilCleared) {
    EXPECT_EQ(lv::DisplayEncoding(), "CP932");
    lv::ChooseDisplayEncoding("WINDOWS-1252");
    EXPECT_EQ(lv::DisplayEncoding(), "WINDOWS-1252");
    lv::SetCurrentFileEncoding("UTF-8");  // a summary does not clear it
    EXPECT_EQ(lv::DisplayEncoding(), "WINDOWS-1252");
    lv::ChooseDisplayEncoding("");
    EXPECT_EQ(lv::DisplayEncoding(), "UTF-8");
}

TEST_F(DisplayEncodingTest, ListenersHearEachChangeOnlyWhileTheyLive) {
    int first = 0, second = 0;
    auto a = std::make_unique<lv::DisplayEncodingListener>([&] { ++first; });
    std::unique_ptr<lv::DisplayEncodingListener> b;
    // A listener that ends another during the call: the ended one is not called.
    lv::DisplayEncodingListener killer([&] { b.reset(); });
    b = std::make_unique<lv::DisplayEncodingListener>([&] { ++second; });
    lv::ChooseDisplayEncoding("EUC-JP");
    lv::ChooseDisplayEncoding("EUC-JP");  // no change, no call
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    a.reset();
    lv::ChooseDisplayEncoding("");
    EXPECT_EQ(first, 1);
}

TEST(EncodingChoices, NamesAndAliasesInAnyCaseAndAutoAreAccepted) {
    EXPECT_EQ(lv::ParseEncodingName("auto"), "");
    EXPECT_EQ(lv::ParseEncodingName("Shift_JIS"), "CP932");
    EXPECT_EQ(lv::ParseEncodingName("sjis"), "CP932");
    EXPECT_EQ(lv::ParseEncodingName("utf8"), "UTF-8");
    EXPECT_EQ(lv::ParseEncodingName("cp1252"), "WINDOWS-1252");
    EXPECT_EQ(lv::ParseEncodingName("Windows-1251"), "WINDOWS-1251");
    EXPECT_EQ(lv::ParseEncodingName("gbk"), "GB18030");
    EXPECT_EQ(lv::ParseEncodingName("big5"), "CP950");
    EXPECT_EQ(lv::ParseEncodingName("euc_kr"), "CP949");
    EXPECT_EQ(lv::ParseEncodingName("tis-620"), "CP874");
    for (const char* unknown : {"", "-", "klingon", "UTF-16", "windows"})
        EXPECT_EQ(lv::ParseEncodingName(unknown), std::nullopt) << unknown;
    const std::string accepted = lv::AcceptedEncodingNames();
    EXPECT_EQ(accepted.rfind("auto, UTF-8", 0), 0u);
    EXPECT_NE(accepted.find("CP932 (Shift_JIS, SJIS"), std::string::npos);
}

TEST(EncodingChoices, EveryChoiceIsAnEncodingIconvConverts) {
    for (const lv::EncodingChoice& choice : lv::EncodingChoices()) {
        const std::string name(choice.name);
        // ChooseEncoding keeps a declared encoding only when iconv knows it.
        EXPECT_EQ(lv::ChooseEncoding(name, "\xff"), name);
        EXPECT_EQ(lv::ParseEncodingName(name), name);
    }
}

}  // namespace
