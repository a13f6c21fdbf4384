// lorivane-dump on damaged files: the reader's warnings and refusals reach
// the JSON and the messages, data shorter than its header is a read error,
// and find tells a failed write from "no match".
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "dump_support.h"
#include "tests/support/savfixture.h"

namespace {

fixture::File TwoCases() {
    fixture::File f;
    f.compression = fixture::Compression::None;
    f.variables = {fixture::Numeric("Q1"), fixture::String("S1", 4)};
    f.cases = {{1.0, std::string("ab")}, {2.0, std::string("cd")}};
    return f;
}

TEST(DumpDamaged, MetaJsonShowsTheWarningsAsValidUtf8) {
    fixture::File f = TwoCases();
    f.encoding = "UCS-4";
    f.characterCode = 0;
    f.variables[0].label = "\xFF\xFE broken";
    f.headerCaseCount = 99;
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/ucs4.sav");
    const DumpResult r = RunDump({"meta", "--json", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);  // throws on bytes that are not UTF-8
    EXPECT_NE(j["file"]["encoding"]["used"], "UCS-4");
    std::string warnings;
    for (const auto& w : j["warnings"]) warnings += w.get<std::string>() + "\n";
    EXPECT_NE(warnings.find("'UCS-4' is not an encoding"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("ends after 2 of the 99 cases"), std::string::npos) << warnings;
    EXPECT_EQ(j["file"]["cases_in_data"], 2);
}

TEST(DumpDamaged, ARefusalCarriesItsReasonAndOffset) {
    const fixture::File f = TwoCases();
    std::string bytes = fixture::Build(f);
    const size_t record = fixture::Describe(f).variableRecords[0];
    fixture::PutInt32(bytes, record + 8, 7, fixture::Endian::Little);  // label flag
    const std::string path = fixture::TempDir() + "/refused.sav";
    {
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    const DumpResult json = RunDump({"meta", "--json", path});
    EXPECT_EQ(json.status, 1);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["error"]["status"], "SPSS_INVALID_FILE");
    EXPECT_EQ(j["error"]["offset"], record);
    EXPECT_NE(j["error"]["reason"].get<std::string>().find("invalid label flag 7"),
              std::string::npos);
    const DumpResult text = RunDump({"grid", path});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find("not an SPSS system file (SPSS_INVALID_FILE): variable record at 0x"),
              std::string::npos)
        << text.err;
}

TEST(DumpDamaged, DataShorterThanTheHeaderIsAReadError) {
    fixture::File f = TwoCases();
    f.headerCaseCount = 99;
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/short.sav");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"grid", path}, {"export", path, fixture::TempDir() + "/out.txt", "--displayed"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_NE(r.err.find("the data ends after 2 of the 99 cases its header gives"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(RunDump({"grid", path}).OutLines().size(), 2u);  // the cases it holds
    EXPECT_EQ(RunDump({"find", path, "ab"}).status, 2);
    f.headerCaseCount = 2;
    const std::string whole = fixture::WriteFile(f, fixture::TempDir() + "/whole.sav");
    EXPECT_EQ(RunDump({"grid", whole}).status, 0);
}

TEST(DumpDamaged, FindExitsTwoWhenItsOutputCannotBeWritten) {
    fixture::File f = TwoCases();
    for (int i = 0; i < 5000; ++i) f.cases.push_back({3.0, std::string("ab")});
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/many.sav");
    const std::string command = std::string(LORIVANE_BINARY_DIR) + "/cli/lorivane-dump find '" +
                                path + "' ab >/dev/full 2>/dev/null";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 2);
}

}  // namespace
