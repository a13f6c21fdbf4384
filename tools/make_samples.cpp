// Writes the bundled sample files with our fixture writer: one survey in
// UTF-8 and the same survey in CP932 (Shift-JIS), with Japanese labels and
// values, dates, value labels and missing values of every kind, documents,
// file attributes and variable sets; and a small file of shop visits whose
// variables hold dates, times, currencies and the other print formats.
// Usage: make_samples DIR
#include <cmath>
#include <iostream>
#include <string>

#include "core/text/display_encoding.h"
#include "tests/support/savfixture.h"

namespace {

// 2024-04-01 and friends, in seconds since 14 October 1582.
constexpr double kDay = 86400.0;
constexpr double k19700101 = 12219379200.0;
double Date(int daysSince1970) {
    return k19700101 + daysSince1970 * kDay;
}

fixture::Variable Numeric(const std::string& name, fixture::Format format,
                          const std::string& label) {
    fixture::Variable v;
    v.name = name;
    v.print = format;
    v.label = label;
    return v;
}

fixture::Variable String(const std::string& name, int width, const std::string& label) {
    fixture::Variable v;
    v.name = name;
    v.width = width;
    v.print = {1, width, 0};
    v.label = label;
    return v;
}

// The survey with its texts in UTF-8; Encode turns every text into the
// target encoding.
fixture::File Survey(const std::string& encoding) {
    const auto E = [&](const std::string& utf8) { return lv::FromUtf8(utf8, encoding).value(); };
    fixture::File f;
    f.product = "@(#) SPSS DATA FILE Lorivane sample maker";
    f.date = "01 Apr 24";
    f.time = "09:30:00";
    f.fileLabel = E("顧客満足度調査 2024年春");

    auto id = Numeric("ID", {5, 4, 0}, E("回答者番号"));
    id.longName = "RespondentId";
    auto sex = Numeric("SEX", {5, 1, 0}, E("性別"));
    sex.missing.discrete = {9};
    auto age = Numeric(E("年齢"), {5, 3, 0}, E("年齢（満）"));
    age.missing.range = std::make_pair(900.0, 999.0);
    auto income = Numeric("INCOME", {5, 8, 1}, E("年収（万円）"));
    income.missing.range = std::make_pair(90000.0, 99999.0);
    income.missing.discrete = {-1};
    auto pref = String("PREF", 12, E("都道府県"));
    pref.missing.strings = {E("不明")};
    auto born = Numeric("BORN", {20, 11, 0}, E("生年月日"));
    auto visit = Numeric("VISIT", {23, 10, 0}, E("最終来店日"));
    auto score = Numeric("SCORE", {5, 5, 1}, E("満足度（5段階）"));
    score.missing.discrete = {7, 8, 9};
    auto again = Numeric("AGAIN", {5, 2, 0}, E("また利用したいか"));
    again.missing.discrete = {98, 99};
    auto comment = String("COMMENT", 40, E("自由回答"));
    comment.longName = "FreeComment";
    auto weight = Numeric("W", {5, 4, 2}, E("重み"));
    f.variables = {id, sex, age, income, pref, born, visit, score, again, comment, weight};
    f.weightVariable = 10;

    // The rest of the dictionary, for the file-information window.
    f.documents = {E("2024年4月、店頭で配布した来店客アンケートの回答。"),
                   E("年齢 900-999 と年収 90000-99999 は欠損値。")};
    f.fileAttributes = {{"Source", {E("店頭アンケート")}}, {"Wave", {"2024-1"}}};
    f.variableSets = {{E("回答者"), {"RespondentId", "SEX", E("年齢"), "INCOME", "PREF", "BORN"}},
                      {E("評価"), {"VISIT", "SCORE", "AGAIN", "FreeComment"}}};

    f.valueLabels = {
        {{1}, {{1, E("男性")}, {2, E("女性")}, {9, E("無回答")}}, {}},
        {{4}, {}, {{E("東京"), E("東京都")}, {E("大阪"), E("大阪府")}, {E("北海道"), E("北海道")}}},
        {{5}, {{Date(0), E("基準日")}}, {}},
        {{7},
         {{1, E("不満")}, {2, E("やや不満")}, {3, E("普通")}, {4, E("やや満足")}, {5, E("満足")}},
         {}},
        {{8}, {{1, E("はい")}, {2, E("いいえ")}, {98, E("わからない")}}, {}},
    };

    const double S = fixture::kSysmis;
    const auto row = [&](double i, double s, double a, double inc, const std::string& p, double b,
                         double v, double sc, double ag, const std::string& c, double w) {
        f.cases.push_back({i, s, a, inc, E(p), b, v, sc, ag, E(c), w});
    };
    row(1, 1, 34, 520.5, "東京", Date(4000), Date(19800), 4, 1, "接客が丁寧でした", 1.0);
    row(2, 2, 28, 410, "大阪", Date(6200), Date(19805), 5, 1, "また来ます！", 1.2);
    row(3, 2, 999, -1, "不明", S, Date(19790), 3, 99, "", 0.8);
    row(4, 1, 61, 95000, "北海道", Date(-3000), Date(19811), 2, 2, "待ち時間が長い", 1.0);
    row(5, 9, 45, 730.25, "東京", Date(1500), S, 8, 1, "ｱﾝｹｰﾄ用紙が小さい", 1.1);
    row(6, 2, 19, S, "大阪", Date(11800), Date(19812), 5, 98, "Good service", 0.9);
    return f;
}

// Visits to a shop, one variable per kind of print format.
fixture::File Visits() {
    fixture::File f;
    f.product = "@(#) SPSS DATA FILE Lorivane sample maker";
    f.date = "01 Apr 24";
    f.time = "09:30:00";
    f.fileLabel = "来店記録 2024年4月";
    auto stamp = Numeric("STAMP", {22, 20, 0}, "来店日時");
    auto day = Numeric("DAY", {20, 11, 0}, "来店日");
    auto weekday = Numeric("WEEKDAY", {26, 9, 0}, "曜日");
    auto month = Numeric("MONTH", {27, 3, 0}, "月");
    auto quarter = Numeric("QUARTER", {29, 8, 0}, "四半期");
    auto stay = Numeric("STAY", {21, 8, 0}, "滞在時間");
    auto wait = Numeric("WAIT", {40, 8, 1}, "待ち時間（分:秒）");
    auto spent = Numeric("SPENT", {4, 10, 2}, "支払額（ドル）");
    auto points = Numeric("POINTS", {3, 9, 0}, "ポイント");
    auto share = Numeric("SHARE", {31, 6, 1}, "割引率");
    auto ratio = Numeric("RATIO", {17, 10, 3}, "比率");
    f.variables = {stamp, day, weekday, month, quarter, stay, wait, spent, points, share, ratio};
    const double S = fixture::kSysmis;
    const auto at = [](int days, int seconds) { return Date(days) + seconds; };
    const auto row = [&](double stampAt, double dayAt, double stayFor, double waitFor,
                         double spentOn, double pointsGot, double shareOf, double ratioOf) {
        // 1 January 1970 was a Thursday (WKDAY 5).
        const bool none = dayAt == S;
        const double weekdayOf = none ? S : std::fmod((dayAt - k19700101) / kDay + 4, 7) + 1;
        const double monthOf = none ? S : 4;
        f.cases.push_back({stampAt, dayAt, weekdayOf, monthOf, dayAt, stayFor, waitFor, spentOn,
                           pointsGot, shareOf, ratioOf});
    };
    row(at(19814, 10 * 3600 + 5 * 60), Date(19814), 1520, 95.5, 1234.5, 12345, 5, 0.000123);
    row(at(19815, 13 * 3600 + 42 * 60 + 7), Date(19815), 3725, 30, 89.99, 890, 12.5, 1.5);
    row(at(19817, 9 * 3600 + 1), Date(19817), 640, S, 15, 150, 0, 12345.678);
    row(at(19820, 18 * 3600 + 59 * 60), Date(19820), 86399, 600.25, 1e6, 1000000, 100, -0.5);
    row(S, S, S, 12, S, S, S, S);
    row(at(19826, 20 * 3600 + 30 * 60), Date(19826), 300, 0, 0.5, 5, 2.25, 9.99e10);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_samples DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    fixture::File utf8 = Survey("UTF-8");
    fixture::WriteFile(utf8, dir + "/survey-utf8.sav");

    fixture::File sjis = Survey("CP932");
    sjis.encoding = "";  // no encoding record: the character code says CP932
    sjis.characterCode = 932;
    sjis.compression = fixture::Compression::None;
    fixture::WriteFile(sjis, dir + "/survey-cp932.sav");

    fixture::File zsav = Survey("UTF-8");
    zsav.compression = fixture::Compression::Zlib;
    fixture::WriteFile(zsav, dir + "/survey-utf8.zsav");
    fixture::WriteFile(Visits(), dir + "/visits.sav");
    std::cout << "wrote " << dir
              << "/survey-utf8.sav, survey-cp932.sav, survey-utf8.zsav, visits.sav\n";
    return 0;
}
