// The rest of the dictionary through the spss... calls: documents, header and
// machine details, attributes and roles, display parameters, multiple-response
// and variable sets, in both byte orders; and each record broken in turn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/savio/reader_support.h"

namespace {

using fixture::Endian;
using readertest::OpenedFile;

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries Attributes(int h, const char* var) {
    char** names = nullptr;
    char** values = nullptr;
    int n = -1;
    const int st = var ? spssGetVarAttributes(h, var, &names, &values, &n)
                       : spssGetFileAttributes(h, &names, &values, &n);
    EXPECT_EQ(st, SPSS_OK);
    Entries out;
    for (int i = 0; i < n; ++i) out.emplace_back(names[i], values[i]);
    spssFreeAttributes(names, values, n);
    return out;
}

std::vector<std::string> Warnings(int h) {
    char** texts = nullptr;
    int n = 0;
    EXPECT_EQ(spssGetDictionaryWarnings(h, &texts, &n), SPSS_OK);
    std::vector<std::string> out(texts, texts + n);
    spssFreeDictionaryWarnings(texts, n);
    return out;
}

struct Set {
    std::string name, label, counted;
    int kind = 0, countedLabels = 0, fromVar = 0;
    std::vector<std::string> vars;
    bool operator==(const Set&) const = default;
};

std::vector<Set> MultRespSets(int h) {
    spssMultRespSet* sets = nullptr;
    int n = -1;
    EXPECT_EQ(spssGetMultRespSets(h, &sets, &n), SPSS_OK);
    std::vector<Set> out;
    for (int i = 0; i < n; ++i) {
        const spssMultRespSet& s = sets[i];
        out.push_back({s.name, s.label, s.countedValue, s.kind, s.countedValueLabels,
                       s.labelFromFirstVar,
                       std::vector<std::string>(s.varNames, s.varNames + s.numVars)});
    }
    spssFreeMultRespSets(sets, n);
    return out;
}

// Numeric Q1..Q3 (Q1 labelled, long name q1), strings S1, S2 (A3), a
// 300-byte string and a last numeric, with every optional record filled.
fixture::File Rich(Endian e) {
    fixture::File f;
    f.endian = e;
    f.variables = {fixture::Numeric("Q1"),   fixture::Numeric("Q2"),   fixture::Numeric("Q3"),
                   fixture::String("S1", 3), fixture::String("S2", 3), fixture::String("LONG", 300),
                   fixture::Numeric("LAST")};
    f.variables[0].label = "First question";
    f.variables[0].longName = "q1";
    f.variables[5].longName = "LongText";
    f.displayParameters = true;
    f.variables[0].display = fixture::Variable::Display{0, 5, 2};  // 0: nominal
    f.variables[1].display = fixture::Variable::Display{2, 9, 1};
    f.variables[5].display = fixture::Variable::Display{1, 40, 0};
    f.variables[6].display = fixture::Variable::Display{3, 12, 1};
    f.documents = {"First line of the notes", "  second, indented   "};
    f.fileAttributes = {{"Origin", {"survey 'A'"}}, {"Note", {"first", "second"}}};
    f.variables[0].attributes = {{"Source", {"it's"}}};
    f.variables[0].role = 1;
    f.variables[5].role = 4;
    f.mrsets = {{"$cat", "Category set", false, "", false, false, {0, 1, 2}},
                {"$dich", "", true, "1", false, false, {0, 1}},
                {"$sdich", "String dichotomy", true, "yes", false, false, {3, 4}},
                {"$counted", "Counted values", true, "1", true, false, {1, 2}},
                {"$fromvar", "", true, "1", true, true, {0, 2}}};
    f.variableSets = {{"Answers", {"q1", "Q2", "Q3"}}, {"Texts", {"LongText"}}};
    f.productInfo = "Made by the fixture\r\nsecond line";
    f.release[0] = 21;
    f.release[1] = 0;
    f.release[2] = 3;
    f.machineCode = 720;
    f.cases = {{1.0, 0.0, 1.0, std::string("yes"), std::string("no"), std::string("x"), 5.0}};
    return f;
}

class WholeDictionary : public ::testing::TestWithParam<Endian> {};

TEST_P(WholeDictionary, HeaderMachineAndProductDetails) {
    OpenedFile file(fixture::Build(Rich(GetParam())));
    ASSERT_EQ(file.status, 0);
    spssFileHeaderInfo info{};
    ASSERT_EQ(spssGetFileHeaderInfo(file.handle, &info), SPSS_OK);
    EXPECT_EQ(info.compression, SPSS_COMPRESSION_BYTECODE);
    EXPECT_EQ(info.bigEndian, GetParam() == Endian::Big ? 1 : 0);
    EXPECT_EQ(info.layoutCode, 2);
    EXPECT_EQ(info.slotCount, 6 + 38);
    EXPECT_EQ(info.nominalCaseSize, info.slotCount);
    EXPECT_EQ(info.weightIndex, 0);
    EXPECT_EQ(info.headerCaseCount, 1);
    EXPECT_EQ(info.caseCount64, -1);
    EXPECT_EQ(info.bias, 100.0);

    int rel[SPSS_RELINFO_COUNT] = {};
    ASSERT_EQ(spssGetReleaseInfo(file.handle, rel), SPSS_OK);
    EXPECT_EQ(rel[SPSS_RELINFO_MAJOR], 21);
    EXPECT_EQ(rel[SPSS_RELINFO_REVISION], 3);
    EXPECT_EQ(rel[SPSS_RELINFO_MACHINE_CODE], 720);
    EXPECT_EQ(rel[SPSS_RELINFO_FLOAT_REP], 1);
    EXPECT_EQ(rel[SPSS_RELINFO_ENDIANNESS], GetParam() == Endian::Big ? 1 : 2);
    EXPECT_EQ(rel[SPSS_RELINFO_CHARACTER_CODE], 65001);
    double sysmis = 0, highest = 0, lowest = 0;
    ASSERT_EQ(spssGetFloatInfo(file.handle, &sysmis, &highest, &lowest), SPSS_OK);
    EXPECT_EQ(sysmis, fixture::kSysmis);
    EXPECT_EQ(highest, fixture::kHighest);
    EXPECT_EQ(lowest, fixture::kLowest);
    char enc[8];
    ASSERT_EQ(spssGetEncodingRecord(file.handle, enc, sizeof enc), SPSS_OK);
    EXPECT_STREQ(enc, "UTF-8");
    EXPECT_EQ(spssGetEncodingRecord(file.handle, enc, 3), SPSS_BUFFER_SHORT);
    EXPECT_STREQ(enc, "UT");
    char* product = nullptr;
    ASSERT_EQ(spssGetProductInfo(file.handle, &product), SPSS_OK);
    EXPECT_STREQ(product, "Made by the fixture\r\nsecond line");
    spssFreeProductInfo(product);

    spssExtensionRecord* records = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetExtensionRecords(file.handle, &records, &n), SPSS_OK);
    const fixture::Layout layout = fixture::Describe(Rich(GetParam()));
    ASSERT_EQ(n, static_cast<int>(layout.extensions.size()));
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(records[i].subtype, layout.extensionSubtypes[i]);
        EXPECT_EQ(records[i].offset, static_cast<long long>(layout.extensions[i]));
    }
    EXPECT_EQ(records[0].subtype, 3);
    EXPECT_EQ(records[0].size, 4);
    EXPECT_EQ(records[0].count, 8);
    spssFreeExtensionRecords(records, n);
    EXPECT_TRUE(Warnings(file.handle).empty());
}

