// The dictionary calls over fixture files in both byte orders and all three
// compressions.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "tests/savio/reader_support.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using readertest::OpenedFile;

class ReaderDictionary : public ::testing::TestWithParam<std::tuple<Endian, Compression>> {
  protected:
    fixture::File Sample() const {
        fixture::File f = fixture::SampleFile();
        f.endian = std::get<0>(GetParam());
        f.compression = std::get<1>(GetParam());
        return f;
    }
};

TEST_P(ReaderDictionary, HeaderFacts) {
    OpenedFile file(fixture::Build(Sample()));
    ASSERT_EQ(file.status, 0);
    char sys[66], date[10], time[10], id[68], weight[12];
    ASSERT_EQ(spssGetSystemString(file.handle, sys), 0);
    EXPECT_STREQ(sys, "@(#) SPSS DATA FILE Lorivane test fixture");
    ASSERT_EQ(spssGetTimeStamp(file.handle, date, time), 0);
    EXPECT_STREQ(date, "08 Dec 26");
    EXPECT_STREQ(time, "12:34:56");
    int n = 0;
    ASSERT_EQ(spssGetNumberofCases(file.handle, &n), 0);
    EXPECT_EQ(n, 3);
    ASSERT_EQ(spssGetNumberofVariables(file.handle, &n), 0);
    EXPECT_EQ(n, 9);
    ASSERT_EQ(spssGetIdString(file.handle, id), 0);
    EXPECT_EQ(std::string(id).substr(0, 14), "Sample fixture");
    EXPECT_EQ(std::strlen(id), 64u);
    ASSERT_EQ(spssGetCompression(file.handle, &n), 0);
    EXPECT_EQ(n, std::get<1>(GetParam()) == Compression::None ? 0 : 1);
    ASSERT_EQ(spssGetCaseWeightVar(file.handle, weight), 0);
    EXPECT_STREQ(weight, "W");
    char enc[32];
    ASSERT_EQ(spssGetFileEncoding(file.handle, enc, sizeof enc), 0);
    EXPECT_STREQ(enc, "UTF-8");
}

TEST_P(ReaderDictionary, VariablesNamesLabelsFormats) {
    OpenedFile file(fixture::Build(Sample()));
    ASSERT_EQ(file.status, 0);
    const char* names[] = {"ID", "SCORE", "NAME", "CITY", "BORN", "R2", "R3", "CODE", "W"};
    const int types[] = {0, 0, 8, 20, 0, 0, 0, 3, 0};
    for (int i = 0; i < 9; ++i) {
        char name[10];
        int type = -1;
        ASSERT_EQ(spssGetVarInfo(file.handle, i, name, &type), 0);
        EXPECT_STREQ(name, names[i]);
        EXPECT_EQ(type, types[i]);
    }
    char name[10];
    int type;
    EXPECT_EQ(spssGetVarInfo(file.handle, 9, name, &type), SPSS_VAR_NOTFOUND);

    char label[124];
    ASSERT_EQ(spssGetVarLabel(file.handle, "CITY", label), 0);
    EXPECT_STREQ(label, "City of birth");
    EXPECT_EQ(spssGetVarLabel(file.handle, "R2", label), SPSS_NO_LABEL);
    EXPECT_EQ(spssGetVarLabel(file.handle, "NOPE", label), SPSS_VAR_NOTFOUND);

    char longName[65];
    ASSERT_EQ(spssGetVarLongName(file.handle, "ID", longName, sizeof longName), 0);
    EXPECT_STREQ(longName, "RespondentId");
    ASSERT_EQ(spssGetVarLongName(file.handle, "R3", longName, sizeof longName), 0);
    EXPECT_STREQ(longName, "R3");
    // Names are found case-insensitively and by long name too.
    ASSERT_EQ(spssGetVarLabel(file.handle, "cityofbirth", label), 0);
    EXPECT_STREQ(label, "City of birth");

    int t, d, w;
    ASSERT_EQ(spssGetVarPrintFormat(file.handle, "BORN", &t, &d, &w), 0);
    EXPECT_EQ(t, 20);
    EXPECT_EQ(w, 11);
    EXPECT_EQ(d, 0);
    ASSERT_EQ(spssGetVarWriteFormat(file.handle, "SCORE", &t, &d, &w), 0);
    EXPECT_EQ(t, 5);
    EXPECT_EQ(w, 9);
    EXPECT_EQ(d, 2);
    ASSERT_EQ(spssGetVarPrintFormat(file.handle, "CITY", &t, &d, &w), 0);
    EXPECT_EQ(t, 1);
    EXPECT_EQ(w, 20);
}

