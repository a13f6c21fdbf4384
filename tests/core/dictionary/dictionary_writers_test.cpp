// The whole dictionary read from fixture files and written as JSON, as the
// CSV codebook and as the file-information lines; JSON and CSV are parsed
// back to check that they are well formed and say what the file says.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/file_dictionary.h"
#include "core/windows/file_info_lines.h"
#include "tests/support/savfixture.h"

namespace {

using nlohmann::json;

// A CP932 file: Japanese names and labels, every kind of missing value, a
// label with a comma, quotes and a line end, attributes, sets and documents.
fixture::File JapaneseFile() {
    fixture::File f;
    f.encoding = "SHIFT_JIS";
    f.characterCode = 932;
    f.fileLabel = "\x92\xb2\x8d\xb8";  // 調査
    f.documents = {"first note", "second note"};
    f.variables = {fixture::Numeric("Q1"),
                   fixture::Numeric("AGE", {5, 3, 0}),
                   fixture::Numeric("INCOME", {5, 10, 2}),
                   fixture::String("CITY", 12),
                   fixture::String("CODE", 3),
                   fixture::Numeric("BORN", {20, 11, 0})};
    f.variables[0].longName = "\x8e\xbf\x96\xe2\x82\x50";  // 質問１
    f.variables[0].label = "\x8e\xbf\x96\xe2, \"quoted\"\nnext line";
    f.variables[1].missing.range = {fixture::kLowest, 17.0};
    f.variables[1].missing.discrete = {999.0};
    f.variables[2].missing.range = {100000.0, fixture::kHighest};
    f.variables[3].missing.strings = {"unknown"};
    f.variables[4].missing.strings = {"X", "Y"};
    f.variables[0].missing.discrete = {8.0, 9.0};
    f.valueLabels = {{{0}, {{1, "\x82\xcd\x82\xa2"}, {2, "no, not=1"}}, {}},  // はい
                     {{3}, {}, {{"Tokyo", "\x93\x8c\x8b\x9e"}}}};             // 東京
    f.displayParameters = true;
    f.variables[0].display = fixture::Variable::Display{1, 10, 2};
    f.variables[0].role = 1;
    f.variables[0].attributes = {{"Note", {"a", "b"}}};
    f.fileAttributes = {{"Origin", {"\x92\xb2\x8d\xb8"}}};
    f.mrsets = {{"$set", "", true, "1", true, true, {0, 1}}};
    f.variableSets = {{"Money", {"INCOME"}}};
    f.cases = {{1.0, 30.0, 5.0, std::string("Tokyo"), std::string("X"), 0.0}};
    return f;
}

class DictionaryWriters : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = fixture::WriteFile(JapaneseFile(), fixture::TempDir() + "/ja.sav");
        ASSERT_EQ(lv::ReadFileDictionary(path_, &dict_), 0);
    }
    std::string path_;
    lv::FileDictionary dict_;
};

TEST_F(DictionaryWriters, ReadsTheEncodingAndEveryVariable) {
    EXPECT_EQ(dict_.encoding, "SHIFT_JIS");
    EXPECT_EQ(dict_.encodingRecord, "SHIFT_JIS");
    ASSERT_EQ(dict_.variables.size(), 6u);
    EXPECT_EQ(dict_.variables[0].longName, "\x8e\xbf\x96\xe2\x82\x50");
    EXPECT_EQ(dict_.variables[1].missingCode, SPSS_MISS_RANGEANDVAL);
    EXPECT_EQ(dict_.variables[0].attributes.size(), 2u);  // Note[1..2], $@Role
    EXPECT_EQ(dict_.variables[0].attributes[0].values, (std::vector<std::string>{"a", "b"}));
    // The set is labelled with its first variable's label.
    ASSERT_EQ(dict_.mrsets.size(), 1u);
    EXPECT_EQ(dict_.mrsets[0].label, dict_.variables[0].label);
}