TEST_P(WholeDictionary, DocumentsAndAttributes) {
    OpenedFile file(fixture::Build(Rich(GetParam())));
    ASSERT_EQ(file.status, 0);
    char** lines = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetFileDocuments(file.handle, &lines, &n), SPSS_OK);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(lines[0], "First line of the notes");
    EXPECT_STREQ(lines[1], "  second, indented");
    spssFreeFileDocuments(lines, n);

    EXPECT_EQ(Attributes(file.handle, nullptr),
              (Entries{{"Origin", "survey 'A'"}, {"Note[1]", "first"}, {"Note[2]", "second"}}));
    EXPECT_EQ(Attributes(file.handle, "Q1"), (Entries{{"Source", "it's"}, {"$@Role", "1"}}));
    EXPECT_EQ(Attributes(file.handle, "LONG"), (Entries{{"$@Role", "4"}}));
    EXPECT_TRUE(Attributes(file.handle, "Q2").empty());
    int role = -1;
    ASSERT_EQ(spssGetVarRole(file.handle, "q1", &role), SPSS_OK);
    EXPECT_EQ(role, SPSS_ROLE_TARGET);
    ASSERT_EQ(spssGetVarRole(file.handle, "LongText", &role), SPSS_OK);
    EXPECT_EQ(role, SPSS_ROLE_PARTITION);
    ASSERT_EQ(spssGetVarRole(file.handle, "Q2", &role), SPSS_OK);
    EXPECT_EQ(role, SPSS_ROLE_INPUT);
}

