// lorivane-dump convert to .sav and .zsav: every corpus file written whole
// and in part reads back with the same dictionary and values, a second
// write is the same bytes, R's haven reads the same values and labels from
// a written file as from its source, and the file being read is never the
// output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/cli/dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace fs = std::filesystem;

namespace {

// The dictionary as dict --json gives it, from its documents on, without the
// extension records' places and the reader's warnings (the file's header,
// counts and stamp are the writer's own); with noDisplay, without the
// display parameters, which the writer always records.
std::string DictionaryPart(const std::string& path, bool noDisplay) {
    const std::string json = RunDump({"dict", "--json", path}).out;
    const size_t from = json.find("\"documents\"");
    static const std::regex places("\"(extension_records|warnings)\": \\[[^\\]]*\\]");
    static const std::regex display("\"(measure|display_width|alignment)\": [^\n]*\n");
    const std::string part =
        std::regex_replace(json.substr(std::min(from, json.size())), places, "");
    return noDisplay ? std::regex_replace(part, display, "") : part;
}

// A file without its creation stamp (the header's bytes 92..108).
std::string WithoutStamp(std::string bytes) {
    if (bytes.size() > 109) bytes.replace(92, 17, 17, '-');
    return bytes;
}

// The CSV rows of convert, without the header: a short name that is not
// valid in its encoding is made anew from the long name.
std::string Rows(const std::vector<std::string>& args) {
    const std::string csv = RunDump(args).out;
    return csv.substr(std::min(csv.find('\n'), csv.size()));
}

// Runs a shell command: its exit status, and what it printed on either stream.
int Shell(const std::string& command, std::string* said) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) said->append(buf, n);
    const int st = p ? pclose(p) : -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Prints "same", or what differs between the files haven reads at its two
// arguments: the names, the case count, and per variable its values, its
// value labels and its label.
constexpr const char* kHavenCompare = R"(
args <- commandArgs(trailingOnly = TRUE)
suppressMessages(library(haven))
a <- read_sav(args[1]); b <- read_sav(args[2])
bad <- character()
if (!identical(names(a), names(b))) bad <- c(bad, "names")
if (nrow(a) != nrow(b)) bad <- c(bad, "case count")
plain <- function(x) as.vector(unclass(zap_labels(x)))
for (n in intersect(names(a), names(b))) {
  x <- a[[n]]; y <- b[[n]]
  if (!identical(plain(x), plain(y))) bad <- c(bad, paste("values of", n))
  if (!identical(attr(x, "labels"), attr(y, "labels"))) bad <- c(bad, paste("value labels of", n))
  if (!identical(attr(x, "label"), attr(y, "label"))) bad <- c(bad, paste("label of", n))
}
if (length(bad)) cat(bad, sep = "\n") else cat("same\n")
)";

}  // namespace

TEST(DumpSav, CorpusFilesReadBackTheSameWholeAndInPart) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    const std::string dir = fixture::TempDir();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fixture::CorpusDir())) {
        const std::string in = entry.path().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".sav" && ext != ".zsav") continue;
        SCOPED_TRACE(in);
        ++files;
        // The source's own encoding: the same dictionary and the same grid.
        const std::string kept = dir + "/kept.zsav";
        DumpResult r = RunDump({"convert", in, kept, "--keep-encoding"});
        ASSERT_EQ(r.status, 0) << r.err;
        const bool noDisplay =
            DictionaryPart(in, false).find("\"measure\": null") != std::string::npos;
        EXPECT_EQ(DictionaryPart(kept, noDisplay), DictionaryPart(in, noDisplay));
        EXPECT_EQ(RunDump({"grid", "--tsv", kept}).out, RunDump({"grid", "--tsv", in}).out);
        // UTF-8: the same values; written again, the same bytes.
        const std::string utf8 = dir + "/utf8.sav", again = dir + "/again.sav";
        r = RunDump({"convert", in, utf8});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Rows({"convert", utf8, "-"}), Rows({"convert", in, "-"}));
        ASSERT_EQ(RunDump({"convert", utf8, again}).status, 0);
        EXPECT_EQ(WithoutStamp(ReadWholeFile(again)), WithoutStamp(ReadWholeFile(utf8)));
        // A part: the last variable and the first, some rows.
        std::vector<std::string> names = RunDump({"vars", in}).OutLines();
        if (!names.empty()) names.erase(names.begin());  // the headings
        if (names.empty()) continue;
        const auto nameOf = [](const std::string& line) { return line.substr(0, line.find(' ')); };
        std::string vars = nameOf(names.back());
        if (names.size() > 1) vars += "," + nameOf(names.front());
        const std::string part = dir + "/part.sav";
        r = RunDump({"convert", in, part, "--vars", vars, "--rows", "2:4"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Rows({"convert", part, "-"}),
                  Rows({"convert", in, "-", "--vars", vars, "--rows", "2:4"}));
    }
    EXPECT_GT(files, 30);
    fs::remove_all(dir);
}

