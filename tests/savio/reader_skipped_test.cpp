// What the reader drops from a damaged file is said in a warning naming the
// record's offset; what it refuses carries a reason and an offset; an
// encoding name that would garble the texts is not trusted.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "encoding/file_encoding_names.h"
#include "tests/savio/reader_support.h"

namespace {

using fixture::Compression;
using fixture::Endian;
using readertest::OpenedFile;

std::string Hex(size_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%zx", offset);
    return text;
}

std::string Int32s(std::initializer_list<int32_t> values) {
    std::string out(4 * values.size(), '\0');
    size_t at = 0;
    for (int32_t v : values) fixture::PutInt32(out, (at++) * 4, v, Endian::Little);
    return out;
}

// All warnings of an open file, one per line.
std::string Warnings(const OpenedFile& file) {
    char** texts = nullptr;
    int n = 0;
    EXPECT_EQ(spssGetDictionaryWarnings(file.handle, &texts, &n), SPSS_OK);
    std::string all;
    for (int i = 0; i < n; ++i) all += std::string(texts[i]) + "\n";
    spssFreeDictionaryWarnings(texts, n);
    return all;
}

// The offset of the first type 7 record of subtype.
size_t ExtensionAt(const fixture::File& f, int subtype) {
    const fixture::Layout layout = fixture::Describe(f);
    for (size_t i = 0; i < layout.extensions.size(); ++i)
        if (layout.extensionSubtypes[i] == subtype) return layout.extensions[i];
    ADD_FAILURE() << "no subtype " << subtype;
    return 0;
}

fixture::File Small() {
    fixture::File f;
    f.compression = Compression::None;
    f.variables = {fixture::Numeric("Q1"), fixture::Numeric("Q2"), fixture::String("S1", 4),
                   fixture::String("LONGER", 12)};
    f.cases = {{1.0, 2.0, std::string("ab"), std::string("x")},
               {3.0, 4.0, std::string("cd"), std::string("y")}};
    return f;
}

fixture::File WithRecord(int subtype, const std::string& body) {
    fixture::File f = Small();
    f.extraExtensions = {{subtype, 1, static_cast<int>(body.size()), body}};
    return f;
}

TEST(EncodingNames, OnlyByteOrientedAsciiCompatibleOnes) {
    for (const char* good : {"UTF-8", "utf8", "SHIFT_JIS", "windows-31j", "CP932", "EUC-JP", "GBK",
                             "GB18030", "BIG5", "EUC-KR", "CP949", "WINDOWS-1252", "cp1250",
                             "ISO-8859-15", "latin1", "KOI8-R", "macintosh", "IBM850", "US-ASCII"})
        EXPECT_TRUE(lv::IsAsciiCompatibleEncoding(good)) << good;
    for (const char* bad : {"UCS-4", "UCS-2", "UTF-16", "UTF-16LE", "UTF-32", "WCHAR_T", "UTF-7",
                            "ISO-2022-JP", "ISO-2022-KR", "HZ", "IBM037", "CP930", "EBCDIC-US",
                            "VISCII", "GB_1988-80", "NOSUCH", "", "CP9999"})
        EXPECT_FALSE(lv::IsAsciiCompatibleEncoding(bad)) << bad;
}

TEST(ReaderSkipped, AnEncodingRecordThatWouldGarbleTheTextsIsIgnored) {
    for (const char* name : {"UCS-4", "WCHAR_T", "ISO-2022-JP"}) {
        fixture::File f = Small();
        f.encoding = name;
        f.characterCode = 0;
        f.variables[0].label = "caf\xC3\xA9";  // UTF-8: the fallback's choice
        OpenedFile file(fixture::Build(f));
        ASSERT_EQ(file.status, 0);
        char encoding[64];
        ASSERT_EQ(spssGetFileEncoding(file.handle, encoding, sizeof encoding), 0);
        EXPECT_STREQ(encoding, "UTF-8") << name;
        const std::string w = Warnings(file);
        EXPECT_NE(w.find(std::string("'") + name + "'"), std::string::npos) << w;
        EXPECT_NE(w.find(Hex(ExtensionAt(f, 20))), std::string::npos) << w;
    }
    fixture::File f = Small();
    f.encoding = "windows-1252";
    OpenedFile kept(fixture::Build(f));
    char encoding[64];
    spssGetFileEncoding(kept.handle, encoding, sizeof encoding);
    EXPECT_STREQ(encoding, "windows-1252");
    EXPECT_EQ(Warnings(kept), "");
}

TEST(ReaderSkipped, VeryLongStringWhoseSegmentsDisagree) {
    fixture::File f = Small();
    f.variables.push_back(fixture::String("VLS", 300));
    f.cases.clear();
    std::string bytes = fixture::Build(f);
    // The first segment says 254 bytes (same slots), so it no longer starts
    // a very long string.
    const fixture::Layout layout = fixture::Describe(f);
    size_t record = 0;
    for (size_t at : layout.variableRecords)
        if (bytes.compare(at + 24, 8, "VLS     ") == 0) record = at;
    ASSERT_NE(record, 0u);
    fixture::PutInt32(bytes, record + 4, 254, Endian::Little);
    OpenedFile file(bytes);
    ASSERT_EQ(file.status, 0);
    int n = 0;
    spssGetNumberofVariables(file.handle, &n);
    EXPECT_EQ(n, 6);  // the two segments as two variables
    const std::string w = Warnings(file);
    EXPECT_NE(w.find("'VLS' of width 300 has segments"), std::string::npos) << w;
    EXPECT_NE(w.find("separate variables"), std::string::npos) << w;
    EXPECT_NE(w.find(Hex(ExtensionAt(f, 14))), std::string::npos) << w;

    // Writers that list ordinary strings there too drop nothing: no warning.
    EXPECT_EQ(Warnings(OpenedFile(fixture::Build(WithRecord(14, std::string("S1=4\0\t", 6))))), "");
}

TEST(ReaderSkipped, MalformedLongStringLabelsAndMissingValues) {
    // Subtype 21: one good label, then an entry that promises 5 labels and ends.
    const std::string good =
        Int32s({6}) + "LONGER" + Int32s({12, 1, 12}) + "x           " + Int32s({3}) + "Ex!";
    fixture::File f = WithRecord(21, good + Int32s({6}) + "LONGER" + Int32s({12, 5}));
    OpenedFile labels(fixture::Build(f));
    ASSERT_EQ(labels.status, 0);
    std::string w = Warnings(labels);
    EXPECT_NE(w.find("subtype 21) at " + Hex(ExtensionAt(f, 21)) + ": entry 2"), std::string::npos)
        << w;
    char** values = nullptr;
    char** texts = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetVarCValueLabels(labels.handle, "LONGER", &values, &texts, &n), 0);
    EXPECT_EQ(n, 1);  // the label before the fault stays
    spssFreeVarCValueLabels(values, texts, n);

