#include <gtest/gtest.h>
#include <locale.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

#include "core/rendering/decimal_separator.h"
#include "core/rendering/specifier_format.h"
#include "core/state/errors.h"
#include "core/text/trim.h"

using lv::Format;

namespace {

// Restores "." after each test that changes the separator.
class FormatTest : public ::testing::Test {
  protected:
    void SetUp() override { lv::SetDecimalSeparator('.'); }
    void TearDown() override { lv::SetDecimalSeparator('.'); }
};

std::string MessageOf(std::string_view pattern, std::initializer_list<lv::FormatArg> args) {
    try {
        Format(pattern, args);
    } catch (const lv::ConversionError& e) {
        return e.what();
    }
    return "(no error)";
}

std::string Invalid(std::string_view spec) {
    return "書式文字列 '" + std::string(spec) + "' は正しくないか引数の型と一致しません";
}
std::string Missing(std::string_view spec) {
    return "書式文字列 '" + std::string(spec) + "' の引数が見つかりません";
}

}  // namespace

TEST_F(FormatTest, IntegersPadLeftAndNeverCut) {
    EXPECT_EQ(Format("%8d", {1234}), "    1234");
    EXPECT_EQ(Format("%8d", {-1}), "      -1");
    EXPECT_EQ(Format("%8d", {123456789}), "123456789");
    EXPECT_EQ(Format("%3d", {5}), "  5");
    EXPECT_EQ(Format("%d", {0}), "0");
    EXPECT_EQ(Format("%-4d|", {7}), "7   |");
    EXPECT_EQ(Format("%D", {42}), "42");
}

TEST_F(FormatTest, IntegerPrecisionAddsZerosUpToFifteen) {
    EXPECT_EQ(Format("%3.2d", {-5}), "-05");
    EXPECT_EQ(Format("%.0d", {0}), "0");
    EXPECT_EQ(Format("%.5d", {42}), "00042");
    EXPECT_EQ(Format("%.15d", {1}), "000000000000001");
    EXPECT_EQ(Format("%.16d", {1}), "1");
    EXPECT_EQ(Format("%.99d", {-1}), "-1");
    EXPECT_EQ(Format("%d", {INT32_MIN}), "-2147483648");
    EXPECT_EQ(Format("%.12d", {INT32_MIN}), "-002147483648");
    EXPECT_EQ(Format("%d", {INT32_MAX}), "2147483647");
}

TEST_F(FormatTest, TextsPadCutByPrecisionAndStopAtNul) {
    EXPECT_EQ(Format("%8s", {"abc"}), "     abc");
    EXPECT_EQ(Format("%8s", {"abcdefghij"}), "abcdefghij");
    EXPECT_EQ(Format("%-5s|", {"ab"}), "ab   |");
    EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
    EXPECT_EQ(Format("%.0s", {"abcdef"}), "");
    EXPECT_EQ(Format("%5.2s", {"abcdef"}), "   ab");
    EXPECT_EQ(Format("%s", {'x'}), "x");
    const char raw[] = "ab\0cd";
    EXPECT_EQ(Format("%s", {static_cast<const char*>(raw)}), "ab");
    EXPECT_EQ(Format("%s", {std::string_view(raw, 5)}), std::string(raw, 5));
    EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
    // Shift-JIS bytes pass through untouched.
    EXPECT_EQ(Format("%4s", {"\x82\xa0"}), "  \x82\xa0");
}

TEST_F(FormatTest, TextOutsideSpecifiersIsCopied) {
    EXPECT_EQ(Format("", {}), "");
    EXPECT_EQ(Format("no specifiers", {}), "no specifiers");
    EXPECT_EQ(Format("a%db%sc%.1fd", {1, "x", 2.25}), "a1bxc2.3d");
    EXPECT_EQ(Format("%4d/%2.2d/%2.2d", {2001, 3, 5}), "2001/03/05");
    EXPECT_EQ(Format("%4d/%2.2d/%2.2d", {99, 12, 31}), "  99/12/31");
}

