// Damaged and foreign files give statuses, never crashes or wrong values.
#include <gtest/gtest.h>

#include <string>

#include "tests/savio/reader_support.h"
#include "tests/support/corpus.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using readertest::OpenedFile;

fixture::File Sample(Endian e, Compression c) {
    fixture::File f = fixture::SampleFile();
    f.endian = e;
    f.compression = c;
    return f;
}

class ReaderBroken : public ::testing::TestWithParam<std::tuple<Endian, Compression>> {
  protected:
    fixture::File File() const { return Sample(std::get<0>(GetParam()), std::get<1>(GetParam())); }
    Endian endian() const { return std::get<0>(GetParam()); }
};

// Cut at every record boundary (and one byte later): the dictionary refuses
// to open, or reading stops with an error or the end; never a crash.
TEST_P(ReaderBroken, TruncatedAtEveryRecordBoundary) {
    const fixture::File f = File();
    const std::string bytes = fixture::Build(f);
    for (size_t cut : fixture::RecordBoundaries(f)) {
        for (size_t at : {cut, cut + 1, cut + 9}) {
            if (at >= bytes.size()) continue;
            OpenedFile file(bytes.substr(0, at));
            if (file.status != 0) {
                EXPECT_TRUE(file.status == SPSS_INVALID_FILE || file.status == SPSS_FILE_RERROR)
                    << "cut at " << at << " gave " << file.status;
                continue;
            }
            int cases = 0;
            const int st = readertest::ReadAll(file.handle, &cases);
            EXPECT_LT(cases, 3) << "cut at " << at;
            EXPECT_TRUE(st == SPSS_FILE_RERROR || st == SPSS_FILE_END) << "cut at " << at;
        }
    }
}

TEST_P(ReaderBroken, CountsPastTheEndAreRefused) {
    const fixture::File f = File();
    const fixture::Layout layout = fixture::Describe(f);
    const std::string good = fixture::Build(f);
    // The label length of the first variable record, far too large.
    std::string bytes = good;
    fixture::PutInt32(bytes, layout.variableRecords[0] + 32, 0x7FFFFFF0, endian());
    OpenedFile label(bytes);
    EXPECT_EQ(label.status, SPSS_FILE_RERROR);
    // An extension record whose count runs past the end.
    bytes = good;
    fixture::PutInt32(bytes, layout.extensions[0] + 12, 0x7FFFFFFF, endian());
    OpenedFile ext(bytes);
    EXPECT_EQ(ext.status, SPSS_FILE_RERROR);
    // A negative count.
    bytes = good;
    fixture::PutInt32(bytes, layout.extensions[0] + 12, -1, endian());
    OpenedFile negative(bytes);
    EXPECT_EQ(negative.status, SPSS_INVALID_FILE);
    // An unknown record type where the 999 record should be.
    bytes = good;
    fixture::PutInt32(bytes, layout.terminator, 5, endian());
    OpenedFile type(bytes);
    EXPECT_EQ(type.status, SPSS_INVALID_FILE);
}

TEST_P(ReaderBroken, HeaderClaimingMoreCasesThanTheDataHolds) {
    fixture::File f = File();
    f.headerCaseCount = 1000000000;
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int n = 0;
    spssGetNumberofCases(file.handle, &n);
    EXPECT_LT(n, 1000);
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_RERROR);
    EXPECT_EQ(cases, 3);
}

// A dictionary without a single value has no cases, in every layout.
TEST_P(ReaderBroken, NoVariablesReadsNoCases) {
    fixture::File f = File();
    f.variables.clear();
    f.cases.clear();
    f.valueLabels.clear();
    OpenedFile file(fixture::Build(f));
    if (file.status != 0) return;
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_END);
    EXPECT_EQ(cases, 0);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ReaderBroken,
                         ::testing::Combine(::testing::Values(Endian::Little, Endian::Big),
                                            ::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib)));