    // A label for a variable that does not exist.
    f = WithRecord(21, Int32s({5}) + "NOSUC" + Int32s({12, 1, 1}) + "x" + Int32s({1}) + "y");
    w = Warnings(OpenedFile(fixture::Build(f)));
    EXPECT_NE(w.find("'NOSUC' names no variable; its 1 label(s) were dropped"), std::string::npos)
        << w;

    // Subtype 22 with a count of 5 missing values fits neither layout.
    f = WithRecord(22, Int32s({6}) + "LONGER" + std::string(1, '\x05') + Int32s({8}) + "12345678");
    OpenedFile missing(fixture::Build(f));
    w = Warnings(missing);
    EXPECT_NE(w.find("subtype 22) at " + Hex(ExtensionAt(f, 22)) + ": fits neither"),
              std::string::npos)
        << w;
}

TEST(ReaderSkipped, ValueLabelsWithBadVariableIndexes) {
    fixture::File f = Small();
    // An index past the last slot, and a string among numbers.
    f.valueLabels = {{{0, 99, 2}, {{1.0, "one"}}, {}}};
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    const std::string w = Warnings(file);
    EXPECT_NE(w.find("value label record at 0x"), std::string::npos) << w;
    EXPECT_NE(w.find("100 (no such slot)"), std::string::npos) << w;
    EXPECT_NE(w.find("(a string among numbers)"), std::string::npos) << w;
    double* values = nullptr;
    char** labels = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetVarNValueLabels(file.handle, "Q1", &values, &labels, &n), 0);
    EXPECT_EQ(n, 1);  // the good index keeps the labels
    spssFreeVarNValueLabels(values, labels, n);
}

TEST(ReaderSkipped, DataEndingBeforeTheHeadersCount) {
    for (Compression c : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
        fixture::File f = Small();
        f.compression = c;
        f.headerCaseCount = c == Compression::None ? 99 : 2147483647;
        OpenedFile file(fixture::Build(f));
        ASSERT_EQ(file.status, 0);
        spssFileHeaderInfo info{};
        ASSERT_EQ(spssGetFileHeaderInfo(file.handle, &info), 0);
        EXPECT_EQ(info.casesInData, 2);
        const std::string w = Warnings(file);
        EXPECT_NE(w.find("the data ends after 2 of the " + std::to_string(*f.headerCaseCount) +
                         " cases the header gives"),
                  std::string::npos)
            << w;
        // Reading on past the data is the read error it was.
        int cases = 0;
        EXPECT_EQ(readertest::ReadAll(file.handle, &cases), SPSS_FILE_RERROR);
        EXPECT_EQ(cases, 2);
    }
    OpenedFile whole(fixture::Build(Small()));
    spssFileHeaderInfo info{};
    spssGetFileHeaderInfo(whole.handle, &info);
    EXPECT_EQ(info.casesInData, -1);
    EXPECT_EQ(Warnings(whole), "");
}