TEST_F(FormatTest, FixedRoundsHalfAwayFromZeroOnTheDecimalDigits) {
    EXPECT_EQ(Format("%8.2f", {3.14159}), "    3.14");
    EXPECT_EQ(Format("%8.2f", {-0.004}), "    0.00");
    EXPECT_EQ(Format("%8.2f", {-1.005}), "   -1.00");  // the double lies below 1.005
    EXPECT_EQ(Format("%5.1f", {-1.25}), " -1.3");
    EXPECT_EQ(Format("%6.0f", {1234.5}), "  1235");
    EXPECT_EQ(Format("%20.8f", {1234.5}), "       1234.50000000");
    EXPECT_EQ(Format("%3.0f", {2.5}), "  3");
    EXPECT_EQ(Format("%3.0f", {0.5}), "  1");
    EXPECT_EQ(Format("%4.2f", {0.125}), "0.13");
    EXPECT_EQ(Format("%.2f", {0.995}), "0.99");  // 0.99499999...
    EXPECT_EQ(Format("%.0f", {9.5}), "10");
    EXPECT_EQ(Format("%.1f", {99.96}), "100.0");
    EXPECT_EQ(Format("%.0f", {-0.4}), "0");
    EXPECT_EQ(Format("%.0f", {-0.5}), "-1");
    EXPECT_EQ(Format("%.3f", {0.0005}), "0.001");  // 0.000500000000000000010...
    EXPECT_EQ(Format("%.2f", {0.0001}), "0.00");
}

TEST_F(FormatTest, FixedDecimalsDefaultToTwoOutsideZeroToEighteen) {
    EXPECT_EQ(Format("%f", {1.0}), "1.00");
    EXPECT_EQ(Format("%.19f", {1.0}), "1.00");
    EXPECT_EQ(Format("%.f", {1.6}), "2");  // "." alone is precision 0
    EXPECT_EQ(Format("%.18f", {0.1}), "0.100000000000000006");
    EXPECT_EQ(Format("%.18f", {1.0 / 3}), "0.333333333333333315");
    EXPECT_EQ(Format("%F", {1.5}), "1.50");
}

TEST_F(FormatTest, FixedZeroAndSign) {
    EXPECT_EQ(Format("%8.2f", {0.0}), "    0.00");
    EXPECT_EQ(Format("%8.2f", {-0.0}), "    0.00");
    EXPECT_EQ(Format("%.0f", {0.0}), "0");
    EXPECT_EQ(Format("%.3f", {-2.0}), "-2.000");
    EXPECT_EQ(Format("%.2f", {5e-324}), "0.00");
    EXPECT_EQ(Format("%.18f", {-5e-324}), "0.000000000000000000");
}

TEST_F(FormatTest, FixedUsesTheGeneralFormAboveEighteenIntegerDigits) {
    EXPECT_EQ(Format("%8.2f", {1E20}), "    1E20");
    EXPECT_EQ(Format("%8.2f", {-1.5E19}), " -1.5E19");
    EXPECT_EQ(Format("%20.8f", {-DBL_MAX}), "-1.79769313486231571E308");
    EXPECT_EQ(Format("%.2f", {1E17}), "100000000000000000.00");
    EXPECT_EQ(Format("%.2f", {1E18}), "1E18");  // 19 integer digits
    EXPECT_EQ(Format("%.0f", {999999999999999872.0}), "999999999999999872");
    EXPECT_EQ(Format("%.2f", {123456789012345678901.0}), "1.23456789012345684E20");
}

TEST_F(FormatTest, FixedInfinityAndNanHaveNoSign) {
    double inf = std::numeric_limits<double>::infinity();
    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Format("%8.2f", {inf}), "     INF");
    EXPECT_EQ(Format("%8.2f", {-inf}), "     INF");
    EXPECT_EQ(Format("%8.2f", {nan}), "     NAN");
    EXPECT_EQ(Format("%f", {-nan}), "NAN");
}