// Each segment of the 300-byte string has a group of its own: the group of
// LAST must not be taken from LONG's second segment.
TEST_P(WholeDictionary, DisplayParametersSkipTheSegmentsOfVeryLongStrings) {
    for (int perVariable : {3, 2}) {
        fixture::File f = Rich(GetParam());
        f.displayValuesPerVariable = perVariable;
        OpenedFile file(fixture::Build(f));
        ASSERT_EQ(file.status, 0);
        struct Want {
            const char* name;
            int measure, width, alignment;
        };
        const int none = -1;
        for (const Want& w : {Want{"Q1", SPSS_MLVL_NOM, 5, SPSS_ALIGN_CENTER},
                              Want{"Q2", SPSS_MLVL_ORD, 9, SPSS_ALIGN_RIGHT},
                              Want{"LONG", SPSS_MLVL_NOM, 40, SPSS_ALIGN_LEFT},
                              Want{"LAST", SPSS_MLVL_RAT, 12, SPSS_ALIGN_RIGHT}}) {
            int measure = -2, width = -2, alignment = -2;
            ASSERT_EQ(spssGetVarMeasureLevel(file.handle, w.name, &measure), SPSS_OK);
            ASSERT_EQ(spssGetVarColumnWidth(file.handle, w.name, &width), SPSS_OK);
            ASSERT_EQ(spssGetVarAlignment(file.handle, w.name, &alignment), SPSS_OK);
            EXPECT_EQ(measure, w.measure) << w.name;
            EXPECT_EQ(width, perVariable == 3 ? w.width : none) << w.name;
            EXPECT_EQ(alignment, w.alignment) << w.name;
        }
        EXPECT_TRUE(Warnings(file.handle).empty());
    }
}

TEST_P(WholeDictionary, MultipleResponseSetsOfEveryKind) {
    OpenedFile file(fixture::Build(Rich(GetParam())));
    ASSERT_EQ(file.status, 0);
    const std::vector<Set> want = {
        {"$cat", "Category set", "", SPSS_MRSET_CATEGORY, 0, 0, {"Q1", "Q2", "Q3"}},
        {"$dich", "", "1", SPSS_MRSET_DICHOTOMY, 0, 0, {"Q1", "Q2"}},
        {"$sdich", "String dichotomy", "yes", SPSS_MRSET_DICHOTOMY, 0, 0, {"S1", "S2"}},
        {"$counted", "Counted values", "1", SPSS_MRSET_DICHOTOMY, 1, 0, {"Q2", "Q3"}},
        {"$fromvar", "", "1", SPSS_MRSET_DICHOTOMY, 1, 1, {"Q1", "Q3"}}};
    EXPECT_EQ(MultRespSets(file.handle), want);
}

