// lorivane-dump codebook: the document parses as strict XML, every count,
// percent and statistic in it is freq --json's for the same variable and
// cases, and the file's texts stay text whatever they hold.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cli/dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

using nlohmann::json;

// What the script tests/support/<reader> prints of the document at path
// (null when it failed).
json ReadBack(const char* reader, const std::string& path) {
    const std::string command =
        std::string("python3 " LORIVANE_SOURCE_DIR "/tests/support/") + reader + " '" + path + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    return pclose(pipe) == 0 ? json::parse(out) : json();
}

// The document read back by read_codebook.py (null when the strict parse
// failed).
json ReadCodebook(const std::string& path) {
    return ReadBack("read_codebook.py", path);
}

json Codebook(const std::vector<std::string>& args) {
    const DumpResult r = RunDump(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return ReadCodebook(args[2]);
}

// freq --json of the document's variables, one table per variable.
json FreqOf(const std::string& path, const json& book, const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"freq", "--json", path};
    for (const json& v : book["variables"]) args.push_back(v["name"]);
    args.insert(args.end(), more.begin(), more.end());
    const DumpResult r = RunDump(args);
    EXPECT_EQ(r.status, 0) << r.err;
    json tables = json::parse(r.out);
    return tables.is_array() ? tables : json::array({tables});
}

bool SameValue(const json& freqRow, const json& bookRow) {
    const json& value = freqRow["value"];
    if (value.is_null() || bookRow["value"].is_null()) return false;
    if (value.is_string()) return value.get<std::string>() == bookRow["value"].get<std::string>();
    return value.get<double>() == std::stod(bookRow["value"].get<std::string>());
}

void ExpectSameFigures(const json& book, const json& freq) {
    ASSERT_EQ(book["variables"].size(), freq.size());
    for (size_t i = 0; i < freq.size(); ++i) {
        const json& v = book["variables"][i];
        const json& t = freq[i];
        SCOPED_TRACE(v["name"].get<std::string>());
        EXPECT_DOUBLE_EQ(v["totals"]["valid"]["count"].get<double>(), t["valid"].get<double>());
        EXPECT_DOUBLE_EQ(v["totals"]["total"]["count"].get<double>(), t["total"].get<double>());
        for (const char* key : {"valid", "missing_user", "missing_system", "total"})
            EXPECT_EQ(v["totals"][key]["cases"], t["cases"][key]) << key;
        size_t matched = 0, valueRows = 0;
        bool more = false;
        for (const json& f : t["rows"]) {
            if (f.contains("more_values")) more = true;
            if (f["value"].is_null()) continue;
            ++valueRows;
            for (const json& row : v["values"]) {
                if (!SameValue(f, row)) continue;
                ++matched;
                EXPECT_DOUBLE_EQ(row["count"].get<double>(), f["count"].get<double>());
                EXPECT_EQ(row["cases"], f["cases"]);
                EXPECT_DOUBLE_EQ(row["percent"].get<double>(), f["percent"].get<double>());
            }
        }
        if (v["frequent"].empty()) {
            EXPECT_EQ(matched, valueRows);  // every value listed
        } else if (!more) {
            double largest = 0;
            for (const json& f : t["rows"])
                if (!f["value"].is_null() && f["missing"].is_null())
                    largest = std::max(largest, f["count"].get<double>());
            EXPECT_DOUBLE_EQ(v["frequent"][0]["count"].get<double>(), largest);
            EXPECT_EQ(v["distinct"], t["distinct"]);
        }
        for (const auto& [key, figure] : v["statistics"].items()) {
            if (key == "valid") continue;
            const json& expected = t["statistics"][key];
            EXPECT_EQ(figure["number"].is_null(), expected.is_null()) << key;
            if (expected.is_number() && figure["number"].is_number()) {
                EXPECT_DOUBLE_EQ(figure["number"].get<double>(), expected.get<double>()) << key;
            }
            if (t["statistics"].contains("text")) {  // dates and durations as freq shows them
                EXPECT_EQ(figure["text"], t["statistics"]["text"][key]) << key;
            }
        }
    }
}