TEST_P(ReaderDictionary, MissingValuesOfEveryKind) {
    OpenedFile file(fixture::Build(Sample()));
    ASSERT_EQ(file.status, 0);
    int code;
    double a, b, c;
    ASSERT_EQ(spssGetVarNMissingValues(file.handle, "ID", &code, &a, &b, &c), 0);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(a, -9);
    EXPECT_EQ(b, -8);
    EXPECT_EQ(c, -7);
    ASSERT_EQ(spssGetVarNMissingValues(file.handle, "SCORE", &code, &a, &b, &c), 0);
    EXPECT_EQ(code, SPSS_MISS_RANGE);
    EXPECT_EQ(a, fixture::kLowest);
    EXPECT_EQ(b, -1.0);
    ASSERT_EQ(spssGetVarNMissingValues(file.handle, "R3", &code, &a, &b, &c), 0);
    EXPECT_EQ(code, SPSS_MISS_RANGEANDVAL);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 20);
    EXPECT_EQ(c, 99);
    ASSERT_EQ(spssGetVarNMissingValues(file.handle, "W", &code, &a, &b, &c), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(spssGetVarNMissingValues(file.handle, "NAME", &code, &a, &b, &c), SPSS_NUME_EXP);

    char s1[9], s2[9], s3[9];
    ASSERT_EQ(spssGetVarCMissingValues(file.handle, "CODE", &code, s1, s2, s3), 0);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(std::string(s1).substr(0, 1), "X");
    EXPECT_EQ(std::string(s2).substr(0, 1), "Y");
    EXPECT_LE(std::strlen(s1), 3u);
    ASSERT_EQ(spssGetVarCMissingValues(file.handle, "CITY", &code, s1, s2, s3), 0);
    EXPECT_EQ(code, 1);
    EXPECT_STREQ(s1, "unknown ");
    EXPECT_EQ(spssGetVarCMissingValues(file.handle, "ID", &code, s1, s2, s3), SPSS_STR_EXP);
}

TEST_P(ReaderDictionary, ValueLabelsNumericAndString) {
    OpenedFile file(fixture::Build(Sample()));
    ASSERT_EQ(file.status, 0);
    double* values = nullptr;
    char** labels = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetVarNValueLabels(file.handle, "R3", &values, &labels, &n), 0);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(values[0], 0);
    EXPECT_STREQ(labels[0], "zero");
    EXPECT_EQ(values[1], 1);
    EXPECT_STREQ(labels[1], "unit");
    EXPECT_EQ(spssFreeVarNValueLabels(values, labels, n), 0);
    EXPECT_EQ(spssGetVarNValueLabels(file.handle, "W", &values, &labels, &n), SPSS_NO_LABELS);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(spssGetVarNValueLabels(file.handle, "NAME", &values, &labels, &n), SPSS_NUME_EXP);

    char** texts = nullptr;
    ASSERT_EQ(spssGetVarCValueLabels(file.handle, "NAME", &texts, &labels, &n), 0);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(texts[0], "Alice   ");
    EXPECT_STREQ(labels[1], "Bob B.");
    spssFreeVarCValueLabels(texts, labels, n);
    // Labels of a string wider than 8 come from the long-string record.
    ASSERT_EQ(spssGetVarCValueLabels(file.handle, "CITY", &texts, &labels, &n), 0);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(std::string(texts[0]).substr(0, 5), "Paris");
    EXPECT_STREQ(labels[0], "Capital of France");
    spssFreeVarCValueLabels(texts, labels, n);
    EXPECT_EQ(spssGetVarCValueLabels(file.handle, "ID", &texts, &labels, &n), SPSS_STR_EXP);
    EXPECT_EQ(spssGetVarCValueLabels(file.handle, "W", &texts, &labels, &n), SPSS_STR_EXP);
}