TEST_P(WholeDictionary, VariableSetsByShortName) {
    OpenedFile file(fixture::Build(Rich(GetParam())));
    ASSERT_EQ(file.status, 0);
    spssVarSet* sets = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetVariableSets(file.handle, &sets, &n), SPSS_OK);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(sets[0].name, "Answers");
    ASSERT_EQ(sets[0].numVars, 3);
    EXPECT_STREQ(sets[0].varNames[0], "Q1");
    EXPECT_STREQ(sets[0].varNames[2], "Q3");
    EXPECT_STREQ(sets[1].name, "Texts");
    ASSERT_EQ(sets[1].numVars, 1);
    EXPECT_STREQ(sets[1].varNames[0], "LONG");
    spssFreeVariableSets(sets, n);
}

// A file with none of the optional records says so in each call.
TEST_P(WholeDictionary, AbsentRecords) {
    fixture::File f = fixture::SampleFile();
    f.endian = GetParam();
    f.characterCode = 0;
    f.writeFloatInfo = false;
    f.encoding.clear();
    f.documents.clear();
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    int rel[SPSS_RELINFO_COUNT];
    EXPECT_EQ(spssGetReleaseInfo(file.handle, rel), SPSS_NO_TYPE73);
    double a, b, c;
    EXPECT_EQ(spssGetFloatInfo(file.handle, &a, &b, &c), SPSS_NO_TYPE73);
    char enc[8] = "x";
    EXPECT_EQ(spssGetEncodingRecord(file.handle, enc, sizeof enc), SPSS_OK);
    EXPECT_STREQ(enc, "");
    char** lines = reinterpret_cast<char**>(1);
    int n = -1;
    EXPECT_EQ(spssGetFileDocuments(file.handle, &lines, &n), SPSS_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(lines, nullptr);
    EXPECT_TRUE(Attributes(file.handle, nullptr).empty());
    EXPECT_TRUE(MultRespSets(file.handle).empty());
    spssVarSet* sets = nullptr;
    EXPECT_EQ(spssGetVariableSets(file.handle, &sets, &n), SPSS_NO_VARSETS);
    int value = 7;
    EXPECT_EQ(spssGetVarMeasureLevel(file.handle, "ID", &value), SPSS_OK);
    EXPECT_EQ(value, SPSS_MLVL_UNK);
    EXPECT_EQ(spssGetVarColumnWidth(file.handle, "ID", &value), SPSS_OK);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(spssGetVarAlignment(file.handle, "ID", &value), SPSS_OK);
    EXPECT_EQ(value, SPSS_ALIGN_UNK);
    EXPECT_EQ(spssGetVarRole(file.handle, "nosuch", &value), SPSS_VAR_NOTFOUND);
    EXPECT_EQ(spssGetVarRole(file.handle, "ID", nullptr), SPSS_INVALID_HANDLE);
    EXPECT_EQ(spssGetVarRole(0, "ID", &value), SPSS_INVALID_HANDLE);

    f.variableSets = {};
    f.extraExtensions = {{5, 1, 2, "\r\n"}};
    OpenedFile empty(fixture::Build(f));
    ASSERT_EQ(empty.status, 0);
    EXPECT_EQ(spssGetVariableSets(empty.handle, &sets, &n), SPSS_EMPTY_VARSETS);
    EXPECT_EQ(n, 0);
}

INSTANTIATE_TEST_SUITE_P(BothByteOrders, WholeDictionary,
                         ::testing::Values(Endian::Little, Endian::Big));

// ---- broken records: the file opens, the fault is skipped and reported ----

// The rich file with one more record, or a record replaced, and what is left
// of the dictionary afterwards.
class BrokenRecord : public ::testing::TestWithParam<Endian> {
  protected:
    fixture::File Base() const { return Rich(GetParam()); }
    std::string Int32s(std::initializer_list<int32_t> values) const {
        std::string out(4 * values.size(), '\0');
        size_t at = 0;
        for (int32_t v : values) fixture::PutInt32(out, (at++) * 4, v, GetParam());
        return out;
    }
    // Opens f and expects one warning that contains each of words.
    std::vector<std::string> OpenWithWarning(const fixture::File& f, OpenedFile** out,
                                             std::initializer_list<const char*> words) {
        file_ = std::make_unique<OpenedFile>(fixture::Build(f));
        *out = file_.get();
        EXPECT_EQ(file_->status, 0);
        if (file_->status != 0) return {};
        const std::vector<std::string> w = Warnings(file_->handle);
        bool found = false;
        for (const std::string& text : w) {
            bool all = true;
            for (const char* word : words) all = all && text.find(word) != std::string::npos;
            found = found || all;
        }
        EXPECT_TRUE(found) << "no warning with " << *words.begin();
        return w;
    }

  private:
    std::unique_ptr<OpenedFile> file_;
};

TEST_P(BrokenRecord, DisplayParameters) {
    fixture::File f = Base();
    f.displayParameters = false;
    f.extraExtensions = {{11, 4, 4, Int32s({1, 8, 0, 1})}};  // 4 values for 8 records
    OpenedFile* file;
    OpenWithWarning(f, &file, {"subtype 11", "skipped"});
    int measure = 9;
    spssGetVarMeasureLevel(file->handle, "Q1", &measure);
    EXPECT_EQ(measure, SPSS_MLVL_UNK);

    f = Base();
    f.variables[1].display = fixture::Variable::Display{7, 8, 9};
    OpenWithWarning(f, &file, {"subtype 11", "Q2"});
    spssGetVarMeasureLevel(file->handle, "Q2", &measure);
    EXPECT_EQ(measure, SPSS_MLVL_UNK);
    spssGetVarMeasureLevel(file->handle, "Q3", &measure);
    EXPECT_EQ(measure, SPSS_MLVL_RAT);  // the fixture's default for numbers
}

TEST_P(BrokenRecord, MultipleResponseSets) {
    fixture::File f = Base();
    f.mrsets = {};
    // A good set, then sets the reader must leave out, then a count that runs
    // past the end of the body, after which nothing more is read.
    f.extraExtensions = {{7, 1, 0,
                          "$good=C 4 Good q1 q2\n"
                          "nodollar=C 1 x q1 q2\n"
                          "$one=C 1 x q1\n"
                          "$mixed=C 1 x q1 s1\n"
                          "$unknown=C 1 x q1 q2 nosuch\n"
                          "$good=C 3 Dup q2 q3\n"
                          "$odd=X 1 x q1 q2\n"
                          "$after=C 1 x q1 q2\n"}};
    f.extraExtensions[0].count = static_cast<int>(f.extraExtensions[0].data.size());
    f.extraExtensions.push_back({19, 1, 17, "$past=E 1 1 1 99 "});
    OpenedFile* file;
    const auto warnings = OpenWithWarning(f, &file, {"subtype 7", "$odd"});
    const std::vector<Set> sets = MultRespSets(file->handle);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, "$good");
    EXPECT_EQ(sets[0].label, "Good");
    EXPECT_EQ(sets[1].name, "$unknown");
    EXPECT_EQ(sets[1].vars, (std::vector<std::string>{"Q1", "Q2"}));
    std::string all;
    for (const std::string& w : warnings) all += w + "\n";
    for (const char* word : {"nodollar", "$one", "$mixed", "nosuch", "Dup", "$past", "subtype 19"})
        EXPECT_NE(all.find(word == std::string("Dup") ? "$good" : word), std::string::npos) << word;
}