TEST_F(FormatTest, DecimalSeparatorReachesOnlyTheFixedForm) {
    lv::SetDecimalSeparator(',');
    EXPECT_EQ(Format("%8.2f", {3.14159}), "    3,14");
    EXPECT_EQ(Format("%8.2f", {-1.5E19}), " -1,5E19");
    EXPECT_EQ(Format("%d.%s", {3, "1.5"}), "3.1.5");
    std::string out;
    lv::AppendFixed(out, 2.5, 6, 1, ',');
    EXPECT_EQ(out, "   2,5");
}

TEST_F(FormatTest, SeparatorComesFromTheUserLocaleElsePoint) {
    const char* saved = getenv("LC_ALL");
    std::string previous = saved ? saved : "";
    lv::SetDecimalSeparator(',');
    setenv("LC_ALL", "C", 1);
    lv::LoadDecimalSeparatorFromLocale();
    EXPECT_EQ(lv::DecimalSeparator(), '.');
    lv::SetDecimalSeparator(',');
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // unreadable: "."
    lv::LoadDecimalSeparatorFromLocale();
    EXPECT_EQ(lv::DecimalSeparator(), '.');
    locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    if (german != static_cast<locale_t>(0)) {
        freelocale(german);
        setenv("LC_ALL", "de_DE.UTF-8", 1);
        lv::LoadDecimalSeparatorFromLocale();
        EXPECT_EQ(lv::DecimalSeparator(), ',');
    }
    if (saved) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

TEST_F(FormatTest, WrongArgumentKindNamesTheSpecifier) {
    EXPECT_EQ(MessageOf("%8s", {1.5}), Invalid("%8s"));
    EXPECT_EQ(MessageOf("%8.2f", {"text"}), Invalid("%8.2f"));
    EXPECT_EQ(MessageOf("%8.2f", {3}), Invalid("%8.2f"));
    EXPECT_EQ(MessageOf("%d", {2.0}), Invalid("%d"));
    EXPECT_EQ(MessageOf("%d", {'c'}), Invalid("%d"));
    EXPECT_EQ(MessageOf("ok %d then %-3.1S", {1, 2}), Invalid("%-3.1S"));
}

TEST_F(FormatTest, UnknownTypeOrUnfinishedSpecifierIsInvalid) {
    EXPECT_EQ(MessageOf("%x", {1}), Invalid("%x"));
    EXPECT_EQ(MessageOf("%5.2", {1.0}), Invalid("%5.2"));
    EXPECT_EQ(MessageOf("100%", {}), Invalid("%"));
    EXPECT_EQ(MessageOf("%%", {}), Invalid("%%"));
    EXPECT_EQ(MessageOf("%e", {}), Invalid("%e"));  // unknown wins over missing
}

TEST_F(FormatTest, MissingArgumentNamesTheFirstUnservedSpecifier) {
    EXPECT_EQ(MessageOf("%d", {}), Missing("%d"));
    EXPECT_EQ(MessageOf("%4d/%2.2d/%2.2d", {2001, 3}), Missing("%2.2d"));
    // Output before the failure is not returned.
    EXPECT_THROW(Format("%d %s", {1}), lv::ConversionError);
}

TEST_F(FormatTest, MessageCutsTheSpecifierToThirtyOneBytes) {
    std::string longSpec = "%" + std::string(40, '1') + "x";
    EXPECT_EQ(MessageOf(longSpec, {1}), Invalid(longSpec.substr(0, 31)));
    std::string exact = "%" + std::string(29, '2') + "x";  // 31 bytes, kept whole
    EXPECT_EQ(MessageOf(exact, {1}), Invalid(exact));
    // A character of the message text (UTF-8) begun by the 31st byte is
    // dropped whole; a byte that begins none is one byte.
    std::string lead = "%" + std::string(29, '3') + "\xe3\x81\x82";
    EXPECT_EQ(MessageOf(lead, {1}), Invalid(lead.substr(0, 30)));
    std::string lead2 = "%" + std::string(29, '3') + "\xe3";  // cut short: no character
    EXPECT_EQ(MessageOf(lead2, {1}), Invalid(lead2));
    std::string stray = "%" + std::string(29, '3') + "\xb1";
    EXPECT_EQ(MessageOf(stray, {1}), Invalid(stray));
}

TEST_F(FormatTest, ParsedSpecifierMatchesTheGrammar) {
    auto spec = lv::Specifier::Parse("%-12.3F");
    ASSERT_TRUE(spec);
    EXPECT_EQ(spec->type(), 'f');
    EXPECT_TRUE(spec->left());
    EXPECT_EQ(spec->width(), 12);
    EXPECT_EQ(spec->precision(), 3);
    auto bare = lv::Specifier::Parse("%s");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->width(), -1);
    EXPECT_EQ(bare->precision(), -1);
    EXPECT_FALSE(lv::Specifier::Parse(""));
    EXPECT_FALSE(lv::Specifier::Parse("8d"));
    EXPECT_FALSE(lv::Specifier::Parse("%8"));
    EXPECT_FALSE(lv::Specifier::Parse("%8d "));
    EXPECT_FALSE(lv::Specifier::Parse(" %8d"));
    EXPECT_FALSE(lv::Specifier::Parse("%4d/%2.2d/%2.2d"));
    // Saturates instead of overflowing.
    auto huge = lv::Specifier::Parse("%.99999999999999999999d");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->precision(), INT_MAX);
}

