// The user's choice of encoding for display: who hears of a change, and the
// names the menu and lorivane-dump accept.
#include <gtest/gtest.h>

#include <memory>

#include "core/text/display_encoding.h"
#include "core/text/encoding_choices.h"

namespace {

TEST(DisplayEncoding, OverridesTheDetectedOneAndListenersHearEachChangeWhileTheyLive) {
    lv::SetCurrentFileEncoding("CP932");
    int first = 0, second = 0;
    auto a = std::make_unique<lv::DisplayEncodingListener>([&] { ++first; });
    std::unique_ptr<lv::DisplayEncodingListener> b;
    // A listener that ends another during the call: the ended one is not called.
    lv::DisplayEncodingListener killer([&] { b.reset(); });
    b = std::make_unique<lv::DisplayEncodingListener>([&] { ++second; });
    lv::ChooseDisplayEncoding("EUC-JP");
    lv::ChooseDisplayEncoding("EUC-JP");  // no change, no call
    EXPECT_EQ(lv::DisplayEncoding(), "EUC-JP");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    a.reset();
    lv::ChooseDisplayEncoding("");
    EXPECT_EQ(lv::DisplayEncoding(), "CP932");
    EXPECT_EQ(first, 1);
    lv::SetCurrentFileEncoding("UTF-8");
}

TEST(EncodingChoices, NamesAndAliasesInAnyCaseAndAutoAreAccepted) {
    EXPECT_EQ(lv::ParseEncodingName("auto"), "");
    EXPECT_EQ(lv::ParseEncodingName("sjis"), "CP932");
    EXPECT_EQ(lv::ParseEncodingName("cp1252"), "WINDOWS-1252");
    EXPECT_EQ(lv::ParseEncodingName("euc_kr"), "CP949");
    for (const char* unknown : {"", "-", "klingon", "UTF-16", "windows"})
        EXPECT_EQ(lv::ParseEncodingName(unknown), std::nullopt) << unknown;
    for (const lv::EncodingChoice& choice : lv::EncodingChoices()) {
        const std::string name(choice.name);
        EXPECT_EQ(lv::ParseEncodingName(name), name);
        // ChooseEncoding keeps a declared encoding only when iconv converts it.
        EXPECT_EQ(lv::ChooseEncoding(name, "\xff"), name);
    }
}

}  // namespace