TEST(DumpCodebook, CorpusFiguresAreFreqs) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    for (const char* name :
         {"spss12_spssio_weight.sav", "spss25_sample_missing.sav", "spss21_dates.sav",
          "spss24_korean_weight_276vars.sav", "spss21_mrsets_alltypes.sav"}) {
        SCOPED_TRACE(name);
        const std::string path = fixture::CorpusPath(name);
        const std::string out = fixture::TempDir() + "/corpus-codebook.html";
        const json book = Codebook({"codebook", path, out});
        ASSERT_FALSE(book.is_null()) << "not well-formed: " << out;
        ExpectSameFigures(book, FreqOf(path, book));
    }
}

std::string LabelledFile() {
    fixture::File f;
    f.variables = {fixture::Numeric("Q", {5, 3, 0}), fixture::String("S", 4),
                   fixture::Numeric("W", {5, 8, 2})};
    f.variables[0].label = "<b>bold</b> & 'q'";
    f.variables[0].missing.discrete = {9};
    f.weightVariable = 2;
    f.valueLabels = {
        {{0}, {{1, "<script>alert(1)</script>"}, {2, "</td></tr> & co"}, {3, "none"}}, {}},
        {{1}, {}, {{"a", "x\x01y"}}}};
    f.cases = {{1.0, std::string("a"), 2.0},
               {2.0, std::string("b"), 1.5},
               {9.0, std::string("a"), 1.0},
               {fixture::kSysmis, std::string("b"), 1.0},
               {2.0, std::string("a"), 0.0}};
    return fixture::WriteFile(f, fixture::TempDir() + "/codebook-labels.sav");
}

TEST(DumpCodebook, TextsStayTextAndCountsAreWeightedBesideCases) {
    const std::string path = LabelledFile();
    const std::string out = fixture::TempDir() + "/labels.html";
    const json book = Codebook({"codebook", path, out});
    ASSERT_FALSE(book.is_null()) << "not well-formed: " << out;
    for (const char* tag : {"script", "b"})
        EXPECT_EQ(std::count(book["tags"].begin(), book["tags"].end(), tag), 0) << tag;
    const json& q = book["variables"][0];
    EXPECT_NE(q["heading"].get<std::string>().find("<b>bold</b> & 'q'"), std::string::npos);
    ASSERT_EQ(q["values"].size(), 4u);  // 1, 2, the unused labelled 3, the user-missing 9
    EXPECT_EQ(q["values"][0]["cells"][1], "<script>alert(1)</script>");
    EXPECT_EQ(q["values"][1]["cells"][1], "</td></tr> & co");
    EXPECT_EQ(q["values"][2]["cells"][1], "none");
    EXPECT_EQ(q["values"][2]["cases"], 0);
    EXPECT_EQ(q["values"][3]["missing"], "user");
    EXPECT_DOUBLE_EQ(q["values"][1]["count"].get<double>(), 1.5);  // the weight
    EXPECT_EQ(q["values"][1]["cells"][4], "1");                    // and the case
    EXPECT_EQ(q["svg_texts"][0].get<std::string>().rfind("<script>", 0), 0u);
    // A control character, which XML cannot hold, is shown as U+FFFD.
    EXPECT_EQ(book["variables"][1]["values"][0]["cells"][1], "x\xEF\xBF\xBDy");
    ExpectSameFigures(book, FreqOf(path, book));

    const json chosen =
        Codebook({"codebook", path, out, "--where", "S = 'a'", "--vars", "S,Q", "--unweighted"});
    ASSERT_EQ(chosen["variables"].size(), 2u);
    EXPECT_EQ(chosen["variables"][0]["name"], "Q");  // dictionary order
    EXPECT_EQ(chosen["title"]["条件"], "S = 'a'");
    ExpectSameFigures(chosen, FreqOf(path, chosen, {"--where", "S = 'a'", "--unweighted"}));
}

// The PDF read back by poppler's tools (tests/support/read_codebook_pdf.py).
json ReadPdf(const std::string& path) {
    return ReadBack("read_codebook_pdf.py", path);
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char ch : text + " ") {
        if (ch == ' ' || ch == '\n') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    return words;
}

