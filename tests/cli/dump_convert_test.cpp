// lorivane-dump convert: the format from the name, standard output, and a
// failure as one line and exit status 1 with nothing left under OUT (for
// export too).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/cli/dump_support.h"
#include "tests/support/savfixture.h"

namespace fs = std::filesystem;

namespace {

std::string SmallFile(const std::string& dir) {
    fixture::File f;
    f.variables = {fixture::Numeric("N"), fixture::String("S", 8)};
    f.variables[0].print = {5, 8, 1};
    f.variables[0].longName = "Number_1";
    f.valueLabels = {{{0}, {{1, "one"}}, {}}};
    f.cases = {{1.0, std::string("=cmd")}, {-2.5, std::string("a\tb")}};
    return fixture::WriteFile(f, dir + "/in.sav");
}

}  // namespace

TEST(DumpConvert, WritesCsvTsvAndXlsxByNameOrOption) {
    const std::string dir = fixture::TempDir();
    const std::string in = SmallFile(dir);
    DumpResult r = RunDump({"convert", in, "-", "--labels", "--crlf"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Number_1,S\r\none,\"'=cmd\"\r\n-2.5,a\tb\r\n");
    r = RunDump({"convert", in, "-", "--header", "names", "--vars", "Number_1"});
    EXPECT_EQ(r.out, "N\n1\n-2.5\n");
    r = RunDump({"convert", in, "-", "--format", "tsv", "--vars", "S", "--rows", "2:2"});
    EXPECT_EQ(r.out, "S\na\\tb\n");
    r = RunDump({"convert", in, dir + "/out.xlsx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir + "/out.xlsx").substr(0, 2), "PK");
    fs::remove_all(dir);
}

// --where writes the selected cases only, streamed or sorted; --rows
// counts the selected ones; a bad condition writes nothing and exits 2.
TEST(DumpConvert, WhereWritesTheSelectedCasesOnly) {
    const std::string dir = fixture::TempDir();
    fixture::File f;
    f.variables = {fixture::Numeric("N")};
    f.cases = {{3.0}, {1.0}, {5.0}, {2.0}};
    const std::string in = fixture::WriteFile(f, dir + "/in.sav");
    EXPECT_EQ(RunDump({"convert", in, "-", "--where", "N > 1"}).out, "N\n3\n5\n2\n");
    EXPECT_EQ(RunDump({"convert", in, "-", "--where", "N > 1", "--rows", "2:3"}).out, "N\n5\n2\n");
    EXPECT_EQ(RunDump({"convert", in, "-", "--where", "N > 1", "--sort", "N"}).out, "N\n2\n3\n5\n");
    const DumpResult bad = RunDump({"convert", in, dir + "/x.csv", "--where", "N >"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--where"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(dir + "/x.csv"));
    fs::remove_all(dir);
}

TEST(DumpConvert, FailuresExitOneWithOneLineAndLeaveNothing) {
    const std::string dir = fixture::TempDir();
    const std::string in = SmallFile(dir);
    for (const std::string& out : {dir + "/no/such/folder/out.csv", std::string("/dev/full")}) {
        const DumpResult r = RunDump({"convert", in, out, "--format", "csv"});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(out != "/dev/full" && fs::exists(out));
    }
    EXPECT_EQ(RunDump({"convert", in, dir + "/x.csv", "--vars", "NOPE"}).status, 1);
    EXPECT_FALSE(fs::exists(dir + "/x.csv"));
    EXPECT_EQ(RunDump({"convert", in, dir + "/x.dat"}).status, 2);  // format unknown
    fs::remove_all(dir);
}

// Every argument, a condition included, is checked before the output is
// touched; a name near the length limit works for both commands, and
// nothing but the outputs is left in the folder.
TEST(DumpConvert, ExportAndConvertTouchNoOutputOnFailureAndTakeLongNames) {
    const std::string dir = fixture::TempDir();
    const std::string in = SmallFile(dir);
    { std::ofstream(dir + "/keep.txt") << "keep"; }
    for (const std::string& out : {dir + "/keep.txt", dir + "/new.txt"}) {
        const DumpResult r = RunDump({"export", "--where", "N >", "--displayed", in, out});
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("--where"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadWholeFile(dir + "/keep.txt"), "keep");
    EXPECT_FALSE(fs::exists(dir + "/new.txt"));
    const std::string name(246, 'n');
    EXPECT_EQ(RunDump({"convert", in, dir + "/" + name + ".csv"}).status, 0);
    EXPECT_EQ(RunDump({"export", "--raw", in, dir + "/" + name + ".txt"}).status, 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"in.sav", "keep.txt", name + ".csv", name + ".txt"}));
    fs::remove_all(dir);
}