TEST_P(BrokenRecord, Attributes) {
    fixture::File f = Base();
    f.fileAttributes = {};
    f.extraExtensions = {{17, 1, 0, "Kept('yes'\n)Empty()Also('1'\n)Open('never closed)"}};
    f.extraExtensions[0].count = static_cast<int>(f.extraExtensions[0].data.size());
    OpenedFile* file;
    OpenWithWarning(f, &file, {"subtype 17", "Open"});
    EXPECT_EQ(Attributes(file->handle, nullptr), (Entries{{"Kept", "yes"}, {"Also", "1"}}));

    f = Base();
    for (auto& v : f.variables) {
        v.attributes.clear();
        v.role.reset();
    }
    f.extraExtensions = {{18, 1, 0, "nosuch:A('1'\n)/Q2:$@Role('9'\n)/Q3:B('2'\n)/Q1 no colon"}};
    f.extraExtensions[0].count = static_cast<int>(f.extraExtensions[0].data.size());
    const auto warnings = OpenWithWarning(f, &file, {"subtype 18", "nosuch"});
    EXPECT_EQ(warnings.size(), 3u);  // unknown variable, invalid role, no ':'
    int role = -1;
    spssGetVarRole(file->handle, "Q2", &role);
    EXPECT_EQ(role, SPSS_ROLE_INPUT);
    EXPECT_EQ(Attributes(file->handle, "Q2"), (Entries{{"$@Role", "9"}}));
    EXPECT_EQ(Attributes(file->handle, "Q3"), (Entries{{"B", "2"}}));
}