TEST_F(FormatTest, ParsedSpecifierRendersLikeFormat) {
    auto fixed = *lv::Specifier::Parse("%8.2f");
    auto text = *lv::Specifier::Parse("%-6s");
    auto integer = *lv::Specifier::Parse("%5.3d");
    std::string out;
    fixed.AppendFloat(out, -1.005, '.');
    text.AppendText(out, "ab");
    integer.AppendInt(out, -7);
    fixed.Append(out, lv::FormatArg(2.5), ',');
    EXPECT_EQ(out,
              "   -1.00"
              "ab    "
              " -007"
              "    2,50");
    EXPECT_THROW(fixed.AppendInt(out, 1), lv::ConversionError);
    EXPECT_THROW(text.AppendFloat(out, 1.0, '.'), lv::ConversionError);
    EXPECT_THROW(integer.AppendText(out, "x"), lv::ConversionError);
    try {
        lv::Specifier::Parse("%8q")->AppendText(out, "x");
        FAIL();
    } catch (const lv::ConversionError& e) {
        EXPECT_EQ(e.what(), Invalid("%8q"));
    }
}

TEST_F(FormatTest, FastHelpersGiveTheSpecifierTexts) {
    std::string out;
    lv::AppendFixed(out, 1234.5, 8, 2, '.');
    lv::AppendFixed(out, 1.0, -1, 25, '.');
    EXPECT_EQ(out, " 1234.501.00");
    out.clear();
    lv::AppendDate(out, 2001, 3, 5);
    out += ' ';
    lv::AppendDate(out, 99, 12, 31);
    out += ' ';
    lv::AppendDate(out, 12345, -1, 0);
    EXPECT_EQ(out, "2001/03/05   99/12/31 12345/-01/00");
}

TEST_F(FormatTest, TrimDropsControlBytesAndBlanksAtBothEnds) {
    EXPECT_EQ(lv::Trim("    "), "");
    EXPECT_EQ(lv::Trim(""), "");
    EXPECT_EQ(lv::Trim("  word  "), "word");
    EXPECT_EQ(lv::Trim("\t\r\n\x01 a b \x1f"), "a b");
    EXPECT_EQ(lv::Trim(std::string_view("\0x\0", 3)), "x");
    EXPECT_EQ(lv::Trim("\x82\xa0 "), "\x82\xa0");  // bytes above 127 stay
    EXPECT_EQ(lv::Trim("!"), "!");
}
