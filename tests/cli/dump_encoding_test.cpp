// lorivane-dump --encoding: the texts decoded from the chosen encoding, the
// export untouched, an unknown name refused with the accepted ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

// リンゴ in CP932; the same bytes read as windows-1252 are ƒŠƒ“ƒS.
const std::string kApple = "\x83\x8a\x83\x93\x83S";

// No encoding record and no character code: the texts are taken as CP932.
std::string AppleFile() {
    fixture::File f;
    f.encoding = "";
    f.characterCode = 0;
    f.fileLabel = kApple;
    f.variables = {fixture::String("FRUIT", 8)};
    f.cases = {{kApple}};
    return fixture::WriteFile(f, fixture::TempDir() + "/apple.sav");
}

TEST(DumpEncoding, EveryDecodedTextFollowsTheChoice) {
    const std::string path = AppleFile();
    const DumpResult summary = RunDump({"summary", "--encoding", "cp1252", path});
    EXPECT_NE(summary.out.find("File label:   ƒŠƒ“ƒS\n"), std::string::npos) << summary.out;
    EXPECT_EQ(RunDump({"grid", "--encoding=WINDOWS-1252", path}).out, "ƒŠƒ“ƒS   \n");
    // The export keeps the file's bytes.
    const std::string out = path + ".txt";
    ASSERT_EQ(RunDump({"export", "--encoding", "cp1252", path, out, "--displayed"}).status, 0);
    EXPECT_EQ(ReadWholeFile(out), kApple + "   \r\n");
}

TEST(DumpEncoding, UnknownNameIsBadUsageThatListsTheAcceptedNames) {
    const DumpResult r = RunDump({"vars", "--encoding", "klingon", "a.sav"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("'klingon'; accepted: auto, UTF-8"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("WINDOWS-1252 (CP1252)"), std::string::npos) << r.err;
}

TEST(DumpEncoding, CorpusFileWithoutEncodingRecordInTwoEncodings) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    // Code page 65001 only; the long name is ותק_ב in UTF-8.
    const std::string path = fixture::CorpusPath("readstat_hebrew_names.sav");
    // Under the headings; the empty label padded to its heading's width.
    const std::string rest = "num     N         N                 \t";
    EXPECT_EQ(RunDump({"vars", "--long-names", "--encoding", "auto", path}).OutLines().at(1),
              "ותק_\uFFFD   " + rest + "ותק_ב");
    EXPECT_EQ(
        RunDump({"vars", "--long-names", "--encoding", "windows-1252", path}).OutLines().at(1),
        "×•×ª×§_×  " + rest + "×•×ª×§_×‘");
    // A long name is looked up as decoded with the choice.
    EXPECT_EQ(RunDump({"labels", "--encoding", "windows-1252", path, "×•×ª×§_×‘"}).status, 0);
}

}  // namespace
