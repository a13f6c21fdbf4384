// The table conversion read back by independent readers (Python's csv module
// and openpyxl, through tests/support/read_table.py): every corpus file, and
// fixture files with hostile content; and its failures, which must leave
// nothing under the target's name.
#include "core/export/table_convert.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "core/export/output_file.h"
#include "core/export/xlsx_exact_numbers.h"
#include "core/export/xlsx_writer.h"
#include "core/state/errors.h"
#include "core/text/display_encoding.h"
#include "tests/core/grid/grid_support.h"
#include "tests/support/corpus.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::string Python() {
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

bool HaveOpenpyxl() {
    static const bool have =
        std::system((Python() + " -c 'import openpyxl' >/dev/null 2>&1").c_str()) == 0;
    return have;
}

#define SKIP_WITHOUT_OPENPYXL() \
    if (!HaveOpenpyxl())        \
    GTEST_SKIP() << "openpyxl is not installed (Debian package python3-openpyxl)"

const char* FormatWord(lv::TableFormat f) {
    return f == lv::TableFormat::Csv ? "csv" : f == lv::TableFormat::Tsv ? "tsv" : "xlsx";
}

json ReadBack(lv::TableFormat format, const std::string& path, const std::string& kinds) {
    const std::string command = Python() + " " LORIVANE_SOURCE_DIR "/tests/support/read_table.py " +
                                FormatWord(format) + " '" + path + "' '" + kinds + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    return status == 0 ? json::parse(out) : json{{"header", {}}, {"rows", {}}, {"formulas", 0}};
}

std::string Kinds(std::span<const lv::TableColumn> columns) {
    std::string kinds;
    for (const lv::TableColumn& c : columns) kinds += "NDTHS"[static_cast<int>(c.kind)];
    return kinds;
}

bool Dangerous(std::string_view text) {
    static const std::regex plainNumber(R"([-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?)");
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos &&
           !std::regex_match(text.begin(), text.end(), plainNumber);
}

// What a reader should find for a text: UTF-8, without NULs, with the
// apostrophe CSV and TSV put before a text that could start a formula.
std::string ExpectedText(std::string_view bytes, lv::TableFormat format) {
    std::string text = lv::ToUtf8(bytes, lv::DisplayEncoding());
    std::erase(text, '\0');
    if (format != lv::TableFormat::Xlsx && Dangerous(text)) text.insert(0, "'");
    return text;
}

// Compares one read-back cell with the stored value of grid at (row, column).
void ExpectCell(const json& got, const lv::GridData& grid, uint32_t row,
                const lv::TableColumn& column, const lv::TableOptions& options,
                const std::string& where) {
    const lv::VariableFacts& facts = *column.facts;
    if (column.kind == lv::ValueKind::String) {
        lv::StringCell cell;
        const uint32_t rows[] = {row};
        grid.store().GatherStrings(column.variable, rows, &cell);
        const std::string_view value =
            cell.state == lv::CellState::Value ? lv::WithoutTrailingBlanks(cell.stored) : "";
        const std::string* label = options.labels ? facts.LabelOf(value) : nullptr;
        const std::string expected = ExpectedText(label ? *label : value, options.format);
        if (expected.empty())
            EXPECT_TRUE(got.is_null()) << where;
        else
            EXPECT_EQ(got, expected) << where;
        return;
    }
    lv::NumberCell cell;
    const uint32_t rows[] = {row};
    grid.store().GatherNumbers(column.variable, rows, &cell);
    if (cell.state != lv::CellState::Value) {
        EXPECT_TRUE(got.is_null()) << where;
        return;
    }
    if (const std::string* label = options.labels ? facts.LabelOf(cell.value) : nullptr) {
        EXPECT_EQ(got, ExpectedText(*label, options.format)) << where;
        return;
    }
    const double v = cell.value;
    // Every number reads back as the stored double, and so does every date
    // and time of CSV and TSV, whatever its print format shows.
    if (column.kind == lv::ValueKind::Number || options.format != lv::TableFormat::Xlsx) {
        if (got.is_string() && column.kind != lv::ValueKind::Number)
            return;  // beyond the reader's calendar
        EXPECT_EQ(got.get<double>(), v) << where;
        return;
    }
    if (got.is_string()) return;  // a date the reader's calendar does not hold
    // A serial date keeps the whole value to the millisecond.
    EXPECT_NEAR(got.get<double>(), v, 1e-3) << where;
}

class TableConvertTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = fixture::TempDir(); }
    void TearDown() override { fs::remove_all(dir_); }

    // Loads path into grid_ as the window holds it, with its facts.
    void Load(const std::string& path) {
        gridtest::PrepareState(path);
        gridtest::MemoryFill fill(grid_);
        lv::LoadGrid(fill);
        std::shared_ptr<const lv::FileDictionary> dictionary;
        auto facts = lv::ReadVariableFacts(path, spssdio1::VarCount, nullptr, &dictionary);
        grid_.SetFacts(std::move(facts), std::move(dictionary));
        ASSERT_EQ(file_.Open(path), 0);
    }
    // Converts the chosen file as the tool does, through the open file.
    lv::ConvertOutcome Convert(const lv::TableOptions& options, const std::string& out,
                               lv::Progress* progress = nullptr) {
        return lv::ConvertFileCases(file_, grid_.dictionary(), grid_.facts(), options, out,
                                    progress);
    }
    void LoadFixture(const fixture::File& f) { Load(fixture::WriteFile(f, dir_ + "/in.sav")); }

    // Converts the chosen file as the tool does (one pass), reads it back and
    // compares every cell with the grid's stored values.
    void RoundTrip(const lv::TableOptions& options, const std::string& where) {
        const std::string out = dir_ + "/out." + FormatWord(options.format);
        ASSERT_EQ(Convert(options, out), lv::ConvertOutcome::Written);
        const auto columns = lv::PlanColumns(grid_.facts(), options, lv::DisplayEncoding());
        const json table = ReadBack(options.format, out, Kinds(columns));
        ASSERT_EQ(table["header"].size(), columns.size()) << where;
        for (size_t k = 0; k < columns.size(); ++k) {
            const lv::VariableFacts& facts = *columns[k].facts;
            EXPECT_EQ(
                table["header"][k],
                ExpectedText(facts.longName.empty() ? facts.name : facts.longName, options.format));
        }
        const uint32_t rows = static_cast<uint32_t>(
            lv::RowsWanted(options, grid_.namesInDataRow() ? 0 : grid_.rowCount()));
        ASSERT_EQ(table["rows"].size(), rows) << where;
        EXPECT_EQ(table["formulas"], 0) << where;
        for (uint32_t r = 0; r < rows; ++r) {
            const json row = r < table["rows"].size() ? table["rows"][r] : json::array();
            for (size_t k = 0; k < columns.size(); ++k) {
                const json cell = k < row.size() ? row[k] : json();
                ExpectCell(cell, grid_, r, columns[k], options,
                           where + " row " + std::to_string(r + 1) + " " + columns[k].facts->name);
            }
        }
    }

    std::string dir_;
    lv::GridData grid_;
    lv::ReaderHandle file_;
    gridtest::ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(TableConvertTest, CorpusFilesReadBackAsTheirValuesInCsvAndXlsx) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fixture::CorpusDir())) {
        const std::string ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".sav" && ext != ".zsav")) continue;
        const std::string path = entry.path();
        try {
            Load(path);
        } catch (const lv::ConversionError&) {
            continue;  // the grid does not show this file's values either
        }
        if (!grid_.loaded() || spssdio1::CaseCount < 0) continue;
        ++files;
        lv::TableOptions options;
        options.lastRow = 200;  // every row goes through the same code
        RoundTrip(options, path + " csv");
        if (HaveOpenpyxl()) {
            options.format = lv::TableFormat::Xlsx;
            options.labels = true;
            RoundTrip(options, path + " xlsx with labels");
        }
    }
    EXPECT_GT(files, 20);
}

