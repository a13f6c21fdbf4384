// The reader's label cut, the renderer's cut of the specifier in its error
// text and the display's decoding judge characters by one rule: a cut never
// lands inside what the decoding takes for one character, and the encoding a
// file's texts are cut in is the one they are decoded with.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/rendering/specifier_format.h"
#include "core/state/errors.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/windows/summary.h"
#include "encoding/charcut.h"
#include "encoding/utf8.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string Decoded(std::string_view bytes, std::string_view encoding) {
    return lv::ToUtf8(bytes, encoding);
}

// The short label the reader gives for a variable label of a file that
// names no encoding, and the encoding the summary chose for the windows.
std::pair<std::string, std::string> CutLabelAndEncoding(const std::string& label) {
    fixture::File f = fixture::SampleFile();
    f.encoding.clear();
    f.characterCode = 0;
    f.variables[0].label = label;
    spssdio1::ResetSharedState();
    spssdio1::DataFileName = fixture::WriteFile(f, fixture::TempDir() + "/label.sav");
    lv::LineCollector lines;
    lv::ShowFileSummaryLines(lines);
    int h = -1;
    char buf[124] = {};
    EXPECT_EQ(spssOpenRead(spssdio1::DataFileName.c_str(), &h), 0);
    char name[10] = {};
    int type = 0;
    EXPECT_EQ(spssGetVarInfo(h, 0, name, &type), 0);
    EXPECT_EQ(spssGetVarLabel(h, name, buf), 0);
    spssCloseRead(h);
    return {buf, lv::CurrentFileEncoding()};
}

TEST(TextAgreement, TheReadersLabelCutNeverSplitsACharacterOfTheDisplayedEncoding) {
    const std::string kana = "\xE3\x81\x82";  // あ in UTF-8
    std::string valid = "x";
    for (int i = 0; i < 45; ++i) valid += kana;
    // The same label behind a surrogate or an overlong form: not UTF-8 any
    // more, so neither the cut nor the decoding may treat it as UTF-8.
    for (const std::string& label : {valid, "\xED\xA0\x80" + valid, "\xF0\x80\x80\x80" + valid,
                                     valid.substr(0, valid.size() - 1)}) {
        const auto [cut, encoding] = CutLabelAndEncoding(label);
        ASSERT_LE(cut.size(), 122u);
        ASSERT_EQ(label.compare(0, cut.size(), cut), 0);
        const std::string whole = Decoded(label, encoding);
        const std::string shown = Decoded(cut, encoding);
        EXPECT_EQ(whole.compare(0, shown.size(), shown), 0)
            << encoding << ": the cut label shows " << shown;
    }
}

std::string SpecifierInMessage(const std::string& pattern) {
    try {
        lv::Format(pattern, {1});
    } catch (const lv::ConversionError& e) {
        const std::string message = e.what();
        const size_t open = message.find('\'');
        return message.substr(open + 1, message.find('\'', open + 1) - open - 1);
    }
    return "(no error)";
}

TEST(TextAgreement, TheErrorTextsSpecifierIsCutAtACharacterOfTheErrorBox) {
    // The error box shows the message as UTF-8: its 31-byte cut of the
    // specifier never splits a UTF-8 character, and a byte that is no
    // character there is one byte.
    const std::string digits(29, '1');
    EXPECT_EQ(SpecifierInMessage("%" + digits + "\xC3\xA9"), "%" + digits);
    EXPECT_EQ(SpecifierInMessage("%" + digits + "\xE3\x81\x82"), "%" + digits);
    EXPECT_EQ(SpecifierInMessage("%" + digits + "\x82\xA0"), "%" + digits + "\x82");
    EXPECT_EQ(SpecifierInMessage("%" + digits + "x"), "%" + digits + "x");
}

// Overlong forms, a surrogate, a code point above U+10FFFF, cut characters
// and lone or stray bytes, among good characters of both encodings.
const std::vector<std::string> kAwkward = {
    "a\xC0\xAF"
    "b",
    "\xE0\x80\xAF"
    "c",
    "\xF0\x80\x80\xAF",
    "x\xED\xA0\x80y",
    "\xF4\x90\x80\x80",
    "\xE5\xB9"
    "a",
    "ok\xF0\x9F\x98",
    "\xE5\xB9\xB4\x82",
    "\x94\x4E\x97\xEE",
    "a\x81 b\x94\x4E",
    "ok\x94",
    "\x82\x82\xA0\xB1z",
    "\xE3\x81\x82\xE3\x81",
};

TEST(TextAgreement, ACutNeverSplitsWhatTheDecodingTakesForOneCharacter) {
    for (const char* encoding : {"UTF-8", "CP932"}) {
        const lv::CharLayout layout = lv::LayoutOf(encoding);
        for (const std::string& text : kAwkward) {
            const std::string whole = Decoded(text, encoding);
            for (size_t max = 0; max <= text.size(); ++max) {
                const size_t cut = lv::CutAtCharBoundary(text, max, layout);
                ASSERT_LE(cut, max);
                EXPECT_EQ(
                    Decoded(text.substr(0, cut), encoding) + Decoded(text.substr(cut), encoding),
                    whole)
                    << encoding << " cut at " << cut << " of " << ::testing::PrintToString(text);
            }
        }
    }
}

TEST(TextAgreement, TheValidatorAndTheDecodingAgreeAndEachBadSequenceIsOneReplacement) {
    for (const std::string& text : kAwkward)
        EXPECT_EQ(lv::IsValidUtf8(text), Decoded(text, "UTF-8") == text)
            << ::testing::PrintToString(text);
    const std::string r(kReplacement);
    EXPECT_EQ(Decoded("\xE5\xB9"
                      "a",
                      "UTF-8"),
              r + "a");  // a cut character
    EXPECT_EQ(Decoded("ok\xF0\x9F\x98", "UTF-8"), "ok" + r);
    EXPECT_EQ(Decoded("a\xC0\xAF"
                      "b",
                      "UTF-8"),
              "a" + r + r + "b");                            // overlong: no character
    EXPECT_EQ(Decoded("\xED\xA0\x80", "UTF-8"), r + r + r);  // surrogate
    EXPECT_EQ(Decoded("ok\x94", "CP932"), "ok" + r);         // a lone lead byte
    EXPECT_FALSE(lv::IsValidUtf8("\xE0\x80\xAF"));
    EXPECT_FALSE(lv::IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_TRUE(lv::IsValidUtf8("\xF4\x8F\xBF\xBF\xE5\xB9\xB4"));
}

}  // namespace

TEST(TextAgreement, EscapingShowsEachBadByteAndControlAndKeepsTheCharacters) {
    EXPECT_EQ(lv::EscapedUtf8("年齢\xff\xe5\xb9 a\tb\x7f\xc3\xa9"),
              "年齢\\xff\\xe5\\xb9 a\\x09b\\x7f\xc3\xa9");
}
