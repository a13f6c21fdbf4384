// Case streams that cross block boundaries, repeated and unknown records,
// and files of unusual shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/savio/reader_support.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using readertest::OpenedFile;

fixture::File ManyCases(Compression c, Endian e) {
    fixture::File f = fixture::SampleFile();
    f.compression = c;
    f.endian = e;
    const auto base = f.cases;
    for (int i = 0; i < 300; ++i) {
        auto row = base[static_cast<size_t>(i) % base.size()];
        row[0] = static_cast<double>(i);
        row[1] = i * 0.25;
        f.cases.push_back(row);
    }
    return f;
}

// Every value of every case, as text, for comparing two readings.
std::string AllValues(const OpenedFile& file) {
    std::string out;
    const char* numbers[] = {"ID", "SCORE", "BORN", "R2", "R3", "W"};
    const char* strings[] = {"NAME", "CITY", "CODE"};
    while (spssReadCaseRecord(file.handle) == 0) {
        for (const char* n : numbers) out += std::to_string(file.Number(n)) + ",";
        for (const char* s : strings) out += file.Text(s) + ",";
        out += "\n";
    }
    return out;
}

TEST(ReaderStreams, ZlibBlocksSplitCommandGroupsAndValues) {
    for (Endian e : {Endian::Little, Endian::Big}) {
        const OpenedFile bytecode(fixture::Build(ManyCases(Compression::Bytecode, e)));
        ASSERT_EQ(bytecode.status, 0);
        const std::string expected = AllValues(bytecode);
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 303);
        for (int blockSize : {13, 64, 1000}) {
            fixture::File f = ManyCases(Compression::Zlib, e);
            f.zlibBlockSize = blockSize;
            const OpenedFile zlib(fixture::Build(f));
            ASSERT_EQ(zlib.status, 0) << blockSize;
            EXPECT_EQ(AllValues(zlib), expected) << "block size " << blockSize;
        }
        const OpenedFile plain(fixture::Build(ManyCases(Compression::None, e)));
        EXPECT_EQ(AllValues(plain), expected);
    }
}

TEST(ReaderStreams, ClosingInTheMiddleOfAZlibStream) {
    fixture::File f = ManyCases(Compression::Zlib, Endian::Little);
    f.zlibBlockSize = 100;
    const std::string bytes = fixture::Build(f);
    for (int reads = 0; reads < 5; ++reads) {
        OpenedFile file(bytes);
        ASSERT_EQ(file.status, 0);
        for (int i = 0; i < reads; ++i) ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    }
}

TEST(ReaderStreams, EndMarkerAndHeaderCountStopReading) {
    fixture::File f = fixture::SampleFile();
    f.bytecodeEndMarker = true;
    OpenedFile marked(fixture::Build(f));
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(marked.handle, &cases), SPSS_FILE_END);
    EXPECT_EQ(cases, 3);
    // Fewer cases in the header than in the data: the header wins.
    f.headerCaseCount = 2;
    OpenedFile two(fixture::Build(f));
    int n = 0;
    spssGetNumberofCases(two.handle, &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(readertest::ReadAll(two.handle, &cases), SPSS_FILE_END);
    EXPECT_EQ(cases, 2);
}

TEST(ReaderStreams, UnknownAndRepeatedExtensionsAreSkipped) {
    fixture::File f = fixture::SampleFile();
    f.extraExtensions.push_back({99, 1, 5, "hello"});
    f.extraExtensions.push_back({12, 4, 2, std::string(8, '\x01')});
    f.extraExtensions.push_back({13, 1, 11, "W=TheWeight"});  // a second long-names record
    f.displayParameters = true;
    f.displayValuesPerVariable = 2;
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    char name[64];
    ASSERT_EQ(spssGetVarLongName(file.handle, "W", name, sizeof name), 0);
    EXPECT_STREQ(name, "TheWeight");
    ASSERT_EQ(spssGetVarLongName(file.handle, "ID", name, 5), SPSS_BUFFER_SHORT);
    EXPECT_STREQ(name, "Resp");
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_END);
    EXPECT_EQ(cases, 3);
}

TEST(ReaderStreams, DuplicateNamesFindTheFirstVariable) {
    fixture::File f = fixture::SampleFile();
    f.variables[6].name = "R2";  // R3 renamed to a name already taken
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int n = 0;
    spssGetNumberofVariables(file.handle, &n);
    EXPECT_EQ(n, 9);
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Number("R2"), 151.0);
    EXPECT_EQ(file.Number("r2"), 151.0);
}

TEST(ReaderStreams, InvalidFormatsAreReplacedByDefaults) {
    fixture::File f = fixture::SampleFile();
    f.variables[0].print = fixture::Format{0, 8, 2};  // type code 0
    f.variables[2].print = fixture::Format{5, 8, 2};  // F on a string
    f.variables[2].writeSet = true;
    f.variables[2].write = fixture::Format{77, 8, 2};
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int t, d, w;
    ASSERT_EQ(spssGetVarPrintFormat(file.handle, "ID", &t, &d, &w), 0);
    EXPECT_EQ(t * 10000 + w * 100 + d, 50802);
    ASSERT_EQ(spssGetVarWriteFormat(file.handle, "NAME", &t, &d, &w), 0);
    EXPECT_EQ(t * 10000 + w * 100 + d, 10800);
}

// Every command code in a group of eight inside one case, in both kinds of
// slot: cases with a long stream after them take the reader's whole-group
// path, the last case (near the end of the data) the command-by-command
// one; both give the same values.
TEST(ReaderStreams, EveryCommandCodeInWholeGroups) {
    fixture::File f;
    for (int i = 0; i < 8; ++i) f.variables.push_back(fixture::Numeric("N" + std::to_string(i)));
    f.variables.push_back(fixture::String("S", 64));
    f.headerCaseCount = 3;
    f.cases = {{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, std::string()}};
    std::string bytes = fixture::Build(f);
    bytes.resize(fixture::Describe(f).data);
    const std::string numbers("\x01\x64\xfb\xfd\xfe\xff\xfd\x96", 8);
    const std::string strings("\xfd\xfe\x64\xff\x01\xfd\xfe\xfe", 8);
    const double raw1 = 1.5, raw2 = -1e300;
    for (int c = 0; c < 3; ++c) {
        bytes += numbers;
        bytes.append(reinterpret_cast<const char*>(&raw1), 8);
        bytes.append(reinterpret_cast<const char*>(&raw2), 8);
        bytes += strings + "abcdefgh" + "12345678";
    }
    OpenedFile file(bytes);
    ASSERT_EQ(file.status, 0);
    const double sysmis = spssSysmisVal();
    const double expected[] = {-99, 0, 151, raw1, sysmis, sysmis, raw2, 50};
    const std::string text = "abcdefgh" + std::string(8, ' ') + std::string(8, '\0') +
                             std::string(16, ' ') + "12345678" + std::string(16, ' ');
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(spssReadCaseRecord(file.handle), 0) << c;
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(file.Number(("N" + std::to_string(i)).c_str()), expected[i]) << c << i;
        char value[65];
        ASSERT_EQ(spssGetValueChar(file.handle, file.Handle("S"), value, 65), 0);
        EXPECT_EQ(std::string(value, 64), text) << c;
    }
    EXPECT_EQ(spssReadCaseRecord(file.handle), SPSS_FILE_END);
}

}  // namespace