TEST(ReaderBrokenFile, NotASystemFile) {
    EXPECT_EQ(OpenedFile("").status, SPSS_INVALID_FILE);
    EXPECT_EQ(OpenedFile("$FL2 too short").status, SPSS_INVALID_FILE);
    std::string bytes = fixture::Build(fixture::SampleFile());
    bytes[1] = 'X';
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
    bytes = fixture::Build(fixture::SampleFile());
    fixture::PutInt32(bytes, 64, 7, Endian::Little);  // layout code
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
    bytes = fixture::Build(fixture::SampleFile());
    fixture::PutInt32(bytes, 72, 2, Endian::Little);  // zlib compression in a $FL2 file
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
    int h = 0;
    EXPECT_EQ(spssOpenRead("/nonexistent/file.sav", &h), SPSS_FILE_OERROR);
    EXPECT_EQ(spssOpenRead("/tmp", &h), SPSS_FILE_OERROR);
}

TEST(ReaderBrokenFile, BytecodeRunningOffTheEnd) {
    fixture::File f = Sample(Endian::Little, Compression::Bytecode);
    const std::string bytes = fixture::Build(f);
    const fixture::Layout layout = fixture::Describe(f);
    // Drop the last raw value: the last case ends inside a 253 command.
    OpenedFile file(bytes.substr(0, bytes.size() - 8));
    ASSERT_EQ(file.status, 0);
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_RERROR);
    EXPECT_EQ(cases, 2);
    // Codes 254 and 255 in the wrong kind of slot decode as blanks/SYSMIS.
    std::string mixed = bytes;
    mixed[layout.data] = static_cast<char>(254);  // ID of case 1
    OpenedFile m(mixed);
    ASSERT_EQ(m.status, 0);
    ASSERT_EQ(spssReadCaseRecord(m.handle), 0);
    EXPECT_EQ(m.Number("ID"), spssSysmisVal());
}

TEST(ReaderBrokenFile, ZlibBlocksThatLie) {
    fixture::File f = Sample(Endian::Little, Compression::Zlib);
    const std::string good = fixture::Build(f);
    const fixture::Layout layout = fixture::Describe(f);
    ASSERT_EQ(layout.zblocks.size(), 1u);
    const size_t descriptor = layout.ztrailer + 24;
    // The block claims fewer inflated bytes than it holds.
    std::string bytes = good;
    fixture::PutInt32(bytes, descriptor + 16, static_cast<int32_t>(layout.zblockRawSizes[0]) - 8,
                      Endian::Little);
    {
        OpenedFile file(bytes);
        ASSERT_EQ(file.status, 0);
        int cases = 0;
        EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_RERROR);
        EXPECT_EQ(cases, 0);
    }
    // ...or far more than deflate can make of its bytes.
    bytes = good;
    fixture::PutInt32(bytes, descriptor + 16, 0x3FF000, Endian::Little);
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
    // Compressed bytes that are not a zlib stream.
    bytes = good;
    bytes[layout.zblocks[0] + 2] ^= 0x55;
    bytes[layout.zblocks[0] + 3] ^= 0x55;
    {
        OpenedFile file(bytes);
        if (file.status == 0) {
            int cases = 0;
            EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_RERROR);
        }
    }
    // A zheader that does not point at itself.
    bytes = good;
    fixture::PutInt64(bytes, layout.data, -1, Endian::Little);
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
    // A trailer past the end of the file.
    bytes = good;
    fixture::PutInt64(bytes, layout.data + 8, static_cast<int64_t>(good.size()), Endian::Little);
    EXPECT_EQ(OpenedFile(bytes).status, SPSS_INVALID_FILE);
}

TEST(ReaderBrokenFile, MalformedCorpusFiles) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    const std::string dir = fixture::CorpusPath("malformed/");
    int h = 0;
    EXPECT_EQ(spssOpenRead((dir + "encrypted_hotel.sav").c_str(), &h), SPSS_FILE_ENCRYPTED);
    for (const char* name : {"cve_2017_10791.sav", "cve_2017_10792.sav"}) {
        const int st = spssOpenRead((dir + name).c_str(), &h);
        if (st != 0) continue;
        int cases = 0;
        EXPECT_EQ(readertest::ReadAll(h, &cases), SPSS_FILE_END) << name;
        EXPECT_EQ(cases, 10) << name;
        EXPECT_EQ(spssCloseRead(h), 0);
    }
}

}  // namespace