TEST_F(TableConvertTest, HostileTextsSurviveEveryFormat) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::String("S", 40), gridtest::Numeric("N"), gridtest::Date("D"),
                   gridtest::String("L", 32767)};
    f.valueLabels = {{{1}, {{-1, "=SUM(A1)"}, {2, "a,\"b\"\nc"}}, {}}};
    const std::string longText(32767, 'x');
    f.cases = {
        {std::string("a,b \"quoted\""), -5.0, gridtest::SpssDate(2024, 2, 29), longText},
        {std::string("tab\there\r\nline"), -1.0, gridtest::SpssDate(1600, 3, 1), std::string("")},
        {std::string("=1+2"), 2.0, fixture::kSysmis, std::string("+x")},
        {std::string("-y"), 0.1 + 0.2, gridtest::SpssDate(1899, 12, 31), std::string("@z")},
        {std::string("back\\slash"), 1e300, gridtest::SpssDate(1900, 3, 1),
         std::string("bad \xff\xfe bytes")},
        {std::string("nul\0after", 9), 4.9e-324, 0.0, std::string("  lead")},
    };
    LoadFixture(f);
    for (const lv::TableFormat format :
         {lv::TableFormat::Csv, lv::TableFormat::Tsv, lv::TableFormat::Xlsx}) {
        if (format == lv::TableFormat::Xlsx && !HaveOpenpyxl()) continue;
        for (const bool labels : {false, true}) {
            lv::TableOptions options;
            options.format = format;
            options.labels = labels;
            options.crlf = labels;
            options.bom = labels;
            RoundTrip(options, std::string(FormatWord(format)) + (labels ? " labels" : ""));
        }
    }
    // A negative number stays a number; only texts are made harmless.
    lv::TableOptions options;
    ASSERT_EQ(Convert(options, dir_ + "/n.csv"), lv::ConvertOutcome::Written);
    const std::string csv = gridtest::ReadAll(dir_ + "/n.csv");
    EXPECT_NE(csv.find("\n\"a,b \"\"quoted\"\"\",-5,2024-02-29,"), std::string::npos);
    EXPECT_NE(csv.find("\n\"'=1+2\",2,,\"'+x\"\n"), std::string::npos);
    EXPECT_EQ(csv.find('\0'), std::string::npos);
}

// Dates and times keep the stored value whatever the print format shows
// (a time of day in a DATE, a fraction the format rounds away), and a
// one-column table's empty cell is a row of "" rather than an empty line.
TEST_F(TableConvertTest, DatesKeepEveryDigitAndALoneEmptyCellKeepsItsRow) {
    const auto numeric = [](const char* name, int type, int width, int decimals) {
        fixture::Variable v = gridtest::Numeric(name);
        v.print = {type, width, decimals};
        return v;
    };
    fixture::File f = gridtest::Basic();
    f.variables = {numeric("D", 20, 11, 0), numeric("YMD", 41, 20, 0), numeric("DT", 22, 20, 0),
                   numeric("MT", 40, 8, 1), numeric("T", 21, 5, 0)};
    const double day = gridtest::SpssDate(2024, 2, 29);
    f.cases = {{day + 45296.789, day + 0.1, day + 86399.75, 600.25, -59.5},
               {day, day + 1e-6, day - 0.5, 0.1 + 0.2, -1e-3},
               {fixture::kSysmis, fixture::kSysmis, fixture::kSysmis, fixture::kSysmis, 90061.0}};
    LoadFixture(f);
    for (const lv::TableFormat format : {lv::TableFormat::Csv, lv::TableFormat::Tsv}) {
        lv::TableOptions options;
        options.format = format;
        RoundTrip(options, FormatWord(format));
        options.columns = {0};
        RoundTrip(options, std::string(FormatWord(format)) + " one column");
    }
    lv::TableOptions options;
    ASSERT_EQ(Convert(options, dir_ + "/d.csv"), lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/d.csv"),
              "D,YMD,DT,MT,T\n"
              "2024-02-29T12:34:56.789,2024-02-29T00:00:00.1,2024-02-29T23:59:59.75,"
              "00:10:00.25,-00:00:59.5\n"
              "2024-02-29,2024-02-29T00:00:00.000002,2024-02-28T23:59:59.5,"
              "00:00:00.30000000000000004,-00:00:00.001\n"
              ",,,,25:01:01\n");
    options.columns = {0};
    options.format = lv::TableFormat::Tsv;
    ASSERT_EQ(Convert(options, dir_ + "/d.tsv"), lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/d.tsv"), "D\n2024-02-29T12:34:56.789\n2024-02-29\n\"\"\n");
}