TEST_F(DictionaryWriters, JsonParsesBackWithTheFilesTextsInUtf8) {
    const json j = json::parse(lv::DictionaryJson(dict_, dict_.encoding));
    EXPECT_EQ(j["format"], "lorivane-dictionary");
    EXPECT_EQ(j["file"]["label"], "調査");
    EXPECT_EQ(j["file"]["encoding"]["used"], "SHIFT_JIS");
    EXPECT_EQ(j["file"]["encoding"]["character_code"], 932);
    EXPECT_EQ(j["file"]["case_count"], 1);
    EXPECT_EQ(j["file"]["release"]["major"], 0);
    EXPECT_EQ(j["documents"], json({"first note", "second note"}));
    EXPECT_EQ(j["attributes"][0]["values"][0], "調査");
    EXPECT_EQ(j["variable_sets"][0]["variables"], json({"INCOME"}));

    const json& q1 = j["variables"][0];
    EXPECT_EQ(q1["position"], 1);
    EXPECT_EQ(q1["name"], "Q1");
    EXPECT_EQ(q1["long_name"], "質問１");
    EXPECT_EQ(q1["label"], "質問, \"quoted\"\nnext line");
    EXPECT_EQ(q1["print_format"], "F8.2");
    EXPECT_EQ(q1["measure"], "nominal");
    EXPECT_EQ(q1["display_width"], 10);
    EXPECT_EQ(q1["alignment"], "center");
    EXPECT_EQ(q1["role"], "target");
    EXPECT_EQ(q1["value_labels"][0], json({{"value", 1.0}, {"label", "はい"}}));
    EXPECT_EQ(q1["missing_values"], json({{"values", {8.0, 9.0}}, {"range", nullptr}}));
    EXPECT_EQ(q1["attributes"][0], json({{"name", "Note"}, {"values", {"a", "b"}}}));

    const json& age = j["variables"][1];
    EXPECT_EQ(age["print_format"], "F3.0");
    EXPECT_EQ(age["measure"], "scale");  // the fixture's default for numbers
    EXPECT_EQ(age["missing_values"]["range"], json({{"low", "LOWEST"}, {"high", 17.0}}));
    EXPECT_EQ(age["missing_values"]["values"], json({999.0}));
    EXPECT_EQ(j["variables"][2]["missing_values"]["range"]["high"], "HIGHEST");
    const json& city = j["variables"][3];
    EXPECT_EQ(city["type"], "string");
    EXPECT_EQ(city["width"], 12);
    EXPECT_EQ(city["label"], nullptr);
    EXPECT_EQ(city["value_labels"][0], json({{"value", "Tokyo"}, {"label", "東京"}}));
    EXPECT_EQ(city["missing_values"]["values"], json({"unknown"}));
    EXPECT_EQ(j["variables"][5]["print_format"], "DATE11");

    const json& set = j["multiple_response_sets"][0];
    EXPECT_EQ(set["type"], "dichotomy");
    EXPECT_EQ(set["category_labels"], "counted_values");
    EXPECT_EQ(set["label_from_first_variable"], true);
    EXPECT_EQ(set["variables"], json({"Q1", "AGE"}));
}

// Bytes that are not text in the encoding become U+FFFD; the JSON stays valid.
TEST_F(DictionaryWriters, UndecodableBytesKeepTheJsonValid) {
    dict_.variables[0].label = "ok \x81 \xff end";
    dict_.documents.push_back("\xe9\x80");
    for (const char* encoding : {"CP932", "UTF-8"}) {
        const std::string text = lv::DictionaryJson(dict_, encoding);
        json j;
        ASSERT_NO_THROW(j = json::parse(text)) << encoding;
        EXPECT_NE(j["variables"][0]["label"].get<std::string>().find("\xEF\xBF\xBD"),
                  std::string::npos);
    }
}

// RFC 4180: fields are separated by commas, records by CR LF; a field that
// holds a comma, a quote or a line end is quoted with its quotes doubled.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false, wasQuoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            EXPECT_TRUE(field.empty()) << "a quote inside an unquoted field";
            quoted = wasQuoted = true;
        } else if (c == ',') {
            rows.back().push_back(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '\r') {
            EXPECT_EQ(text[i + 1], '\n');
            rows.back().push_back(field);
            field.clear();
            wasQuoted = false;
            rows.emplace_back();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "a bare line end";
            field += c;
        }
    }
    EXPECT_FALSE(quoted);
    EXPECT_TRUE(field.empty() && !wasQuoted);
    EXPECT_TRUE(rows.back().empty());
    rows.pop_back();
    return rows;
}

TEST_F(DictionaryWriters, CodebookRowsParseBack) {
    const auto rows = ParseCsv(lv::CodebookCsv(dict_, dict_.encoding));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"position", "name", "long_name", "label", "type",
                                                 "width", "print_format", "write_format", "measure",
                                                 "role", "value_labels", "missing_values"}));
    for (const auto& row : rows) EXPECT_EQ(row.size(), 12u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "Q1", "質問１", "質問, \"quoted\"\nnext line",
                                                 "numeric", "0", "F8.2", "F8.2", "nominal",
                                                 "target", "1=はい; 2=no, not=1", "8; 9"}));
    EXPECT_EQ(rows[2][11], "LOWEST THRU 17; 999");
    EXPECT_EQ(rows[3][11], "100000 THRU HIGHEST");
    EXPECT_EQ(rows[4][10], "Tokyo=東京");
    EXPECT_EQ(rows[4][11], "\"unknown\"");
    EXPECT_EQ(rows[5][11], "\"X\"; \"Y\"");
    EXPECT_EQ(rows[6][6], "DATE11");
}

