// lorivane-dump --compute: a computed variable counted by freq and
// describe, selected on and by LAG in file order whatever --where keeps,
// written into a .sav only with --keep-computed, and a bad expression or
// name refused with exit 2 before anything is read or written; grid, find,
// export --displayed and convert to a table show them as the grid's
// computed columns, with the values every other pass makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/cli/dump_support.h"
#include "tests/support/savfixture.h"

namespace {

std::string ScoresFile() {
    fixture::File f;
    f.variables = {fixture::Numeric("Q1", {5, 3, 0}), fixture::Numeric("Q2", {5, 3, 0}),
                   fixture::String("S", 4)};
    f.variables[0].missing.discrete = {9};
    f.cases = {{1.0, 2.0, std::string("ab")},
               {2.0, 2.0, std::string("cd")},
               {9.0, 4.0, std::string("ab")},
               {3.0, fixture::kSysmis, std::string("ef")},
               {4.0, 1.0, std::string("ab")}};
    return fixture::WriteFile(f, fixture::TempDir() + "/scores.sav");
}

TEST(DumpCompute, ComputedVariablesCountSelectAndLag) {
    const std::string path = ScoresFile();
    const DumpResult freq = RunDump(
        {"freq", path, "total", "tag", "--json", "--compute", "total(F8.0)=SUM(Q1 TO Q2)",
         "--compute", "tag(A3)=CONCAT(RTRIM(S), '!')", "--compute-label", "total=Q1 and Q2"});
    ASSERT_EQ(freq.status, 0) << freq.err;
    const auto j = nlohmann::json::parse(freq.out);
    // 3, 4, 4 (Q1 user-missing), 3, 5.
    EXPECT_EQ(j[0]["label"], "Q1 and Q2");
    EXPECT_EQ(j[0]["rows"].size(), 3u);
    EXPECT_EQ(j[0]["rows"][1]["value"], 4);
    EXPECT_EQ(j[0]["rows"][1]["count"], 2);
    EXPECT_EQ(j[1]["rows"][0]["value"], "ab!");
    EXPECT_EQ(j[1]["rows"][0]["count"], 3);

    // A later one uses an earlier one; --where and select see them.
    const DumpResult selected = RunDump({"select", path, "high = 1", "--compute",
                                         "total=SUM(Q1, Q2)", "--compute", "high=total > 4"});
    EXPECT_EQ(selected.out, "5\n") << selected.err;

    // LAG is the case before in the file, not among the cases --where keeps.
    const auto lagged =
        nlohmann::json::parse(RunDump({"describe", path, "--vars", "before", "--json", "--where",
                                       "S = 'ab'", "--compute", "before=LAG(Q2)"})
                                  .out);
    const auto& before = lagged["variables"][0];
    // Cases 1, 3 and 5: none before, Q2 of case 2 (2) and of case 4 (missing).
    EXPECT_EQ(before["valid"], 1);
    EXPECT_EQ(before["min"], 2);
}

TEST(DumpCompute, SavKeepsComputedOnlyWhenAsked) {
    const std::string path = ScoresFile();
    const std::string out = fixture::TempDir() + "/scores-out.sav";
    ASSERT_EQ(RunDump({"convert", path, out, "--compute", "d=Q1 * 2", "--where", "d > 4"}).status,
              0);
    const DumpResult plain = RunDump({"grid", out});
    EXPECT_EQ(plain.out.find("6"), std::string::npos);  // d is not written
    EXPECT_NE(plain.out.find("4"), std::string::npos) << plain.out;
    ASSERT_EQ(RunDump({"convert", path, out, "--compute", "d=Q1 * 2", "--keep-computed"}).status,
              0);
    EXPECT_NE(RunDump({"grid", out}).out.find("8.00"), std::string::npos);
}

TEST(DumpCompute, GridToolsShowComputedColumns) {
    const std::string path = ScoresFile();
    const std::vector<std::string> compute = {"--compute", "back(F8.0)=LAG(Q2)",
                                              "--compute", "n(F3.0)=$CASENUM",
                                              "--compute", "tag(A4)=CONCAT(RTRIM(S), '!')"};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), compute.begin(), compute.end());
        return RunDump(args);
    };
    // A table sorted by the LAG column holds what a .sav written by a pass
    // over the file holds, case by case.
    const std::string dir = fixture::TempDir();
    ASSERT_EQ(with({"convert", path, dir + "/c.sav", "--keep-computed"}).status, 0);
    ASSERT_EQ(RunDump({"convert", dir + "/c.sav", dir + "/pass.csv", "--sort", "n"}).status, 0);
    const DumpResult sorted =
        with({"convert", path, dir + "/grid.csv", "--sort", "back:desc", "--sort", "n"});
    ASSERT_EQ(sorted.status, 0) << sorted.err;
    const std::string grid = ReadWholeFile(dir + "/grid.csv");
    EXPECT_NE(grid.find("Q1,Q2,S,back,n,tag"), std::string::npos) << grid;
    // back: -, 2, 2, 4, - (missing) ; sorted descending: 4, 2, 2, then the missing in file order.
    EXPECT_NE(grid.find("3,,ef,4,4,ef!"), std::string::npos) << grid;
    EXPECT_NE(ReadWholeFile(dir + "/pass.csv").find("3,,ef,4,4,ef!"), std::string::npos);

    const DumpResult rows = with({"grid", path, "--rows", "2:2", "--tsv", "--where", "n > 1"});
    EXPECT_EQ(rows.status, 0) << rows.err;
    EXPECT_EQ(rows.out, "   9\t   4\tab  \t       2\t   3\tab! \n");
    const DumpResult found = with({"find", path, "ef!"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "4\ttag\tef!\n");
    const std::string shown = dir + "/shown.txt";
    ASSERT_EQ(with({"export", path, shown, "--displayed"}).status, 0);
    EXPECT_NE(ReadWholeFile(shown).find("ab! "), std::string::npos);
    // The internal form is the file's variables alone.
    EXPECT_EQ(with({"export", path, shown, "--raw"}).status, 2);
    EXPECT_EQ(RunDump({"grid", path, "--compute", "x=Q1 +"}).status, 2);
}

TEST(DumpCompute, BadComputedVariablesAreRefused) {
    const std::string path = ScoresFile();
    const std::string out = fixture::TempDir() + "/never.sav";
    std::filesystem::remove(out);
    const DumpResult bad = RunDump({"convert", path, out, "--compute", "d=Q1 +* 2"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--compute d: at character 5"), std::string::npos) << bad.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(RunDump({"freq", path, "Q1", "--compute", "Q2=1"}).status, 2);
    EXPECT_EQ(RunDump({"freq", path, "Q1", "--compute", "n(A4)=Q1"}).status, 2);
    EXPECT_EQ(RunDump({"freq", path, "Q1", "--compute", "no equals"}).status, 2);
    EXPECT_EQ(RunDump({"freq", path, "Q1", "--compute-label", "nothing=a label"}).status, 2);
}

}  // namespace