TEST_P(ReaderDictionary, CaseValues) {
    OpenedFile file(fixture::Build(Sample()));
    ASSERT_EQ(file.status, 0);
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Number("ID"), 1.0);
    EXPECT_EQ(file.Number("SCORE"), 3.5);
    EXPECT_EQ(file.Text("NAME"), "Alice   ");
    EXPECT_EQ(file.Text("CITY"), "Paris               ");
    EXPECT_EQ(file.Number("BORN"), 13203129600.0);
    EXPECT_EQ(file.Number("R2"), 151.0);
    EXPECT_EQ(file.Number("R3"), -99.0);
    EXPECT_EQ(file.Text("CODE"), "abc");
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Number("SCORE"), spssSysmisVal());
    EXPECT_EQ(file.Text("NAME"), "        ");
    EXPECT_EQ(file.Text("CITY"), "Nowhere in particula");
    EXPECT_EQ(file.Number("R2"), 152.0);
    EXPECT_EQ(file.Number("R3"), -100.0);
    EXPECT_EQ(file.Number("W"), 2.5);
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Number("BORN"), spssSysmisVal());
    EXPECT_EQ(file.Number("R2"), 1.5);
    EXPECT_EQ(file.Text("CODE"), "ZZ ");
    EXPECT_EQ(spssReadCaseRecord(file.handle), SPSS_FILE_END);
    EXPECT_EQ(spssReadCaseRecord(file.handle), SPSS_FILE_END);
}

TEST_P(ReaderDictionary, VeryLongStringIsOneVariable) {
    fixture::File f = Sample();
    f.variables = {fixture::Numeric("N"), fixture::String("VLS", 600), fixture::String("S", 3)};
    f.variables[1].longName = "VeryLongString";
    f.variables[1].label = "six hundred";
    std::string value(252, 'a');
    value += std::string(255, 'b') + std::string(93, 'c');
    f.cases = {{7.0, value, std::string("xyz")}, {8.0, std::string("short"), std::string("")}};
    f.weightVariable = -1;
    f.valueLabels = {{{1}, {}, {{"short", "a short one"}}}};
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int n, type;
    spssGetNumberofVariables(file.handle, &n);
    ASSERT_EQ(n, 3);
    char name[10];
    ASSERT_EQ(spssGetVarInfo(file.handle, 1, name, &type), 0);
    EXPECT_STREQ(name, "VLS");
    EXPECT_EQ(type, 600);
    ASSERT_EQ(spssGetVarInfo(file.handle, 2, name, &type), 0);
    EXPECT_STREQ(name, "S");
    char label[124];
    ASSERT_EQ(spssGetVarLabel(file.handle, "VLS", label), 0);
    EXPECT_STREQ(label, "six hundred");
    char** values;
    char** labels;
    ASSERT_EQ(spssGetVarCValueLabels(file.handle, "VLS", &values, &labels, &n), 0);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(std::strlen(values[0]), 600u);
    spssFreeVarCValueLabels(values, labels, n);

    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Text("VLS"), value);
    EXPECT_EQ(file.Text("S"), "xyz");
    EXPECT_EQ(file.Number("N"), 7.0);
    ASSERT_EQ(spssReadCaseRecord(file.handle), 0);
    EXPECT_EQ(file.Text("VLS"), "short" + std::string(595, ' '));
    EXPECT_EQ(file.Number("N"), 8.0);
}

TEST_P(ReaderDictionary, UnknownCaseCountIsCountedFromTheData) {
    fixture::File f = Sample();
    f.headerCaseCount = -1;
    f.cases.insert(f.cases.end(), f.cases.begin(), f.cases.end());
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int n = 0;
    ASSERT_EQ(spssGetNumberofCases(file.handle, &n), 0);
    EXPECT_EQ(n, 6);
    int cases = 0;
    EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_END);
    EXPECT_EQ(cases, 6);
}

TEST_P(ReaderDictionary, CaseCountFromTheSixtyFourBitRecord) {
    fixture::File f = Sample();
    f.headerCaseCount = -1;
    f.writeCaseCount64 = true;
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int n = 0;
    spssGetNumberofCases(file.handle, &n);
    EXPECT_EQ(n, 3);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ReaderDictionary,
                         ::testing::Combine(::testing::Values(Endian::Little, Endian::Big),
                                            ::testing::Values(Compression::None,
                                                              Compression::Bytecode,
                                                              Compression::Zlib)));

}  // namespace