// A decimal-comma locale for LC_NUMERIC, made with localedef when none is
// installed; false when there is none to be had.
bool UseDecimalCommaLocale(const std::string& dir) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return false;
        setenv("LOCPATH", dir.c_str(), 1);
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return false;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    return std::string(text) == "0,5";
}

// Numbers in a workbook read back as the doubles written (17 significant
// digits where they need them), also under a decimal-comma locale, and
// cases whose cells are all empty are rows, at the end too.
TEST_F(TableConvertTest, WorkbookNumbersAreExactInAnyLocaleAndEveryCaseIsARow) {
    SKIP_WITHOUT_OPENPYXL();
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("N"), gridtest::Numeric("M", 8, 0)};
    f.cases = {{3.4339872044851463, 1.0 / 3},
               {fixture::kSysmis, fixture::kSysmis},
               {0.1 + 0.2, -2.5e-300},
               {fixture::kSysmis, fixture::kSysmis}};
    LoadFixture(f);
    const bool comma = UseDecimalCommaLocale(dir_);
    lv::TableOptions options;
    options.format = lv::TableFormat::Xlsx;
    RoundTrip(options, comma ? "xlsx, decimal comma" : "xlsx");
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    if (!comma) GTEST_SKIP() << "no decimal-comma locale to be had; checked in the C locale";
}

// The filter meets the library's XML in pieces of any size.
TEST(ExactNumberStream, ReplacesEveryValueWhereverTheTextIsCut) {
    const std::string xml =
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>3,433987204485146</v></c>"
        "<c r=\"B2\" t=\"inlineStr\"><is><t>&lt;v&gt;1</t></is></c>"
        "<c r=\"C2\"><v>1E+300</v></c></row>";
    for (size_t cut = 0; cut <= xml.size(); ++cut) {
        lv::ExactNumberStream stream;
        stream.Push(3.4339872044851463);
        stream.Push(1e300);
        std::string out;
        stream.Filter(std::string_view(xml).substr(0, cut), out);
        stream.Filter(std::string_view(xml).substr(cut), out);
        EXPECT_EQ(out,
                  "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>3.4339872044851463</v></c>"
                  "<c r=\"B2\" t=\"inlineStr\"><is><t>&lt;v&gt;1</t></is></c>"
                  "<c r=\"C2\"><v>1E+300</v></c></row>")
            << cut;
    }
}

// The grid's edits are written as the grid shows them: a numeric cell as
// the number its text reads as (a decimal comma too), "." as empty, other
// text as text.
TEST_F(TableConvertTest, GridEditsAreWrittenAsTheGridShowsThem) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A", 8, 0), gridtest::String("B", 4)};
    f.cases = {{1.0, std::string("one")}, {2.0, std::string("two")}, {3.0, std::string("six")}};
    LoadFixture(f);
    grid_.SetEdit(0, 0, " 7,5 ");
    grid_.SetEdit(1, 0, ".");
    grid_.SetEdit(2, 0, "n/a");
    grid_.SetEdit(2, 1, "ten");
    ASSERT_EQ(lv::ConvertGridRows(grid_, lv::TableOptions{}, dir_ + "/e.csv"),
              lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/e.csv"), "A,B\n7.5,one\n,two\nn/a,ten\n");
}