// Whether a line of text holds words one after another.
bool LineHolds(const std::string& text, const std::vector<std::string>& words) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> line = Words(text.substr(start, end - start));
        if (std::search(line.begin(), line.end(), words.begin(), words.end()) != line.end())
            return true;
        start = end + 1;
    }
    return false;
}

// Each variable of the HTML document (whose figures are freq's) has its
// bookmark, on the page its section begins, and its section shows the same
// counts, percents and statistics; every font is embedded.
void ExpectPdfShowsBook(const json& pdf, const json& book) {
    const json& outline = pdf["outline"];
    const json& pages = pdf["pages"];
    ASSERT_EQ(outline.size(), book["variables"].size());
    for (size_t i = 0; i < outline.size(); ++i) {
        const json& v = book["variables"][i];
        SCOPED_TRACE(v["name"].get<std::string>());
        const size_t first = outline[i]["page"].get<size_t>() - 1;
        const size_t last =
            i + 1 < outline.size() ? outline[i + 1]["page"].get<size_t>() - 1 : pages.size();
        ASSERT_LT(first, last);
        std::string section;
        for (size_t p = first; p < last; ++p) section += pages[p].get<std::string>();
        EXPECT_EQ(Words(outline[i]["title"])[0], Words(v["heading"])[0]);
        std::string all, heading;  // without the spaces and line breaks a wrap puts in
        for (const std::string& w : Words(section)) all += w;
        for (const std::string& w : Words(v["heading"])) heading += w;
        EXPECT_NE(all.find(heading), std::string::npos) << v["heading"];
        for (const char* list : {"values", "frequent"}) {
            for (const json& row : v[list]) {
                std::string figures;
                for (size_t k = 2; k < row["cells"].size(); ++k)
                    figures += row["cells"][k].get<std::string>() + " ";
                EXPECT_TRUE(LineHolds(section, Words(figures))) << figures;
            }
        }
        for (const auto& [key, figure] : v["statistics"].items())
            EXPECT_TRUE(LineHolds(section, Words(figure["text"]))) << key;
    }
    ASSERT_FALSE(pdf["fonts"].empty());
    for (const json& font : pdf["fonts"]) EXPECT_TRUE(font["embedded"]) << font["name"];
}

bool HavePoppler() {
    return std::system(
               "command -v pdftotext >/dev/null && command -v pdftohtml >/dev/null && "
               "command -v pdffonts >/dev/null") == 0;
}

TEST(DumpCodebook, CorpusPdfShowsTheFiguresWithBookmarksAndEmbeddedFonts) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    if (!HavePoppler()) GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    for (const char* name : {"spss12_spssio_weight.sav", "spss25_sample_missing.sav",
                             "spss21_dates.sav", "spss24_korean_weight_276vars.sav",
                             "spss21_mrsets_alltypes.sav", "spss27_telugu_utf8.sav"}) {
        SCOPED_TRACE(name);
        const std::string path = fixture::CorpusPath(name);
        const std::string html = fixture::TempDir() + "/corpus-codebook.html";
        const std::string pdf = fixture::TempDir() + "/corpus-codebook.pdf";
        const json book = Codebook({"codebook", path, html});
        ASSERT_FALSE(book.is_null());
        ExpectSameFigures(book, FreqOf(path, book));
        const DumpResult r = RunDump({"codebook", path, pdf});
        if (r.err.find("HTML only in this build") != std::string::npos)
            GTEST_SKIP() << "this build's tool writes no PDF (built without Qt)";
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const json read = ReadPdf(pdf);
        ASSERT_FALSE(read.is_null()) << "poppler could not read " << pdf;
        ExpectPdfShowsBook(read, book);
    }
}

TEST(DumpCodebook, RefusalsLeaveNothing) {
    const std::string path = LabelledFile();
    const std::string out = fixture::TempDir() + "/refused.html";
    std::remove(out.c_str());
    DumpResult r = RunDump({"codebook", path, fixture::TempDir() + "/book.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("name OUT .html"), std::string::npos) << r.err;
    r = RunDump({"codebook", path, out, "--vars", "NOPE"});
    EXPECT_EQ(r.status, 1);
    r = RunDump({"codebook", path, out, "--where", "Q >"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(access(out.c_str(), F_OK), 0);
}

}  // namespace
