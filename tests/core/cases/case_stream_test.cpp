// The case stream: chosen variables of chosen cases in blocks, weights that
// leave cases out, a second pass through the same open file, and passes
// that fail or stop.
#include "core/cases/case_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "savio/case_index.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::kSysmis;

// N numeric (SYSMIS in case 3), S A6 (a NUL in case 4), W the weight (99
// user-missing), L a long string; ten cases.
fixture::File Cases(double nOffset = 0) {
    fixture::File f;
    f.variables = {fixture::Numeric("N"), fixture::String("S", 6), fixture::Numeric("W"),
                   fixture::String("L", 300)};
    f.variables[2].missing.discrete = {99};
    f.weightVariable = 2;
    const double weights[] = {1, 2, 0, -1, kSysmis, 99, 1.5, 1, 1, 3};
    for (int i = 0; i < 10; ++i)
        f.cases.push_back({i == 3 ? kSysmis : i + nOffset,
                           i == 4 ? std::string("a\0b", 3) : std::string(size_t(i % 4), 'x'),
                           weights[i], std::string(size_t(30 * i), char('a' + i))});
    return f;
}

struct Row {
    int64_t number;
    double weight;
    std::string s;
    double n;
    bool sysmis;
    bool operator==(const Row&) const = default;
};

// Every row of the stream (S then N asked for), with the block sizes seen.
std::vector<Row> Drain(lv::CaseStream& stream, std::vector<int64_t>* blocks = nullptr) {
    std::vector<Row> rows;
    while (stream.Next()) {
        if (blocks) blocks->push_back(stream.rows());
        for (int64_t i = 0; i < stream.rows(); ++i)
            rows.push_back({stream.CaseNumber(i),
                            stream.weights().empty() ? 1.0 : stream.weights()[size_t(i)],
                            std::string(stream.values().Text(i, 0)), stream.values().Number(i, 1),
                            stream.Sysmis(i, 1)});
    }
    return rows;
}

class CaseStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fixture::TempDir();
        path_ = fixture::WriteFile(Cases(), dir_ + "/c.sav");
        ASSERT_EQ(file_.Open(path_), 0);
    }
    void TearDown() override {
        file_.Close();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_, path_;
    lv::ReaderHandle file_;
};

TEST_F(CaseStreamTest, ChosenCasesWeighedInBlocks) {
    const std::vector<uint32_t> cases = {0, 2, 3, 4, 5, 6, 9};
    lv::CasesWanted wanted;
    wanted.variables = {1, 0};
    wanted.cases = &cases;
    wanted.weight = 2;
    wanted.weightMissing.count = 1;
    wanted.weightMissing.numbers[0] = 99;
    wanted.blockCases = 4;
    lv::CaseStream stream(file_, wanted);
    std::vector<int64_t> blocks;
    const std::vector<Row> rows = Drain(stream, &blocks);
    EXPECT_EQ(stream.end(), lv::CaseStream::End::Complete);
    EXPECT_EQ(stream.casesRead(), 10);
    // Cases 2 to 5 weigh 0, -1, nothing and 99 (missing); 1, 7 and 8 are not
    // wanted.
    EXPECT_EQ(stream.casesWithoutWeight(), 4);
    EXPECT_EQ(rows, (std::vector<Row>{
                        {0, 1, "", 0, false}, {6, 1.5, "xx", 6, false}, {9, 3, "x", 9, false}}));
    EXPECT_EQ(blocks, (std::vector<int64_t>{1, 1, 1}));
}

TEST_F(CaseStreamTest, StringsLoseTheirTrailingBlanksOnly) {
    lv::CasesWanted wanted;
    wanted.variables = {1, 3, 0};
    lv::CaseStream stream(file_, wanted);
    ASSERT_TRUE(stream.Next());
    ASSERT_EQ(stream.rows(), 10);
    EXPECT_EQ(stream.values().Text(2, 0), "xx");
    EXPECT_EQ(stream.values().Text(4, 0), std::string_view("a\0b", 3));
    EXPECT_EQ(stream.values().Text(9, 1), std::string(270, 'j'));
    EXPECT_EQ(stream.values().width(0), 6);
    EXPECT_TRUE(stream.Sysmis(3, 2));
    EXPECT_TRUE(stream.weights().empty());
    EXPECT_FALSE(stream.Next());
}

// The file opened is the one read, pass after pass, whatever its path
// names since; a pass stopped early leaves the file where it stopped.
TEST_F(CaseStreamTest, EveryPassReadsTheOpenFileFromItsFirstCase) {
    lv::CasesWanted wanted;
    wanted.variables = {1, 0};
    wanted.lastCase = 4;
    wanted.blockCases = 3;
    lv::CaseStream first(file_, wanted);
    EXPECT_EQ(Drain(first).size(), 4u);
    EXPECT_EQ(first.casesRead(), 4);
    ASSERT_EQ(rename(fixture::WriteFile(Cases(100), dir_ + "/other.sav").c_str(), path_.c_str()),
              0);
    wanted.lastCase = -1;
    lv::CaseStream second(file_, wanted);
    const std::vector<Row> rows = Drain(second);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[9].n, 9);
    EXPECT_TRUE(second.StandAfter(2));
    savio::CaseIndex index;
    ASSERT_TRUE(savio::GetCaseIndex(file_.get(), &index));
    EXPECT_EQ(index.cases, 2);
}

TEST_F(CaseStreamTest, DamagedDataFailsAfterTheCasesBeforeIt) {
    fixture::File f = Cases();
    f.compression = fixture::Compression::None;
    const std::string cut = fixture::WriteFile(f, dir_ + "/cut.sav");
    ASSERT_EQ(truncate(cut.c_str(), std::filesystem::file_size(cut) - 100), 0);
    lv::ReaderHandle file;
    ASSERT_EQ(file.Open(cut), 0);
    lv::CasesWanted wanted;
    wanted.variables = {1, 0};
    lv::CaseStream stream(file, wanted);
    EXPECT_EQ(Drain(stream).size(), 9u);
    EXPECT_EQ(stream.end(), lv::CaseStream::End::Failed);
    EXPECT_EQ(stream.failureStatus(), SPSS_FILE_RERROR);
    EXPECT_EQ(stream.failure().code, lv::MessageCode::PassDataDamaged);
    EXPECT_EQ(stream.failure().Number(0), 9);

    wanted.variables = {4};
    lv::CaseStream unknown(file_, wanted);
    EXPECT_FALSE(unknown.Next());
    EXPECT_EQ(unknown.failureStatus(), SPSS_VAR_NOTFOUND);

    struct StopAtSecond : lv::Progress {
        int steps = 0;
        bool Step(uint64_t, uint64_t total) override {
            EXPECT_EQ(total, 10u);
            return ++steps < 2;
        }
    } stop;
    wanted.variables = {1, 0};
    wanted.blockCases = 4;
    lv::CaseStream stopped(file_, wanted, &stop);
    EXPECT_EQ(Drain(stopped).size(), 4u);
    EXPECT_EQ(stopped.end(), lv::CaseStream::End::Cancelled);
}

}  // namespace