TEST_F(DictionaryWriters, FileInfoLinesLineUpTheirValues) {
    lv::LineCollector lines;
    lv::FileInfoLines(dict_, dict_.encoding, lines);
    const std::vector<std::string> bytes = lines.Bytes();
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(bytes[1], "製品:               @(#) SPSS DATA FILE Lorivane test fixture");
    EXPECT_EQ(bytes[3], "ファイルラベル:     \x92\xb2\x8d\xb8");
    EXPECT_EQ(bytes[4], "圧縮:               バイトコード");
    // Each caption takes 20 screen columns, whatever its characters.
    for (size_t i = 1; i < 12; ++i) {
        const size_t colon = bytes[i].find(": ");
        ASSERT_NE(colon, std::string::npos) << bytes[i];
        const size_t value = bytes[i].find_first_not_of(' ', colon + 1);
        EXPECT_EQ(lv::LiteralColumns(bytes[i].substr(0, value)), 20) << bytes[i];
    }
    const auto has = [&](const std::string& line) {
        return std::find(bytes.begin(), bytes.end(), line) != bytes.end();
    };
    EXPECT_TRUE(has("文書 (2)"));
    EXPECT_TRUE(has("  second note"));
    EXPECT_TRUE(has("  Origin: \x92\xb2\x8d\xb8"));
    EXPECT_TRUE(has("  Money: INCOME"));
    EXPECT_TRUE(has("    変数: Q1 AGE"));
}

TEST(FormatText, DecimalsOnlyWhereTheFormatTakesThem) {
    const std::pair<lv::PrintFormat, const char*> cases[] = {
        {{SPSS_FMT_F, 8, 2}, "F8.2"},
        {{SPSS_FMT_F, 3, 0}, "F3.0"},
        {{SPSS_FMT_A, 40, 0}, "A40"},
        {{SPSS_FMT_AHEX, 8, 0}, "AHEX8"},
        {{SPSS_FMT_DATE, 11, 0}, "DATE11"},
        {{SPSS_FMT_ADATE, 10, 0}, "ADATE10"},
        {{SPSS_FMT_DATE_TIME, 20, 0}, "DATETIME20.0"},
        {{SPSS_FMT_TIME, 11, 2}, "TIME11.2"},
        {{SPSS_FMT_WKDAY, 9, 0}, "WKDAY9"},
        {{SPSS_FMT_PIBHEX, 8, 0}, "PIBHEX8"},
        {{SPSS_FMT_RBHEX, 16, 0}, "RBHEX16.0"},
        {{SPSS_FMT_DATE, 11, 2}, "DATE11.2"},
        {{SPSS_FMT_CCE, 8, 2}, "CCE8.2"},
        {{99, 8, 0}, "?99?8.0"}};
    for (const auto& [format, text] : cases) EXPECT_EQ(lv::FormatText(format), text);
}

TEST(GroupAttributes, ArrayElementsJoinTheirAttribute) {
    const auto grouped = lv::GroupAttributes({{"A", "1"},
                                              {"Note[1]", "x"},
                                              {"Note[2]", "y"},
                                              {"B[2]", "z"},
                                              {"C[", "w"},
                                              {"Note[1]", "again"}});
    ASSERT_EQ(grouped.size(), 5u);
    EXPECT_EQ(grouped[1].name, "Note");
    EXPECT_EQ(grouped[1].values, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(grouped[2].name, "B[2]");
    EXPECT_EQ(grouped[3].name, "C[");
    EXPECT_EQ(grouped[4].values, (std::vector<std::string>{"again"}));
}

TEST(NumberText, ShortestRoundTrip) {
    EXPECT_EQ(lv::NumberText(1.0), "1");
    EXPECT_EQ(lv::NumberText(-99.0), "-99");
    EXPECT_EQ(lv::NumberText(2.5), "2.5");
    EXPECT_EQ(lv::NumberText(0.1), "0.1");
    EXPECT_EQ(lv::NumberText(100000.0), "100000");
    EXPECT_EQ(lv::NumberText(1e20), "1e+20");
    EXPECT_EQ(lv::NumberText(-1.7976931348623157e308), "-1.7976931348623157e+308");
    EXPECT_EQ(std::stod(lv::NumberText(1.0 / 3.0)), 1.0 / 3.0);
}

}  // namespace