TEST_F(TableConvertTest, ChoicesPickHeadersMissingValuesRowsAndColumnsInGridOrder) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("A", 8, 0), gridtest::String("B", 4)};
    f.variables[0].label = "Age, years";
    f.variables[0].missing.discrete = {99};
    f.variables[1].longName = "LongerB";
    f.cases = {{1.0, std::string("one")}, {99.0, std::string("two")}, {3.0, std::string("six")}};
    LoadFixture(f);
    grid_.SetOrder({2, 1, 0});
    lv::TableOptions options;
    options.header = lv::HeaderText::Labels;
    options.missingEmpty = true;
    options.columns = {1, 0};
    options.firstRow = 1;
    options.lastRow = 2;
    ASSERT_EQ(lv::ConvertGridRows(grid_, options, dir_ + "/g.csv"), lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/g.csv"), "LongerB,\"Age, years\"\nsix,3\ntwo,\n");
    options.header = lv::HeaderText::Names;
    ASSERT_EQ(lv::ConvertGridRows(grid_, options, dir_ + "/g.csv"), lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/g.csv").substr(0, 4), "B,A\n");
    options.header = lv::HeaderText::LongNames;
    options.missingEmpty = false;
    options.firstRow = 2;
    options.lastRow = -1;
    ASSERT_EQ(Convert(options, dir_ + "/f.csv"), lv::ConvertOutcome::Written);
    EXPECT_EQ(gridtest::ReadAll(dir_ + "/f.csv"), "LongerB,A\ntwo,99\nsix,3\n");
}

TEST_F(TableConvertTest, ManyVariablesAndNoCases) {
    fixture::File f = gridtest::Basic();
    for (int i = 0; i < 100000; ++i)
        f.variables.push_back(gridtest::Numeric("V" + std::to_string(i)));
    LoadFixture(f);
    lv::TableOptions options;
    ASSERT_EQ(Convert(options, dir_ + "/wide.csv"), lv::ConvertOutcome::Written);
    const std::string csv = gridtest::ReadAll(dir_ + "/wide.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 99999);
    EXPECT_EQ(csv.substr(csv.size() - 8), ",V99999\n");
    // Too wide for a sheet: refused before anything is written.
    options.format = lv::TableFormat::Xlsx;
    try {
        Convert(options, dir_ + "/wide.xlsx");
        ADD_FAILURE() << "a sheet of 100000 columns was written";
    } catch (const lv::ExportError& e) {
        EXPECT_NE(std::string(e.what()).find("16,384"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir_ + "/wide.xlsx"));
    EXPECT_TRUE(lv::TableLimitProblem(lv::TableFormat::Xlsx, 1048576, 1));
    EXPECT_FALSE(lv::TableLimitProblem(lv::TableFormat::Xlsx, 1048575, 16384));
}

TEST_F(TableConvertTest, FailuresAndCancelLeaveNothingUnderTheName) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("N")};
    for (int i = 0; i < 5000; ++i) f.cases.push_back({double(i)});
    LoadFixture(f);
    lv::TableOptions options;
    const auto fails = [&](const std::string& path, const std::string& words) {
        for (const lv::TableFormat format : {lv::TableFormat::Csv, lv::TableFormat::Xlsx}) {
            options.format = format;
            try {
                Convert(options, path);
                ADD_FAILURE() << path << " reported as written";
            } catch (const lv::ExportError& e) {
                EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
            }
        }
    };
    fails(dir_ + "/missing/out.csv", "フォルダがありません");
    fails("/dev/full", "空きがない");
    const std::string kept = dir_ + "/kept.csv";
    { std::ofstream(kept) << "old"; }
    chmod(kept.c_str(), 0444);
    fails(kept, "読み取り専用");
    EXPECT_EQ(gridtest::ReadAll(kept), "old");

    // A cancel halfway: the earlier file stays, no temporary file is left.
    chmod(kept.c_str(), 0644);
    struct StopHalfway : lv::Progress {
        bool Step(uint64_t done, uint64_t total) override { return done < total / 2; }
    } stop;
    options.format = lv::TableFormat::Csv;
    EXPECT_EQ(lv::ConvertGridRows(grid_, options, kept, &stop), lv::ConvertOutcome::Cancelled);
    EXPECT_EQ(Convert(options, kept, &stop), lv::ConvertOutcome::Cancelled);
    EXPECT_EQ(gridtest::ReadAll(kept), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 2);  // in.sav and kept.csv
}

