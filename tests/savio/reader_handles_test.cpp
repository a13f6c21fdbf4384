// File and variable handles: valid across a re-open of the same file,
// refused for other files, closed files and values that are no handles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/savio/reader_support.h"

namespace {

using readertest::OpenedFile;

TEST(ReaderHandles, VariableHandleSurvivesCloseAndReopen) {
    const std::string path = fixture::TempDir() + "/reopen.sav";
    fixture::WriteFile(fixture::SampleFile(), path);
    int h = 0;
    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    double id = 0, name = 0;
    ASSERT_EQ(spssGetVarHandle(h, "ID", &id), 0);
    ASSERT_EQ(spssGetVarHandle(h, "NAME", &name), 0);
    ASSERT_EQ(spssCloseRead(h), 0);
    EXPECT_EQ(spssCloseRead(h), SPSS_INVALID_HANDLE);
    EXPECT_EQ(spssReadCaseRecord(h), SPSS_INVALID_HANDLE);

    ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
    ASSERT_EQ(spssReadCaseRecord(h), 0);
    double v = 0;
    EXPECT_EQ(spssGetValueNumeric(h, id, &v), 0);
    EXPECT_EQ(v, 1.0);
    char buf[16];
    EXPECT_EQ(spssGetValueChar(h, name, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "Alice   ");
    EXPECT_EQ(spssCloseRead(h), 0);
}

TEST(ReaderHandles, HandlesOfAnotherFileOrNoHandleAreRefused) {
    fixture::File other = fixture::SampleFile();
    other.fileLabel = "Another file";
    OpenedFile a(fixture::Build(fixture::SampleFile()), "a.sav");
    OpenedFile b(fixture::Build(other), "b.sav");
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    ASSERT_NE(a.handle, b.handle);
    ASSERT_EQ(spssReadCaseRecord(b.handle), 0);
    double v = 0;
    EXPECT_EQ(spssGetValueNumeric(b.handle, a.Handle("ID"), &v), SPSS_VAR_NOTFOUND);
    for (double bad : {0.0, -1.0, 0.5, double(NAN), double(INFINITY), 1e300}) {
        EXPECT_EQ(spssGetValueNumeric(b.handle, bad, &v), SPSS_VAR_NOTFOUND) << bad;
    }
    EXPECT_EQ(spssGetValueNumeric(0, b.Handle("ID"), &v), SPSS_INVALID_HANDLE);
    EXPECT_EQ(spssGetValueNumeric(b.handle, b.Handle("ID"), &v), 0);
    double none = 0;
    EXPECT_EQ(spssGetVarHandle(b.handle, "NOSUCH", &none), SPSS_VAR_NOTFOUND);
}

TEST(ReaderHandles, ValueCallsCheckKindCaseAndBuffer) {
    OpenedFile file(fixture::Build(fixture::SampleFile()));
    ASSERT_EQ(file.status, 0);
    double v = 0;
    char buf[32];
    // No case read yet.
    EXPECT_EQ(spssGetValueNumeric(file.handle, file.Handle("ID"), &v), SPSS_INVALID_CASE);
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(spssGetValueNumeric(file.handle, file.Handle("NAME"), &v), SPSS_NUME_EXP);
    EXPECT_EQ(spssGetValueChar(file.handle, file.Handle("ID"), buf, 32), SPSS_STR_EXP);
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(spssGetValueChar(file.handle, file.Handle("CITY"), buf, 6), SPSS_BUFFER_SHORT);
    EXPECT_STREQ(buf, "Paris");
    EXPECT_EQ(buf[6], '#');
    EXPECT_EQ(spssGetValueChar(file.handle, file.Handle("CITY"), buf, 0), SPSS_BUFFER_SHORT);
}

TEST(ReaderHandles, LabelsAreCutOnCharacterBoundaries) {
    fixture::File f = fixture::SampleFile();
    // 40 three-byte characters: 120 bytes fit, the 41st would not.
    std::string label;
    for (int i = 0; i < 50; ++i) label += "\xE3\x81\x82";
    f.variables[0].label = label;
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    char buf[124];
    std::memset(buf, '#', sizeof buf);
    ASSERT_EQ(spssGetVarLabel(file.handle, "ID", buf), 0);
    EXPECT_EQ(std::strlen(buf), 120u);
    EXPECT_EQ(std::string(buf), label.substr(0, 120));
    std::string full(400, '\0');
    ASSERT_EQ(spssGetVarFullLabel(file.handle, "ID", full.data(), 400), 0);
    EXPECT_EQ(std::string(full.c_str()), label);
    EXPECT_EQ(spssGetVarFullLabel(file.handle, "ID", full.data(), 8), SPSS_BUFFER_SHORT);
    EXPECT_EQ(std::strlen(full.c_str()), 6u);

    // Shift_JIS: a double-byte character is never split.
    f.encoding = "SHIFT_JIS";
    f.characterCode = 932;
    f.variables[0].label = "a" + std::string(61 * 2, '\x82');  // 61 two-byte characters
    OpenedFile sjis(fixture::Build(f));
    ASSERT_EQ(sjis.status, 0);
    ASSERT_EQ(spssGetVarLabel(sjis.handle, "ID", buf), 0);
    EXPECT_EQ(std::strlen(buf), 121u);
}

TEST(ReaderHandles, EncodingFromTheCharacterCode) {
    fixture::File f = fixture::SampleFile();
    f.encoding = "";
    f.characterCode = 932;
    char enc[32];
    OpenedFile cp932(fixture::Build(f));
    ASSERT_EQ(spssGetFileEncoding(cp932.handle, enc, sizeof enc), 0);
    EXPECT_STREQ(enc, "CP932");
    // A code that names no encoding: judged from the texts.
    f.characterCode = 2;
    OpenedFile unknown(fixture::Build(f));
    ASSERT_EQ(spssGetFileEncoding(unknown.handle, enc, sizeof enc), 0);
    EXPECT_STREQ(enc, "UTF-8");
    f.variables[0].label = "\x94\x4e\x97\xee";
    OpenedFile sjis(fixture::Build(f));
    ASSERT_EQ(spssGetFileEncoding(sjis.handle, enc, sizeof enc), 0);
    EXPECT_STREQ(enc, "CP932");
}

TEST(ReaderDates, ConvertsSecondsSince1582) {
    int d, m, y;
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, 13203179130.0), 0);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20010305);
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, 13928544000.0), 0);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, 0.0), 0);
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821014);
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, 12219379200.0), 0);
    EXPECT_EQ(y * 10000 + m * 100 + d, 19700101);
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, -1.0), 0);  // the day before the epoch
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821013);
    ASSERT_EQ(spssConvertSPSSDate(&d, &m, &y, 13165977600.0), 0);
    EXPECT_EQ(y * 10000 + m * 100 + d, 19991231);
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY), spssSysmisVal(), 1e300}) {
        d = m = y = 7;
        EXPECT_NE(spssConvertSPSSDate(&d, &m, &y, bad), 0);
        EXPECT_EQ(d + m + y, 0);
    }
}

}  // namespace
