// lorivane-dump meta and dict print what the core writers give in this
// process, refuse bad usage, and give valid JSON for every corpus file.
#include <dirent.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/file_dictionary.h"
#include "core/windows/file_info_lines.h"
#include "dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

class DumpDictionary : public ::testing::Test {
  protected:
    void SetUp() override {
        fixture::File f = fixture::SampleFile();
        f.fileAttributes = {{"Origin", {"fixture"}}};
        f.mrsets = {{"$m", "Set", false, "", false, false, {0, 1}}};
        path_ = fixture::WriteFile(f, fixture::TempDir() + "/sample.sav");
        ASSERT_EQ(lv::ReadFileDictionary(path_, &dict_), 0);
    }
    std::string path_;
    lv::FileDictionary dict_;
};

TEST_F(DumpDictionary, JsonAndCodebookAreTheCoreWritersOutput) {
    const std::string json = lv::DictionaryJson(dict_, dict_.encoding);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"meta", "--json", path_}, {"dict", "--json", path_}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, json);
    }
    const DumpResult csv = RunDump({"dict", path_, "--csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, lv::CodebookCsv(dict_, dict_.encoding));
}

TEST_F(DumpDictionary, MetaIsTheWindowsLinesThenEveryVariable) {
    lv::LineCollector lines;
    lv::FileInfoLines(dict_, dict_.encoding, lines);
    lv::VariableDetailLines(dict_, lines);
    std::string want;
    for (const std::string& line : lines.Bytes()) want += line + "\n";
    const DumpResult r = RunDump({"meta", path_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, want);
    EXPECT_NE(r.out.find("変数 9: W"), std::string::npos);
}

// A file whose encoding record is wrong: --encoding decodes the JSON and the
// codebook from the named encoding instead.
TEST(DumpDictionaryEncoding, TheNamedEncodingDecodesTheTexts) {
    fixture::File f = fixture::SampleFile();
    f.encoding = "UTF-8";
    f.variables[0].label = "\x94\xd4\x8d\x86";  // 番号 in CP932
    const std::string path = fixture::WriteFile(f, fixture::TempDir() + "/wrong.sav");
    const DumpResult plain = RunDump({"meta", "--json", path});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string shown = nlohmann::json::parse(plain.out)["variables"][0]["label"];
    EXPECT_NE(shown.find("\xEF\xBF\xBD"), std::string::npos);
    const DumpResult chosen = RunDump({"meta", "--json", "--encoding", "cp932", path});
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    const auto j = nlohmann::json::parse(chosen.out);
    EXPECT_EQ(j["variables"][0]["label"], "番号");
    EXPECT_EQ(j["file"]["encoding"]["used"], "CP932");
    const DumpResult csv = RunDump({"dict", "--csv", "--encoding", "CP932", path});
    EXPECT_NE(csv.out.find(",番号,"), std::string::npos);
}

TEST(DumpDictionaryUsage, BadUsageAndUnreadableFiles) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"meta"},
                                               {"dict", "a.sav"},
                                               {"dict", "--csv", "--json", "a.sav"},
                                               {"meta", "a.sav", "b.sav"}}) {
        const DumpResult r = RunDump(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty());
    }
    const std::string dir = fixture::TempDir();
    const DumpResult missing = RunDump({"meta", "--json", dir + "/none.sav"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("none.sav"), std::string::npos);
    const DumpResult notSav = RunDump({"dict", "--csv", dir});
    EXPECT_EQ(notSav.status, 1);
    EXPECT_NE(notSav.err.find("is a directory"), std::string::npos);
}

TEST(DumpDictionaryCorpus, EveryRealFileGivesJsonThatParses) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    const std::string& dir = fixture::CorpusDir();
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> files;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.ends_with(".sav") || name.ends_with(".zsav")) files.push_back(dir + "/" + name);
    }
    closedir(d);
    for (const std::string& file : files) {
        const DumpResult r = RunDump({"meta", "--json", file});
        ASSERT_EQ(r.status, 0) << file << ": " << r.err;
        nlohmann::json j;
        ASSERT_NO_THROW(j = nlohmann::json::parse(r.out)) << file;
        ASSERT_FALSE(j["variables"].empty()) << file;
        EXPECT_EQ(j["variables"].size(), j["variables"].back()["position"].get<size_t>()) << file;
        EXPECT_EQ(RunDump({"dict", "--csv", file}).status, 0) << file;
    }
}

}  // namespace