TEST_F(TableConvertTest, AbandonedWorkbookKeepsNoTemporaryFileOpen) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("N")};
    for (int i = 0; i < 5000; ++i) f.cases.push_back({double(i)});
    LoadFixture(f);
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openFiles();
    struct StopHalfway : lv::Progress {
        bool Step(uint64_t done, uint64_t total) override { return done < total / 2; }
    } stop;
    lv::TableOptions options;
    options.format = lv::TableFormat::Xlsx;
    const std::string path = dir_ + "/out.xlsx";
    EXPECT_EQ(lv::ConvertGridRows(grid_, options, path, &stop), lv::ConvertOutcome::Cancelled);
    EXPECT_EQ(Convert(options, path, &stop), lv::ConvertOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(openFiles(), before);
}

// The tool's conversion reads everything through the file it holds open:
// another file renamed over the input while the cases are read changes
// nothing in what is written, the workbook's dictionary sheet included. A
// workbook without a dictionary to describe its columns is not written.
TEST_F(TableConvertTest, AFileRenamedOverTheInputMidwayIsNotRead) {
    fixture::File f = gridtest::Basic();
    f.variables = {gridtest::Numeric("FIRSTA", 8, 0), gridtest::String("FIRSTB", 4)};
    f.variables[0].label = "first label";
    for (int i = 0; i < 3000; ++i) f.cases.push_back({double(i), std::string("f")});
    LoadFixture(f);
    const std::string input = dir_ + "/in.sav";
    fixture::File other = f;
    other.variables[0].name = "OTHERA";
    other.variables[0].label = "other label";
    for (fixture::Case& c : other.cases) c[0] = -1.0;
    // Renames the other file over the input at the first step of the load.
    struct Swap : lv::Progress {
        std::string from, to;
        bool Step(uint64_t, uint64_t) override {
            if (!from.empty()) {
                EXPECT_EQ(rename(from.c_str(), to.c_str()), 0);
            }
            from.clear();
            return true;
        }
    } swap;
    swap.to = input;
    lv::TableOptions options;
    swap.from = fixture::WriteFile(other, dir_ + "/other.sav");
    ASSERT_EQ(Convert(options, dir_ + "/m.csv", &swap), lv::ConvertOutcome::Written);
    const std::string csv = gridtest::ReadAll(dir_ + "/m.csv");
    EXPECT_EQ(csv.substr(0, 20), "FIRSTA,FIRSTB\n0,f\n1,");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3001);
    EXPECT_EQ(csv.find("-1"), std::string::npos);

    options.format = lv::TableFormat::Xlsx;
    swap.from = fixture::WriteFile(other, dir_ + "/other.sav");
    const std::string book = dir_ + "/m.xlsx";
    ASSERT_EQ(Convert(options, book, &swap), lv::ConvertOutcome::Written);
    std::FILE* pipe =
        popen((Python() +
               " -c 'import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1])"
               ".read(\"xl/worksheets/sheet2.xml\").decode())' '" +
               book + "'")
                  .c_str(),
              "r");
    ASSERT_TRUE(pipe);
    std::string sheet;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) sheet.append(buf, n);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_NE(sheet.find("FIRSTA"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("first label"), std::string::npos);
    EXPECT_EQ(sheet.find("OTHER"), std::string::npos);
    EXPECT_EQ(sheet.find("other label"), std::string::npos);

    const std::string none = dir_ + "/none.xlsx";
    EXPECT_THROW(lv::ConvertFileCases(file_, nullptr, grid_.facts(), options, none),
                 lv::ExportError);
    grid_.SetFacts(grid_.facts());
    EXPECT_THROW(lv::ConvertGridRows(grid_, options, none), lv::ExportError);
    EXPECT_FALSE(fs::exists(none));
}
