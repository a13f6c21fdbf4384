// The file summary's lines, byte for byte, for fixture files and failures.
#include "core/windows/summary.h"

#include <gtest/gtest.h>

#include "savio/spssfio.h"
#include "tests/core/windows/varlist_library_faults.h"
#include "tests/core/windows/varlist_testfiles.h"

namespace {

using namespace spssdio1;
using testsupport::Num;

class SummaryTest : public testsupport::BuilderTest {
  protected:
    std::vector<std::string> Summary() {
        lv::LineCollector lines;
        lv::ShowFileSummaryLines(lines);
        return lines.Bytes();
    }
    faults::ScopedLibraryFaults inject;
};

const std::string kSysmisLine = "sysmis= -1.79769313486231571E308";
const std::string kRule(32, '-');

TEST_F(SummaryTest, CompressedFileWithWeightVariable) {
    fixture::File f = fixture::SampleFile();
    Choose(f);
    EXPECT_EQ(Summary(), (std::vector<std::string>{
                             "Original System:  @(#) SPSS DATA FILE Lorivane test fixture",
                             "作成日時:          08 Dec 26 12:34:56",
                             "ケース数:        3",
                             "変数の数:        9",
                             "",
                             "File label:   Sample fixture",
                             "圧縮：       Yes",
                             "データの重みづけ変数： W",
                             kSysmisLine,
                             kRule,
                         }));
    EXPECT_EQ(CaseCount, 3);
    EXPECT_EQ(VarCount, 9);
    EXPECT_EQ(CompressionFlag, 1);
    EXPECT_EQ(SysmisValue, -1.7976931348623157e308);
}

TEST_F(SummaryTest, UncompressedWithoutWeightAndBlankLabel) {
    fixture::File f = testsupport::FileWith({Num("A")});
    f.compression = fixture::Compression::None;
    f.fileLabel = "    ";
    Choose(f);
    const auto lines = Summary();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[5], "File label:   No Label");
    EXPECT_EQ(lines[6], "圧縮：       No ");
    EXPECT_EQ(lines[7], "重みづけ： No");
}

TEST_F(SummaryTest, LabelIsTrimmedAtBothEnds) {
    fixture::File f = testsupport::FileWith({Num("A")});
    f.fileLabel = "   Survey 2024";
    f.compression = fixture::Compression::Zlib;
    Choose(f, "z.zsav");
    const auto lines = Summary();
    EXPECT_EQ(lines[5], "File label:   Survey 2024");
    EXPECT_EQ(lines[6], "圧縮：       Yes");
}

TEST_F(SummaryTest, FileThatCannotBeOpenedGivesOneLine) {
    DataFileName = Path("nothing-here.sav");
    EXPECT_EQ(Summary(), std::vector<std::string>{"ファイルを開くことに失敗しました"});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SummaryTest, NoFileNoLines) {
    EXPECT_TRUE(Summary().empty());
}

TEST_F(SummaryTest, UnknownCaseCountShowsMinusOne) {
    Choose(testsupport::FileWith({Num("A")}));
    inject->numberOfCases = [](int, int* n) { return *n = -1, 0; };
    EXPECT_EQ(Summary()[2], "ケース数:       -1");
    EXPECT_EQ(CaseCount, -1);
}

TEST_F(SummaryTest, FailedQueriesAreLeftOutAndTheEndStays) {
    Choose(testsupport::FileWith({Num("A")}));
    inject->systemString = [](int, char*) { return SPSS_INVALID_HANDLE; };
    inject->timeStamp = [](int, char*, char*) { return SPSS_INVALID_HANDLE; };
    inject->numberOfCases = [](int, int*) { return SPSS_INVALID_HANDLE; };
    inject->numberOfVariables = [](int, int*) { return SPSS_INVALID_HANDLE; };
    inject->idString = [](int, char*) { return SPSS_INVALID_HANDLE; };
    inject->compression = [](int, int*) { return SPSS_INVALID_HANDLE; };
    inject->caseWeightVar = [](int, char*) { return SPSS_INVALID_HANDLE; };
    inject->closeRead = [](int h) { return faults::RealCloseRead(h), SPSS_INVALID_HANDLE; };
    EXPECT_EQ(Summary(), (std::vector<std::string>{"", kSysmisLine, kRule}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SummaryTest, CompressionFlagOtherThanOneIsNo) {
    Choose(testsupport::FileWith({Num("A")}));
    inject->compression = [](int, int* flag) { return *flag = 2, 0; };
    EXPECT_EQ(Summary()[6], "圧縮：       No ");
}

TEST_F(SummaryTest, ChoosesTheEncodingToDecodeWith) {
    fixture::File f = testsupport::FileWith({Num("A")});
    f.variables[0].label = std::string("\x94\x4e\x97\xee");  // 年齢 in CP932
    f.encoding = "";
    f.characterCode = 0;
    Choose(f);
    Summary();
    EXPECT_EQ(lv::CurrentFileEncoding(), "CP932");

    f.variables[0].label = "年齢";
    f.encoding = "UTF-8";
    Choose(f, "utf8.sav");
    Summary();
    EXPECT_EQ(lv::CurrentFileEncoding(), "UTF-8");
}

TEST_F(SummaryTest, FileNameLine) {
    EXPECT_EQ(lv::FileNameLine().Bytes(), "file:");
    DataFileName = "/data/a.sav";
    EXPECT_EQ(lv::FileNameLine().Bytes(), "file:/data/a.sav");
}

}  // namespace