TEST_P(BrokenRecord, VariableSetsMachineRecordsAndDocuments) {
    fixture::File f = Base();
    f.variableSets = {};
    f.extraExtensions = {{5, 1, 0, "no equals sign\nGood= q1 nosuch\n"}};
    f.extraExtensions[0].count = static_cast<int>(f.extraExtensions[0].data.size());
    OpenedFile* file;
    OpenWithWarning(f, &file, {"subtype 5", "nosuch"});
    spssVarSet* sets = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetVariableSets(file->handle, &sets, &n), SPSS_OK);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(sets[0].numVars, 1);
    spssFreeVariableSets(sets, n);

    // Integer and float info of the wrong shape are skipped, not fatal.
    f = Base();
    f.characterCode = 0;
    f.writeFloatInfo = false;
    f.extraExtensions = {{3, 4, 7, Int32s({1, 2, 3, 4, 5, 6, 7})},
                         {4, 8, 2, std::string(16, '\0')}};
    OpenWithWarning(f, &file, {"subtype 3"});
    int rel[SPSS_RELINFO_COUNT];
    EXPECT_EQ(spssGetReleaseInfo(file->handle, rel), SPSS_NO_TYPE73);
    double a, b, c;
    EXPECT_EQ(spssGetFloatInfo(file->handle, &a, &b, &c), SPSS_NO_TYPE73);

    // A second document record is skipped; the first one's lines stay.
    std::string bytes = fixture::Build(Base());
    const size_t at = fixture::Describe(Base()).terminator;
    std::string record = Int32s({6, 1}) + std::string(80, 'z');
    bytes.insert(at, record);
    OpenedFile twice(bytes);
    ASSERT_EQ(twice.status, 0);
    char** lines = nullptr;
    ASSERT_EQ(spssGetFileDocuments(twice.handle, &lines, &n), SPSS_OK);
    EXPECT_EQ(n, 2);
    spssFreeFileDocuments(lines, n);
    EXPECT_EQ(Warnings(twice.handle).size(), 1u);
}

// A document record that runs past the end is structural: the file is refused.
TEST_P(BrokenRecord, DocumentPastTheEndIsRefused) {
    std::string bytes = fixture::Build(Base());
    const size_t at = fixture::Describe(Base()).terminator;
    bytes.insert(at, Int32s({6, 0x10000000}));
    OpenedFile file(bytes);
    EXPECT_EQ(file.status, SPSS_FILE_RERROR);
}

TEST(WarningCount, AnyNumberOfFaultsKeepsAHundredAndOneTexts) {
    fixture::File f = Rich(Endian::Little);
    std::string body;
    for (int i = 0; i < 500; ++i) body += "$s" + std::to_string(i) + "=C 1 x q1\n";
    f.extraExtensions = {{7, 1, static_cast<int>(body.size()), body}};
    OpenedFile file(fixture::Build(f));
    ASSERT_EQ(file.status, 0);
    const auto warnings = Warnings(file.handle);
    ASSERT_EQ(warnings.size(), 101u);
    EXPECT_EQ(warnings.back(), "further warnings were left out");
}

INSTANTIATE_TEST_SUITE_P(BothByteOrders, BrokenRecord,
                         ::testing::Values(Endian::Little, Endian::Big));

}  // namespace
