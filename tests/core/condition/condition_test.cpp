// The condition language on values made here: SPSS's missing-value logic,
// strings, dates, names, the messages of bad conditions and hostile input.
#include "core/condition/condition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/condition/condition_dates.h"
#include "core/condition/condition_words.h"
#include "core/condition/number_input.h"
#include "core/grid/row_order.h"
#include "core/rendering/print_format.h"
#include "core/selection/value_condition.h"
#include "core/state/japanese_messages.h"
#include "savio/spssfio.h"

namespace {

using lv::kConditionMissing;
constexpr double M = kConditionMissing;

// A few cases of numeric variables a, b, u (9 user-missing), d (a date) and
// string s, with long names for a and s.
class Conditions : public ::testing::Test {
  protected:
    Conditions() {
        Number("A", "alpha", {0, 1, M, 0, 1, M, 0, 1, M});
        Number("B", "", {0, 0, 0, 1, 1, 1, M, M, M});
        lv::DictVariable& u = Number("U", "", {9, 1, 2, M, 9, 0, 0, 0, 5});
        u.missingValues.count = 1;
        u.missingValues.numbers[0] = 9;
        Number("D", "",
               {0, *lv::DateSeconds(31, 1, 1990), *lv::DateSeconds(1, 2, 1990), M, 0, 0, 0, 0, 0})
            .print.type = SPSS_FMT_SDATE;
        lv::DictVariable& s = Variable("S", "surname", SPSS_FMT_A);
        s.width = 8;
        texts_ = {"ab", "ab   ", "ab!", std::string("ab\x01", 3), "", "b", "a", "ab", "zz"};
    }

    lv::DictVariable& Variable(const char* name, const char* longName, int format) {
        vars_.emplace_back();
        lv::DictVariable& v = vars_.back();
        v.name = name;
        v.longName = *longName ? longName : name;
        v.print.type = format;
        return v;
    }

    lv::DictVariable& Number(const char* name, const char* longName, std::vector<double> v) {
        numbers_.push_back(std::move(v));
        return Variable(name, longName, SPSS_FMT_F);
    }

    // The 1-based cases the condition selects; "error: N message" when bad.
    std::string Run(const std::string& text) {
        auto compiled = lv::CompileCondition(text, lv::ConditionVariablesOf(vars_), "UTF-8");
        if (auto* e = std::get_if<lv::ConditionError>(&compiled))
            return "error: " + std::to_string(e->position) + " " + lv::JapaneseText(e->message);
        const lv::Condition& c = std::get<lv::Condition>(compiled);
        std::vector<std::string_view> views(texts_.begin(), texts_.end());
        lv::ConditionBlock block;
        block.rows = 9;
        for (int v : c.variables()) {
            block.numbers.push_back(vars_[v].isString() ? nullptr : numbers_[v].data());
            block.strings.push_back(vars_[v].isString() ? views.data() : nullptr);
        }
        std::vector<uint32_t> out;
        c.Select(block, 0, out);
        std::string s;
        for (uint32_t r : out) s += (s.empty() ? "" : " ") + std::to_string(r + 1);
        return s;
    }

