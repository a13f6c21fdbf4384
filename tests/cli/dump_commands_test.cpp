// The tool's command line, its error handling, and a sweep over the corpus.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    const std::string& dir = fixture::CorpusDir();
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.ends_with(".sav") || name.ends_with(".zsav"))
                files.push_back(dir + "/" + name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

int CountFromSummary(const std::vector<std::string>& lines, const std::string& head) {
    for (const std::string& l : lines)
        if (l.rfind(head, 0) == 0) return std::stoi(l.substr(head.size()));
    return -2;
}

TEST(DumpUsage, BadUsageExitsTwoWithOneHint) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate", "x.sav"},
             {"vars"},
             {"vars", "a.sav", "b.sav"},
             {"labels", "a.sav"},
             {"export", "a.sav", "out.txt"},
             {"export", "a.sav", "out.txt", "--raw", "--displayed"},
             {"grid", "--rows", "5:2", "a.sav"},
             {"grid", "--bogus", "a.sav"},
             {"grid", "--tsv=yes", "a.sav"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("lorivane-dump"), std::string::npos);
    }
    const DumpResult help = RunDump({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("SYNOPSIS"), std::string::npos);
    for (const char* command :
         {"summary", "vars", "labels", "grid", "export", "find", "meta", "dict"})
        EXPECT_NE(help.out.find(std::string("    lorivane-dump ") + command + " ["),
                  std::string::npos)
            << command;
    const DumpResult version = RunDump({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("lorivane-dump ", 0), 0u) << version.out;
    EXPECT_EQ(version.OutLines().size(), 1u);
}

TEST(DumpUsage, AnOptionTheCommandDoesNotTakeIsBadUsage) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"vars", "--raw", "a.sav"},
                                               {"--tsv", "summary", "a.sav"},
                                               {"labels", "a.sav", "X", "--rows", "1:2"},
                                               {"export", "a.sav", "out.txt", "--raw", "--utf8"},
                                               {"dict", "--json", "--bytes", "a.sav"},
                                               {"meta", "--json", "--bytes", "a.sav"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_NE(RunDump({"vars", "--raw", "a.sav"}).err.find("vars does not take --raw"),
              std::string::npos);
}

TEST(DumpErrors, BadInputGivesOneClearMessageAndStatusOne) {
    const std::string dir = fixture::TempDir();
    std::string bytes = fixture::Build(fixture::SampleFile());
    const std::string truncated = dir + "/truncated.sav";
    {
        fixture::File f = fixture::SampleFile();
        const std::string whole = fixture::Build(f);
        FILE* out = fopen(truncated.c_str(), "wb");
        fwrite(whole.data(), 1, whole.size() / 3, out);
        fclose(out);
    }
    const std::string text = dir + "/notes.sav";
    FILE* out = fopen(text.c_str(), "wb");
    fputs("just some text, not a system file\n", out);
    fclose(out);
    for (const std::string& path : {dir + "/missing.sav", dir, truncated, text}) {
        for (const char* cmd : {"vars", "grid"}) {
            const DumpResult r = RunDump({cmd, path});
            EXPECT_EQ(r.status, 1) << cmd << " " << path;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        }
    }
    // The summary of a file that cannot be opened is its message on stderr
    // alone; the files beside it are summed up as ever.
    const DumpResult r = RunDump({"summary", text, dir + "/missing.sav"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
}

TEST(DumpGrid, RowsAndTabsSelectAndSeparate) {
    fixture::File f;
    // F4.0 widens to 5 columns; an A3 value is stored padded with blanks.
    f.variables = {fixture::Numeric("N", {5, 4, 0}), fixture::String("S", 3)};
    for (int i = 1; i <= 20; ++i)
        f.cases.push_back({double(i), std::string(1, char('a' + i % 26))});
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/rows.sav");
    DumpResult r = RunDump({"grid", "--rows", "4:6", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.OutLines(), (std::vector<std::string>{"    4 e   ", "    5 f   ", "    6 g   "}));
    r = RunDump({"grid", "--tsv", "--rows=19:", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.OutLines(), (std::vector<std::string>{"   19\tt  ", "   20\tu  "}));
}

TEST(DumpCorpus, EveryFileSummarisesListsAndShowsItsFirstRows) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    const std::vector<std::string> files = CorpusFiles();
    ASSERT_GE(files.size(), 39u);
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const DumpResult summary = RunDump({"summary", path});
        ASSERT_EQ(summary.status, 0) << summary.err;
        const std::vector<std::string> lines = summary.OutLines();
        ASSERT_GE(lines.size(), 10u);
        EXPECT_EQ(lines[0], "file:" + path);
        EXPECT_EQ(lines[1].rfind("Original System:  ", 0), 0u);
        EXPECT_EQ(lines.back(), std::string(32, '-'));
        const int vars = CountFromSummary(lines, "変数の数: ");
        const int cases = CountFromSummary(lines, "ケース数: ");

        const DumpResult list = RunDump({"vars", path});
        EXPECT_LE(list.status, 1) << list.err;
        EXPECT_EQ(static_cast<int>(list.OutLines().size()), vars);

        const DumpResult grid = RunDump({"grid", "--rows", "1:2", path});
        EXPECT_LE(grid.status, 1) << grid.err;
        EXPECT_EQ(static_cast<int>(grid.OutLines().size()), std::min(cases, 2));
    }
}

TEST(DumpCorpus, MalformedFilesNeverCrashTheTool) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    const std::string dir = fixture::CorpusPath("malformed");
    for (const char* name : {"cve_2017_10791.sav", "cve_2017_10792.sav", "encrypted_hotel.sav"}) {
        for (const char* cmd : {"summary", "vars", "grid"}) {
            const DumpResult r = RunDump({cmd, dir + "/" + name});
            EXPECT_GE(r.status, 0) << cmd << " " << name;
            EXPECT_LE(r.status, 1) << cmd << " " << name;
        }
    }
}

}  // namespace