TEST(ReaderSkipped, AnUnclosedQuoteStaysInsideItsVariable) {
    for (const char* damaged : {"Q1:Note('abc\n)/Q2:$@Role('1'\n)/S1:Tag('t'\n)",
                                "Q1:Note('abc)/Q2:$@Role('1'\n)/S1:Tag('t'\n)"}) {
        fixture::File f = WithRecord(18, damaged);
        OpenedFile file(fixture::Build(f));
        ASSERT_EQ(file.status, 0);
        int role = -1;
        spssGetVarRole(file.handle, "Q2", &role);
        EXPECT_EQ(role, SPSS_ROLE_TARGET) << damaged;
        char** names = nullptr;
        char** values = nullptr;
        int n = 0;
        ASSERT_EQ(spssGetVarAttributes(file.handle, "Q1", &names, &values, &n), 0);
        ASSERT_EQ(n, 1) << damaged;
        EXPECT_STREQ(values[0], "abc");
        spssFreeAttributes(names, values, n);
        ASSERT_EQ(spssGetVarAttributes(file.handle, "S1", &names, &values, &n), 0);
        EXPECT_EQ(n, 1) << damaged;
        spssFreeAttributes(names, values, n);
        EXPECT_NE(Warnings(file).find("lacks its closing quote"), std::string::npos);
    }
}

TEST(ReaderSkipped, MultipleResponseSetMembersAreKeptOnce) {
    std::string body = "$set=C 3 Set q1 q2";
    for (int i = 0; i < 20000; ++i) body += " q1";
    body += " q2\n";
    fixture::File f = WithRecord(7, body);
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    spssMultRespSet* sets = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetMultRespSets(file.handle, &sets, &n), 0);
    ASSERT_EQ(n, 1);
    ASSERT_EQ(sets[0].numVars, 2);
    EXPECT_STREQ(sets[0].varNames[0], "Q1");
    EXPECT_STREQ(sets[0].varNames[1], "Q2");
    spssFreeMultRespSets(sets, n);
    const std::string w = Warnings(file);
    EXPECT_NE(w.find("names variable Q1 20001 times; it is kept once"), std::string::npos) << w;
    EXPECT_NE(w.find("names variable Q2 2 times"), std::string::npos) << w;
}

// ---- refusals ----

struct Refused {
    int status = 0;
    std::string reason;
    long long offset = -2;
};

Refused Open(const std::string& bytes) {
    OpenedFile file(bytes);
    Refused r;
    char reason[512];
    EXPECT_EQ(spssGetOpenRefusal(&r.status, reason, sizeof reason, &r.offset), 0);
    r.reason = reason;
    EXPECT_EQ(r.status, file.status);
    return r;
}

TEST(ReaderRefusal, SaysWhyAndWhere) {
    const fixture::File f = Small();
    const std::string good = fixture::Build(f);
    const fixture::Layout layout = fixture::Describe(f);

    std::string bytes = good;
    fixture::PutInt32(bytes, layout.variableRecords[1] + 4, 300, Endian::Little);
    Refused r = Open(bytes);
    EXPECT_EQ(r.status, SPSS_INVALID_FILE);
    EXPECT_EQ(r.offset, static_cast<long long>(layout.variableRecords[1]));
    EXPECT_EQ(r.reason, "variable record at " + Hex(layout.variableRecords[1]) +
                            ": invalid variable type 300");

    bytes = good;
    fixture::PutInt32(bytes, layout.terminator, 5, Endian::Little);
    r = Open(bytes);
    EXPECT_EQ(r.reason, "unrecognised record type 5 at " + Hex(layout.terminator));

    fixture::File z = Small();
    z.compression = Compression::Zlib;
    bytes = fixture::Build(z);
    const size_t data = fixture::Describe(z).data;
    fixture::PutInt64(bytes, data, 7, Endian::Little);
    r = Open(bytes);
    EXPECT_EQ(r.offset, static_cast<long long>(data));
    EXPECT_NE(r.reason.find("corrupt zlib header"), std::string::npos) << r.reason;

    r = Open(good);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.reason, "");
}

// Every refusal of a file cut short, or with a byte changed anywhere in its
// dictionary, has a reason and an offset inside the file.
TEST(ReaderRefusal, EveryRefusalHasAReason) {
    const fixture::File f = fixture::SampleFile();
    const std::string good = fixture::Build(f);
    const size_t end = fixture::Describe(f).data;
    int refused = 0;
    for (size_t at = 0; at < end; ++at) {
        for (const std::string& bytes :
             {good.substr(0, at), good.substr(0, at) + '\xFF' + good.substr(at + 1)}) {
            const Refused r = Open(bytes);
            if (r.status == 0) continue;
            ++refused;
            EXPECT_FALSE(r.reason.empty()) << "at " << at;
            EXPECT_LE(r.offset, static_cast<long long>(bytes.size())) << r.reason;
        }
    }
    EXPECT_GT(refused, 100);
}

}  // namespace