    std::vector<lv::DictVariable> vars_;
    std::vector<std::vector<double>> numbers_;
    std::vector<std::string> texts_;
};

TEST_F(Conditions, AndOrNotFollowThreeValuedLogic) {
    // Cases: (a, b) = (0,0) (1,0) (M,0) (0,1) (1,1) (M,1) (0,M) (1,M) (M,M).
    EXPECT_EQ(Run("a = 1 AND b = 1"), "5");
    EXPECT_EQ(Run("a = 1 OR b = 1"), "2 4 5 6 8");
    // False AND missing is false, so its NOT is true; true AND missing is
    // missing, and so is its NOT.
    EXPECT_EQ(Run("NOT (a = 1 AND b = 1)"), "1 2 3 4 7");
    EXPECT_EQ(Run("NOT (a = 1 OR b = 1)"), "1");
    EXPECT_EQ(Run("~(a = 1) & ~(b = 1)"), "1");
    EXPECT_EQ(Run("a = 1 | a <> 1"), "1 2 4 5 7 8");
    // A number as a truth value: 1 is true, other numbers false.
    EXPECT_EQ(Run("a"), "2 5 8");
    EXPECT_EQ(Run("NOT a"), "1 4 7");
}

TEST_F(Conditions, ArithmeticWithMissingAndZero) {
    EXPECT_EQ(Run("a / 0 = a / 0 OR MISSING(a / 0)"), "1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(Run("SYSMIS(b / a)"), "4 6 7 8 9");
    // 0 times or divided by a missing value is 0; 0 / 0 is missing.
    EXPECT_EQ(Run("0 * b = 0 AND b * 0 = 0 AND 0 / b = 0"), "1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(Run("1 * b = 0"), "1 2 3");
    EXPECT_EQ(Run("-a + 2 * b - b / 2 = 0.5"), "5");
    EXPECT_EQ(Run("- - -a = -1"), "2 5 8");
}

TEST_F(Conditions, UserMissingValuesAreMissingExceptInsideTheFunctions) {
    EXPECT_EQ(Run("u = 9"), "");
    EXPECT_EQ(Run("u <> 0"), "2 3 9");
    EXPECT_EQ(Run("VALUE(u) = 9"), "1 5");
    EXPECT_EQ(Run("MISSING(u)"), "1 4 5");
    EXPECT_EQ(Run("SYSMIS(u)"), "4");
    EXPECT_EQ(Run("SYSMIS(VALUE(u))"), "4");
    EXPECT_EQ(Run("ANY(u, 9, 2)"), "3");
    // A missing value in the set does not make ANY missing.
    EXPECT_EQ(Run("ANY(u, 0, b)"), "6 7 8");
    EXPECT_EQ(Run("RANGE(u, 1, 2, 5, 5)"), "2 3 9");
}

TEST_F(Conditions, StringsCompareAsIfPaddedWithBlanks) {
    EXPECT_EQ(Run("s = 'ab'"), "1 2 8");
    EXPECT_EQ(Run("surname = \"ab  \""), "1 2 8");
    // "ab\x01" pads to below "ab " and "ab!" above it.
    EXPECT_EQ(Run("s < 'ab'"), "4 5 7");
    EXPECT_EQ(Run("s > 'ab'"), "3 6 9");
    EXPECT_EQ(Run("s = ''"), "5");
    EXPECT_EQ(Run("ANY(s, 'b', 'zz')"), "6 9");
    EXPECT_EQ(Run("RANGE(s, 'ab!', 'b')"), "3 6");
    EXPECT_EQ(Run("'it''s' = \"it's\""), "1 2 3 4 5 6 7 8 9");
}

TEST_F(Conditions, NamesShortOrLongInAnyCase) {
    EXPECT_EQ(Run("ALPHA = 1"), "2 5 8");
    EXPECT_EQ(Run("Alpha = 1 and a eq 1 AND alpha GE 1"), "2 5 8");
    EXPECT_EQ(Run("SurName = 'zz'"), "9");
}

TEST_F(Conditions, DatesInTheVariablesFormatAndDateDmy) {
    EXPECT_EQ(Run("d = 1990/01/31"), "2");
    EXPECT_EQ(Run("d >= 1990/1/31 AND d < DATE.DMY(1, 3, 1990)"), "2 3");
    EXPECT_EQ(Run("ANY(d, 1990/02/01, '1990/01/31')"), "2 3");
    EXPECT_EQ(Run("d = 1990/02/30"),
              "error: 5 「1990/02/30」は SDATE の日付として読めません(例: 1990/01/31)");
    // Away from a date variable the same run is arithmetic.
    EXPECT_EQ(Run("a = 10/10"), "2 5 8");
    EXPECT_EQ(Run("a = 1-JAN-1990"), "error: 7 「JAN」という変数はありません");
    // DATE.DMY runs days on past the month's end (typed dates do not).
    EXPECT_EQ(
        Run("DATE.DMY(30, 2, 1990) = DATE.DMY(2, 3, 1990) AND SYSMIS(DATE.DMY(a - 1, 1, 90))"),
        "1 3 4 6 7 9");

    EXPECT_EQ(lv::DateSeconds(15, 10, 1582), 86400.0);
    EXPECT_EQ(lv::DateSeconds(0, 13, 1989), lv::DateSeconds(31, 12, 1989));
    EXPECT_EQ(lv::DateSeconds(1, 1, 1970), 12219379200.0);
    EXPECT_EQ(lv::DateSeconds(29, 2, 2000), lv::DateSeconds(1, 3, 2000).value() - 86400);
    EXPECT_FALSE(lv::DateSeconds(32, 1, 1990));
    EXPECT_FALSE(lv::DateSeconds(1.5, 1, 1990));
    EXPECT_FALSE(lv::DateSeconds(14, 10, 1582));
    EXPECT_FALSE(lv::ParseFormattedDate("1900/02/29", SPSS_FMT_SDATE));
    const double day = *lv::DateSeconds(31, 1, 1990);
    EXPECT_EQ(lv::ParseFormattedDate("31-JAN-1990", SPSS_FMT_DATE), day);
    EXPECT_EQ(lv::ParseFormattedDate("01/31/1990", SPSS_FMT_ADATE), day);
    EXPECT_EQ(lv::ParseFormattedDate("31.01.1990", SPSS_FMT_EDATE), day);
    EXPECT_EQ(lv::ParseFormattedDate("1990031", SPSS_FMT_JDATE), day);
    EXPECT_EQ(lv::ParseFormattedDate("1990/01/31", SPSS_FMT_ADATE), day);
    EXPECT_EQ(lv::ParseFormattedDate("31-January-1990 01:02:03.5", SPSS_FMT_DATE_TIME),
              day + 3723.5);
    EXPECT_EQ(lv::ParseFormattedDate("1990-01-31 01:02", SPSS_FMT_YMDHMS), day + 3720);
    EXPECT_EQ(lv::ParseFormattedDate("25:00:00", SPSS_FMT_TIME), 90000.0);
    EXPECT_EQ(lv::ParseFormattedDate("2 01:00", SPSS_FMT_DTIME), 176400.0);
    EXPECT_FALSE(lv::ParseFormattedDate("12:60", SPSS_FMT_TIME));
    EXPECT_FALSE(lv::ParseFormattedDate("1990/01/31 12:00", SPSS_FMT_SDATE));
    EXPECT_FALSE(lv::ParseFormattedDate("31-FOO-1990", SPSS_FMT_DATE));
    EXPECT_FALSE(lv::ParseFormattedDate("1-JAN-1" + std::string(400, '0'), SPSS_FMT_DATE));
    // A two-digit year means the year the print formats show with those digits.
    for (const char* typed : {"31-JAN-00", "31-JAN-50", "31-JAN-99"}) {
        std::string shown;
        lv::FormatRender({SPSS_FMT_DATE, 9, 0}, 0)
            .AppendNumber(shown, *lv::ParseFormattedDate(typed, SPSS_FMT_DATE));
        EXPECT_EQ(shown, typed);
    }
}

// What the statistics windows hand to the filter: each selects exactly the
// cases holding the value, user-missing, system-missing, date and quoted.
TEST_F(Conditions, ValueConditionsSelectTheirValueOnly) {
    using K = lv::ConditionValue::Kind;
    const auto of = [](const char* name, K kind, double number = 0, std::string_view text = {}) {
        return lv::ValueCondition(name, lv::ConditionValue{kind, number, text});
    };
    EXPECT_EQ(Run(of("A", K::Number, 1)), "2 5 8");
    EXPECT_EQ(Run(of("U", K::UserMissingNumber, 9)), "1 5");
    EXPECT_EQ(Run(of("alpha", K::SystemMissing)), "3 6 9");
    EXPECT_EQ(Run(of("D", K::Number, *lv::DateSeconds(31, 1, 1990))), "2");
    EXPECT_EQ(Run(of("B", K::Number, -0.1)), "");
    EXPECT_EQ(Run(of("S", K::Text, 0, "ab")), "1 2 8");
    EXPECT_EQ(Run(of("S", K::Text, 0, "it's")), "");
    EXPECT_EQ(Run(lv::BothConditions(of("A", K::Number, 1), of("B", K::Number, 1))), "5");
}

// Cases: (a, b) = (0,0) (1,0) (M,0) (0,1) (1,1) (M,1) (0,M) (1,M) (M,M);
// u = 9 (user-missing) 1 2 M 9 0 0 0 5.
TEST_F(Conditions, ArithmeticAndStatisticsFollowSpssMissingValueRules) {
    const std::pair<const char*, const char*> cases[] = {
        {"2 ** 3 ** 2 = 64 AND -2 ** 2 = -4 AND 2 ** -1 = 0.5 AND a = 1", "2 5 8"},
        {"a ** 0 = 1", "2 3 5 6 8 9"},   // even a missing a; 0 ** 0 is missing
        {"0 ** b = 0", "4 5 6 7 8 9"},   // 0 ** 0 is missing
        {"EXP(a * 1000) > 0", "1 4 7"},  // overflow is missing
        {"SQRT(a - 1) = 0 OR LN(a) = 0 OR LG10(a - 1) < 0", "2 5 8"},
        {"MOD(a, b) = 0", "4 5 7"},  // MOD(0, missing) is 0; MOD(x, 0) missing
        {"RND(a + 1.5) = 3 AND TRUNC(-2.7) = -2 AND RND(7, 5) = 5 AND ABS(-a) = 1", "2 5 8"},
        {"SUM(a, b) = 1", "2 4 6 8"},
        {"SUM.2(a, b) = 1", "2 4"},
        {"SD(a TO b) > 0.7 AND VARIANCE(a, b) = 0.5 AND CFVAR(a, b) > 1.41", "2 4"},
        {"MEAN.3(a TO u) >= 0", "2"},
        {"NMISS(a, u) = 0 AND NVALID(a, u) = 2", "2 7 8"},
        {"MIN(a, b) = 0 AND MAX(a, b) = 1", "2 4"},
        {"$CASENUM = 3 OR $CASENUM > 8 OR SYSMIS($SYSMIS) AND a = 0", "1 3 4 7 9"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Run(text), expected) << text;
}

// s (A8) = "ab", "ab   ", "ab!", "ab\x01", "", "b", "a", "ab", "zz".
TEST_F(Conditions, StringFunctionsSeeTheValueAtItsWidth) {
    const std::pair<const char*, const char*> cases[] = {
        {"LENGTH(s) = 8", "1 2 3 4 5 6 7 8 9"},
        {"LENGTH(RTRIM(s)) = 2", "1 2 8 9"},
        {"CONCAT(s, 'x') = 'ab      x'", "1 2 8"},
        {"UPCASE(s) = 'AB' AND LOWER('AB') = 'ab'", "1 2 8"},
        {"INDEX(s, 'b') = 2 AND RINDEX(s, 'b') = 2 AND INDEX(s, 'xyb!', 2) = 2", "3"},
        {"SUBSTR(s, 2, 1) = 'b' AND SUBSTR(s, 3) = '!'", "3"},
        {"REPLACE(s, 'b', 'c') = 'ac' AND LTRIM('  x') = 'x' AND RTRIM('x**', '*') = 'x'", "1 2 8"},
        {"MAX(s, 'b') = 'b'", "1 2 3 4 5 6 7 8"},
        {"CHAR.LENGTH(RTRIM(CONCAT('日本', s))) = 4 AND LENGTH('日本') = 6", "1 2 8 9"},
        {"CHAR.SUBSTR('日本語', 2, 1) = '本' AND CHAR.INDEX('日本語', '語') = 3 AND a = 1",
         "2 5 8"},
        {"ＡＬＰＨＡ　＞＝　１　ＡＮＤ　ｓ　＝　＇ａｂ＇", ""},  // the quoted text as typed
        {"ａｌｐｈａ　＞＝　１", "2 5 8"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Run(text), expected) << text;
}

// d = 0 (14 October 1582), 31 January 1990, 1 February 1990, M, then 0.
TEST_F(Conditions, DateFunctionsCountOnTheOneCalendar) {
    const std::pair<const char*, const char*> cases[] = {
        {"XDATE.YEAR(d) = 1990 AND XDATE.MONTH(d) = 1 AND XDATE.MDAY(d) = 31 AND "
         "XDATE.JDAY(d) = 31 AND XDATE.WKDAY(d) = 4",
         "2"},
        {"XDATE.WEEK(d) = 5 AND XDATE.QUARTER(d) = 1", "2 3"},
        {"XDATE.WKDAY(d) = 5 AND XDATE.YEAR(d) = 1582 AND XDATE.TDAY(d) = 0", "1 5 6 7 8 9"},
        {"XDATE.HOUR(d + 3723) = 1 AND XDATE.MINUTE(d + 3723) = 2 AND XDATE.SECOND(d + 3723) = 3 "
         "AND XDATE.TIME(d + 3723) = 3723 AND XDATE.DATE(d + 3723) = d AND a = 1",
         "2 5 8"},
        {"DATEDIFF(d, DATE.DMY(1, 1, 1990), 'days') = 30", "2"},
        {"DATEDIFF(DATE.DMY(28, 2, 1990), d, 'months') = 0", "2 3"},
        {"DATEDIFF(DATE.DMY(1, 2, 1991), d, 'years') = 1", "2 3"},
        {"DATESUM(d, 1, 'months') = DATE.DMY(28, 2, 1990)", "2"},
        {"DATESUM(d, 1, 'months', 'rollover') = DATE.DMY(3, 3, 1990)", "2"},
        {"DATE.YRDAY(1990, 31) = d OR DATE.MDY(2, 1, 1990) = d AND DATE.YMD(1990, 2, 1) = d AND "
         "DATE.MOYR(2, 1990) = d",
         "2 3"},
        {"DATE.QYR(1, 1990) = DATE.WKYR(1, 1990) AND TIME.HMS(1, 2, 3) = 3723 AND "
         "SYSMIS(TIME.HMS(1, -2, 3)) AND CTIME.HOURS(TIME.DAYS(1)) = 24 AND a = 1",
         "2 5 8"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Run(text), expected) << text;
}

TEST_F(Conditions, BadConditionsSayWhereAndWhatWasExpected) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "error: 1 値、変数名、関数または「(」が必要ですが、条件がここで終わっています"},
        {"a = (1", "error: 7 「)」が必要ですが、条件がここで終わっています"},
        {"a = 1 b", "error: 7 演算子か条件の終わりが必要ですが、「b」があります"},
        {"a == 1", "error: 4 値、変数名、関数または「(」が必要ですが、「=」があります"},
        {"s = 'ab", "error: 5 文字列の終わりの ' がありません"},
        {"a ? 1", "error: 3 「?」は使えません"},
        {"年齢 > 1", "error: 1 「年齢」という変数はありません"},
        {"a > 1 AND 年齢 > 1", "error: 11 「年齢」という変数はありません"},
        {"s > 1", "error: 3 文字列と数値は比べられません"},
        {"s + 1 = 2", "error: 3 文字列は計算に使えません"},
        {"s AND a = 1", "error: 3 AND の両側には条件が必要です(文字列は使えません)"},
        {"s", "error: 1 条件が文字列です:値と比べる式にしてください"},
        {"SYSMIS(s)", "error: 1 SYSMIS の引数は数値です(文字列に欠損値はありません)"},
        {"VALUE(a + 1) = 1", "error: 1 VALUE の引数は変数名です"},
        {"RANGE(a, 1)", "error: 1 RANGE の引数は値と、下限と上限の組です"},
        {"ANY(a, 'x')", "error: 8 ANY の引数に文字列と数値が混ざっています"},
        {"SUM(u TO a) > 1", "error: 5 u はファイルで a より後にあります:a TO u と書いてください"},
        {"SUM(a TO s) > 1", "error: 5 TO の引数に文字列と数値が混ざっています"},
        {"SUM(a TO 1) > 1", "error: 10 TO の後の変数名が必要ですが、「1」があります"},
        {"SUM(a + 1 TO b) > 1", "error: 11 TO は二つの変数名の間に書きます(q1 TO q5)"},
        {"ABS(s) = 1", "error: 5 ABS の 1 番目の引数は数値です"},
        {"SUBSTR(s, s) = 'x'", "error: 11 SUBSTR の 2 番目の引数は数値です"},
        {"LENGTH(a) = 1", "error: 8 LENGTH の 1 番目の引数は文字列です"},
        {"ABS(a, b) = 1", "error: 1 ABS の引数は 1 個です"},
        {"LAG() = 1", "error: 1 LAG の引数は変数名と、何ケース前か(1 以上)です"},
        {"LAG(a, 1.5) = 1", "error: 1 LAG の引数は変数名と、何ケース前か(1 以上)です"},
        {"VALUELABEL(a + 1) = 'x'", "error: 1 VALUELABEL の引数は変数名です"},
        {"NUMBER(s, F8.9) = 1", "error: 11 「F8.9」は NUMBER が読める書式ではありません"},
        {"STRING(a, A8) = 'x'", "error: 11 「A8」は STRING が書ける書式ではありません"},
        {"RND() = 1", "error: 1 RND の引数は 1〜3 個です"},
        {"MEAN.3(a, b) > 1", "error: 1 MEAN.3 は有効な値を 3 個求めていますが、引数は 2 個です"},
        {"ABS.2(a) > 1", "error: 1 「ABS.2」という関数はありません(使えるのは MISSING, SYSMIS, "},
        {"DATEDIFF(d, d, 'fortnights') = 0",
         "error: 16 「fortnights」は単位ではありません(years, quarters, months, weeks, days, "
         "hours, "
         "minutes, seconds)"},
        {"ａ　＝　（１", "error: 7 「)」が必要ですが、条件がここで終わっています"},
        {"a = 1990/01/", "error: 5 「1990/01/」は数値としても日付としても読めません"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Run(text).substr(0, std::string_view(expected).size()), expected) << text;
}

TEST_F(Conditions, HostileConditionsGiveAMessageNeverACrash) {
    const std::string deep = std::string(10000, '(') + "a = 1" + std::string(10000, ')');
    EXPECT_EQ(Run(deep), "error: 101 括弧の入れ子が深すぎます(100 段まで)");
    EXPECT_EQ(Run(std::string(10000, '(')), "error: 101 括弧の入れ子が深すぎます(100 段まで)");
    std::string calls;
    for (int i = 0; i < 200; ++i) calls += "SYSMIS(";
    EXPECT_EQ(Run(calls + "a" + std::string(200, ')')).substr(0, 11), "error: 707 ");
    EXPECT_EQ(Run(std::string(70000, ' ') + "a = 1"),
              "error: 1 条件が長すぎます(65536 バイトまで)");

    // Long but shallow: every term runs, without a deep stack anywhere.
    std::string chain = "a = 5";
    while (chain.size() < 60000) chain += " OR a = 5";
    EXPECT_EQ(Run(chain + " OR b = 1"), "4 5 6");
    std::string sum = "a";
    while (sum.size() < 60000) sum += "+a";
    EXPECT_EQ(Run(sum + " = 0"), "1 4 7");
    EXPECT_EQ(Run(std::string(30000, '-') + "a = 1"), "2 5 8");
    std::string nots;
    for (int i = 0; i < 10000; ++i) nots += "NOT ";
    EXPECT_EQ(Run(nots + "a = 1"), "2 5 8");

    EXPECT_EQ(Run(std::string("a = 1\0 OR 1", 11)), "error: 6 制御文字 (0x00) は使えません");
    // An overflow is system-missing, as in SPSS, not a huge number.
    EXPECT_EQ(Run("a = 1e999 OR a = 1e-999 OR b / 1e-300 / 1e-300 > 0"), "1 4 7");
    EXPECT_EQ(Run("b * 1e300 * 1e300 > 0 OR -b * 1e300 * 1e300 < 0"), "");
}

TEST_F(Conditions, NumberReadsEachFormatAsADataField) {
    const auto read = [](const char* text, const char* format) {
        return lv::ReadFormattedNumber(text, *lv::ParseFormatText(format));
    };
    EXPECT_EQ(read("123", "F8.2"), 1.23);  // decimals implied without a point
    EXPECT_EQ(read(" -1.5e2 ", "F8.2"), -150);
    EXPECT_EQ(read("1,234.5", "COMMA8.1"), 1234.5);
    EXPECT_EQ(read("1.234,5", "DOT8.1"), 1234.5);
    EXPECT_EQ(read("$1,000", "DOLLAR8"), 1000);
    EXPECT_EQ(read("45%", "PCT4"), 45);
    EXPECT_EQ(read("0042", "N4"), 42);
    EXPECT_EQ(read("12345", "F3"), 123);  // the field is the format's width
    EXPECT_EQ(read("31-JAN-1990", "DATE11"), *lv::DateSeconds(31, 1, 1990));
    for (const char* bad : {"", "  ", "1,5", "4a", "-"}) EXPECT_EQ(read(bad, "F8"), M) << bad;
    EXPECT_EQ(read("-1", "N4"), M);
    EXPECT_FALSE(lv::ParseFormatText("F41"));
    EXPECT_FALSE(lv::ParseFormatText("F8.8"));
    EXPECT_FALSE(lv::ParseFormatText("Q8"));
}

TEST_F(Conditions, LagCarriesOverBlocksInFileOrderOnly) {
    auto compiled = lv::CompileExpression("LAG(U, 2)", lv::ConditionVariablesOf(vars_), "UTF-8");
    const lv::Condition& lag = std::get<lv::Condition>(compiled);
    lv::ConditionBlock block;
    block.numbers = {numbers_[2].data()};
    block.strings = {nullptr};
    block.rows = 3;
    std::vector<double> got;
    const auto run = [&](uint32_t first) {
        lag.Evaluate(
            block, first, [&](uint32_t, double v) { got.push_back(v); },
            [](uint32_t, std::string_view) {});
    };
    run(0);
    run(3);  // goes on from 9 (user-missing), 1, 2: two cases back are 1, 2, 9
    run(9);  // not the next case: nothing earlier is known
    EXPECT_EQ(got, (std::vector<double>{M, M, M, 1, 2, M, M, M, M}));
}

TEST_F(Conditions, CompletionOffersNamesAndFindsTheWordBeingTyped) {
    const std::vector<std::string> words =
        lv::ConditionWords(lv::ConditionVariablesOf(vars_), "UTF-8");
    EXPECT_EQ(words.front(), "alpha");
    for (const char* w : {"MEAN(", "XDATE.YEAR(", "MISSING(", "$CASENUM"})
        EXPECT_NE(std::find(words.begin(), words.end(), w), words.end()) << w;
    const auto start = [](std::string_view text) { return lv::WordStart(text, text.size()); };
    EXPECT_EQ(start("MEAN(al"), 5u);
    EXPECT_EQ(start("a > 1 AND xdate.ye"), 10u);
    EXPECT_EQ(start("問１ ＝ １ ＡＮＤ　ａｌ"), 27u);  // after the full-width space
    EXPECT_EQ(start("a = 12"), 6u);                    // a number: nothing
    EXPECT_EQ(start("s = 'al"), 7u);                   // inside a string: nothing
    EXPECT_EQ(start("s = 'x' AND al"), 12u);
}

TEST(RowOrderSelection, ShowsTheSelectedRowsInTheOrderTheyStand) {
    lv::RowOrder order;
    order.Reset(6);
    order.Select({1, 3, 4});
    EXPECT_EQ(order.size(), 3u);
    EXPECT_EQ(order.fileRowCount(), 6u);
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{1, 3, 4}));
    EXPECT_EQ(order.DisplayRowOf(3), 1u);
    EXPECT_EQ(order.DisplayRowOf(2), lv::RowOrder::kNotShown);

    // A sort of the rows shown moves them among the selected rows' places;
    // the others keep theirs, and show again in them.
    order.Assign({4, 1, 3});
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{4, 1, 3}));
    order.Move(0, 2);
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{1, 3, 4}));
    order.Move(2, 0);
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{4, 1, 3}));
    order.ClearSelection();
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{0, 2, 4, 1, 3, 5}));

    // A selection made on a sorted order follows it, and outlives Unsort.
    order.Select({5, 4, 0});
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{0, 4, 5}));
    order.Assign({5, 4, 3, 2, 1, 0});
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{5, 4, 0}));
    order.Unsort();
    EXPECT_EQ(order.All(), (std::vector<uint32_t>{0, 4, 5}));
    EXPECT_TRUE(order.identity());
    std::vector<uint32_t> rows(2);
    order.Rows(1, rows);
    EXPECT_EQ(rows, (std::vector<uint32_t>{4, 5}));
    order.Select({});
    EXPECT_EQ(order.size(), 0u);
}

}  // namespace