// --where picks the cases; a set left without members is dropped with a
// warning; the weight goes with its variable.
TEST(DumpSav, WhereCutsCasesAndSetsFollowTheVariablesKept) {
    const std::string dir = fixture::TempDir();
    fixture::File f;
    f.variables = {fixture::Numeric("A"), fixture::Numeric("B"), fixture::Numeric("W")};
    f.cases = {{1.0, 2.0, 1.0}, {3.0, 4.0, 2.0}, {5.0, 6.0, 1.0}};
    const std::string in = fixture::WriteFile(f, dir + "/in.sav");
    const std::string out = dir + "/out.sav";
    DumpResult r = RunDump({"convert", in, out, "--where", "A > 1", "--vars", "B,A"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunDump({"convert", out, "-"}).out, "B,A\n4,3\n6,5\n");
    // Sorted: the cases in the sorted order, --rows counted after it.
    r = RunDump({"convert", in, out, "--sort", "W:desc,A", "--rows", "1:2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunDump({"convert", out, "-"}).out, "A,B,W\n3,4,2\n1,2,1\n");
    if (fixture::HaveCorpus()) {
        const std::string sets = fixture::CorpusPath("spss21_mrsets_alltypes.sav");
        const std::string first = RunDump({"vars", sets}).OutLines().at(1);  // after the headings
        r = RunDump({"convert", sets, out, "--vars", first.substr(0, first.find(' '))});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("warning: the set"), std::string::npos) << r.err;
    }
    fs::remove_all(dir);
}

// --where in file order is run in the pass that writes: --rows counts among
// the cases it selects, LAG of a computed variable sees every case, and
// the header's case count is the cases written, none included.
TEST(DumpSav, WhereInFileOrderCountsRowsAndCases) {
    const std::string dir = fixture::TempDir();
    fixture::File f;
    f.variables = {fixture::Numeric("A")};
    for (double a = 1; a <= 6; ++a) f.cases.push_back({a});
    const std::string in = fixture::WriteFile(f, dir + "/in.sav");
    const std::string out = dir + "/out.sav";
    const auto headerCases = [&out] {
        const std::string bytes = ReadWholeFile(out);
        int32_t n = -2;
        if (bytes.size() > 84) std::memcpy(&n, bytes.data() + 80, 4);
        return n;
    };
    DumpResult r = RunDump({"convert", in, out, "--where", "A > 1", "--rows", "2:3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunDump({"convert", out, "-"}).out, "A\n3\n4\n");
    EXPECT_EQ(headerCases(), 2);
    r = RunDump({"convert", in, out, "--compute", "d=LAG(A)", "--keep-computed", "--where",
                 "d >= 2", "--rows", "2:", "--vars", "A,d"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunDump({"convert", out, "-"}).out, "A,d\n4,3\n5,4\n6,5\n");
    r = RunDump({"convert", in, out, "--where", "A > 99"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(headerCases(), 0);
    EXPECT_EQ(RunDump({"convert", out, "-"}).out, "A\n");
    fs::remove_all(dir);
}

// The input under its name, a symbolic or a hard link is refused and left
// as it was; a failed write leaves nothing; a table's options are refused.
TEST(DumpSav, NeverTheInputAndNeverAPartialFile) {
    const std::string dir = fixture::TempDir();
    fixture::File f;
    f.variables = {fixture::Numeric("N")};
    f.cases = {{1.0}, {2.0}};
    const std::string in = fixture::WriteFile(f, dir + "/in.sav");
    const std::string before = ReadWholeFile(in);
    fs::create_symlink(in, dir + "/link.sav");
    fs::create_hard_link(in, dir + "/hard.sav");
    for (const std::string& out : {in, dir + "/link.sav", dir + "/hard.sav", dir + "/./in.sav"}) {
        const DumpResult r = RunDump({"convert", in, out});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_NE(r.err.find("is the file being read"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadWholeFile(in), before);
    EXPECT_EQ(RunDump({"convert", in, dir + "/x.sav", "--vars", "NOPE"}).status, 1);
    EXPECT_EQ(RunDump({"convert", in, dir + "/x.sav", "--labels"}).status, 2);
    EXPECT_EQ(RunDump({"convert", in, "-", "--format", "sav"}).status, 2);
    EXPECT_EQ(RunDump({"convert", in, dir + "/x.csv", "--keep-encoding"}).status, 2);
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(RunDump({"convert", in, "/dev/full", "--format", "zsav"}).status, 1);
    }
    EXPECT_FALSE(fs::exists(dir + "/x.sav"));
    size_t names = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++names;
    EXPECT_EQ(names, 3u);  // no temporary left behind
    fs::remove_all(dir);
}

// A few corpus files (a code page, very long strings, sets, weights, dates,
// zlib) written as UTF-8 read in haven as their sources do.
TEST(DumpSav, HavenReadsTheSameValuesAndLabels) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    std::string said;
    if (Shell("Rscript -e 'library(haven)'", &said) != 0)
        GTEST_SKIP() << "Rscript with haven (r-cran-haven) is not installed";
    const std::string dir = fixture::TempDir();
    const std::string script = dir + "/compare.R";
    std::ofstream(script) << kHavenCompare;
    for (const char* name :
         {"spss11_employee_data.sav", "spss19_learning_1252.sav", "spss14_vls.sav",
          "spss21_mrsets_alltypes.sav", "spss24_korean_weight_276vars.sav",
          "pspp141_all_date_formats.sav", "spss29_customer_dbase.zsav"}) {
        const std::string in = fixture::CorpusPath(name), out = dir + "/out.sav";
        SCOPED_TRACE(in);
        const DumpResult r = RunDump({"convert", in, out});
        ASSERT_EQ(r.status, 0) << r.err;
        said.clear();
        EXPECT_EQ(Shell("Rscript '" + script + "' '" + in + "' '" + out + "'", &said), 0);
        EXPECT_EQ(said, "same\n");
    }
    fs::remove_all(dir);
}
