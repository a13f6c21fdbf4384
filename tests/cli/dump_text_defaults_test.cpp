// What a terminal user gets without options: decoded UTF-8 (the file's bytes
// with --bytes), variable names found as typed in any letter case, JSON that stays
// UTF-8 whatever the file holds, and plain words for a missing folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dump_support.h"
#include "encoding/utf8.h"
#include "tests/support/savfixture.h"

namespace {

// 年齢 and リンゴ in CP932; ÆØÅ in windows-1252.
const std::string kAge = "\x94\x4e\x97\xee";
const std::string kApple = "\x83\x8a\x83\x93\x83S";
const std::string kNordic = "\xc6\xd8\xc5";

// A file without an encoding record or character code: its texts are
// taken as CP932.
std::string Cp932File() {
    fixture::File f;
    f.encoding = "";
    f.characterCode = 0;
    f.variables = {fixture::Numeric(kAge, {5, 4, 0}), fixture::String("FRUIT", 8),
                   fixture::Numeric(kNordic, {5, 4, 0})};
    f.variables[1].longName = "Fruit" + kApple;
    f.cases = {{3.0, kApple, 1.0}, {1.0, "pear", 2.0}, {2.0, kApple, 3.0}};
    return fixture::WriteFile(f, fixture::TempDir() + "/cp932.sav");
}

TEST(DumpTextDefaults, PrintsUtf8UnlessBytesAreAskedFor) {
    const std::string path = Cp932File();
    const std::string utf8Row = "    3 リンゴ       1 ";
    EXPECT_EQ(RunDump({"grid", "--rows", "1:1", path}).OutLines(),
              std::vector<std::string>{utf8Row});
    EXPECT_EQ(RunDump({"grid", "--utf8", "--rows", "1:1", path}).OutLines(),
              std::vector<std::string>{utf8Row});
    EXPECT_EQ(RunDump({"grid", "--bytes", "--rows", "1:1", path}).OutLines(),
              std::vector<std::string>{"    3 " + kApple + "       1 "});
    const DumpResult vars = RunDump({"vars", "--long-names", path});
    ASSERT_EQ(vars.status, 0) << vars.err;
    EXPECT_EQ(vars.OutLines()[0].substr(0, 6), "年齢");
    EXPECT_TRUE(vars.out.find("\tFruitリンゴ\n") != std::string::npos) << vars.out;
    // The export still writes the file's bytes, as the window does.
    const std::string out = path + ".txt";
    ASSERT_EQ(RunDump({"export", path, out, "--displayed"}).status, 0);
    EXPECT_EQ(ReadWholeFile(out).substr(0, 12), "    3 " + kApple);
}

TEST(DumpTextDefaults, NonAsciiNamesAreFoundInTheFilesEncoding) {
    const std::string path = Cp932File();
    // Short name, long name, and a name in the encoding chosen instead.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"labels", path, "年齢"},
             {"labels", path, "Fruitリンゴ"},
             {"labels", "--encoding", "windows-1252", path, "ÆØÅ"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 0) << args.back() << ": " << r.err;
    }
    EXPECT_EQ(RunDump({"grid", "--sort", "年齢:desc", path}).OutLines()[0].substr(0, 5), "    3");
    EXPECT_EQ(RunDump({"find", "--var", "Fruitリンゴ", path, "リンゴ"}).OutLines(),
              (std::vector<std::string>{"1\tFRUIT\tリンゴ", "3\tFRUIT\tリンゴ"}));
    const DumpResult missing = RunDump({"labels", path, "年収"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no variable named '年収'"), std::string::npos) << missing.err;
}

TEST(DumpTextDefaults, EveryCommandFindsANameInAnyLetterCase) {
    const std::string dir = fixture::TempDir();
    const std::string path = fixture::WriteFile(fixture::SampleFile(), dir + "/sample.sav");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"labels", path, "score"},
             {"grid", "--sort", "score", path},
             {"export", "--displayed", "--sort", "Score:desc", path, dir + "/out.txt"},
             {"find", "--var", "score", path, "3.5"},
             {"convert", "--vars", "score,respondentid", path, dir + "/out.csv"},
             {"freq", path, "score"},
             {"describe", "--vars", "score", path},
             {"crosstab", path, "code", "cityofbirth"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
    }
    EXPECT_EQ(ReadWholeFile(dir + "/out.csv").substr(0, 19), "SCORE,RespondentId\n");
    EXPECT_EQ(RunDump({"labels", path, "score"}).OutLines(),
              RunDump({"labels", path, "SCORE"}).OutLines());
}

TEST(DumpTextDefaults, JsonIsUtf8EvenWhenTheEncodingNameIsNot) {
    fixture::File f;
    // A name the reader does not take from a file: the fallback decides, and
    // the record is still shown as written.
    f.encoding = "WINDOWS-1252\x80";
    f.variables = {fixture::Numeric("X")};
    f.cases = {{1.0}};
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/bogus.sav");
    for (const char* command : {"meta", "dict"}) {
        const DumpResult r = RunDump({command, "--json", path});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(lv::IsValidUtf8(r.out)) << command;
        EXPECT_NE(r.out.find("\"record\": \"WINDOWS-1252\uFFFD\""), std::string::npos) << r.out;
    }
}

TEST(DumpTextDefaults, ExportIntoAMissingFolderSaysSo) {
    const std::string path = Cp932File();
    const DumpResult r = RunDump({"export", path, "/no/such/dir/x.txt", "--raw"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lorivane-dump: /no/such/dir/x.txt: the folder /no/such/dir does not exist\n");
    const DumpResult file = RunDump({"export", path, path + "/x.txt", "--raw"});
    EXPECT_EQ(file.status, 1);
    EXPECT_NE(file.err.find(path + " is not a folder"), std::string::npos) << file.err;
}

}  // namespace
