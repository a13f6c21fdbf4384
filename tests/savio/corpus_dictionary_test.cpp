// The rest of the dictionary of every corpus file that has it agrees with
// PSPP: documents, product info, byte order, multiple-response sets, file and
// variable attributes, display parameters, roles; and the variable sets and
// the list of extension records, which PSPP does not show, with a walk over
// the records (recorded in corpus_expected/dictionary/ by
// make_dictionary_expected.py).
// Texts are compared as the user sees them: decoded to UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "encoding/codec.h"
#include "savio/spssfio.h"
#include "tests/savio/corpus_expectations.h"
#include "tests/support/corpus.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string DictionaryDir() {
    return corpus::ExpectedDir() + "/dictionary";
}

std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(DictionaryDir())) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".txt")) names.push_back(name.substr(0, name.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == '\t')
            out.emplace_back();
        else
            out.back() += c;
    }
    for (std::string& f : out) f = Unescape(f);
    return out;
}

// The expectations of one file, each kind as sorted lines of joined fields.
std::map<std::string, Lines> LoadExpected(const std::string& name) {
    std::ifstream in(DictionaryDir() + "/" + name + ".txt");
    std::map<std::string, Lines> out;
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        const std::string kind = line.substr(0, tab);
        std::string rest;
        for (const std::string& f : Fields(line.substr(tab + 1))) rest += f + "|";
        out[kind].push_back(rest);
    }
    for (auto& [kind, lines] : out) std::sort(lines.begin(), lines.end());
    return out;
}

class CorpusDictionary : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        LORIVANE_SKIP_WITHOUT_CORPUS();
        expected_ = LoadExpected(GetParam());
        ASSERT_EQ(spssOpenRead(fixture::CorpusPath(GetParam()).c_str(), &h_), SPSS_OK);
        char encoding[64] = {};
        spssGetFileEncoding(h_, encoding, sizeof encoding);
        encoding_ = encoding;
        int n = 0;
        spssGetNumberofVariables(h_, &n);
        for (int i = 0; i < n; ++i) {
            char name[SPSS_VAR_NAME_SIZE];
            int type;
            spssGetVarInfo(h_, i, name, &type);
            char longName[1024];
            spssGetVarLongName(h_, name, longName, sizeof longName);
            shortNames_.push_back(name);
            longNames_[name] = Text(longName);
        }
    }
    void TearDown() override {
        if (h_ > 0) spssCloseRead(h_);
    }
    std::string Text(std::string_view bytes) const { return lv::ToUtf8(bytes, encoding_); }
    // Our lines of a kind, in the expectation files' form, without those of
    // the variables PSPP renamed.
    void Compare(const std::string& kind, Lines ours) {
        std::erase_if(ours, [&](const std::string& line) {
            for (const std::string& skipped : expected_["unchecked"])
                if (line.starts_with(skipped)) return true;
            return false;
        });
        std::sort(ours.begin(), ours.end());
        EXPECT_EQ(ours, expected_[kind]) << kind;
    }
    std::string Attributes(const std::string& owner, char** names, char** values, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            attributes_.push_back(owner + "|" + Text(names[i]) + "|" + Text(values[i]) + "|");
        }
        spssFreeAttributes(names, values, n);
        return out;
    }

    std::map<std::string, Lines> expected_;
    int h_ = 0;
    std::string encoding_;
    std::vector<std::string> shortNames_;
    std::map<std::string, std::string> longNames_;
    Lines attributes_;
};

TEST_P(CorpusDictionary, DocumentsProductInfoAndByteOrder) {
    char** lines = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetFileDocuments(h_, &lines, &n), SPSS_OK);
    Lines docs;
    for (int i = 0; i < n; ++i) docs.push_back(Text(lines[i]) + "|");
    spssFreeFileDocuments(lines, n);
    Compare("document", docs);
    if (expected_.count("product_info")) {
        char* product = nullptr;
        ASSERT_EQ(spssGetProductInfo(h_, &product), SPSS_OK);
        Compare("product_info", {Text(product) + "|"});
        spssFreeProductInfo(product);
    }
    spssFileHeaderInfo info{};
    ASSERT_EQ(spssGetFileHeaderInfo(h_, &info), SPSS_OK);
    Compare("byte_order", {std::string(info.bigEndian ? "big" : "little") + "|"});
}

TEST_P(CorpusDictionary, MultipleResponseSets) {
    spssMultRespSet* sets = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetMultRespSets(h_, &sets, &n), SPSS_OK);
    Lines ours;
    for (int i = 0; i < n; ++i) {
        const spssMultRespSet& s = sets[i];
        std::string label = s.label;
        if (s.labelFromFirstVar) {
            std::vector<char> buf(65536);
            if (spssGetVarFullLabel(h_, s.varNames[0], buf.data(), int(buf.size())) != 0)
                buf[0] = 0;
            label = buf.data();
        }
        std::string line = Text(s.name) + "|" + Text(label) + "|" +
                           (s.kind == SPSS_MRSET_DICHOTOMY ? "dichotomy" : "category") + "|" +
                           Text(s.countedValue) + "|";
        for (int k = 0; k < s.numVars; ++k) line += longNames_[s.varNames[k]] + "|";
        ours.push_back(line);
    }
    spssFreeMultRespSets(sets, n);
    Compare("mrset", ours);
}

TEST_P(CorpusDictionary, FileAndVariableAttributes) {
    char** names = nullptr;
    char** values = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetFileAttributes(h_, &names, &values, &n), SPSS_OK);
    Attributes("(dataset)", names, values, n);
    for (const std::string& v : shortNames_) {
        ASSERT_EQ(spssGetVarAttributes(h_, v.c_str(), &names, &values, &n), SPSS_OK);
        Attributes(longNames_[v], names, values, n);
    }
    Compare("attribute", attributes_);
}

TEST_P(CorpusDictionary, DisplayParametersAndRoles) {
    static const char* kMeasures[] = {"", "nominal", "ordinal", "scale"};
    static const char* kAlignments[] = {"left", "right", "center"};
    static const char* kRoles[] = {"input", "target", "both", "none", "partition", "split"};
    Lines display, roles;
    for (const std::string& v : shortNames_) {
        int measure, width, alignment, role;
        ASSERT_EQ(spssGetVarMeasureLevel(h_, v.c_str(), &measure), SPSS_OK);
        ASSERT_EQ(spssGetVarColumnWidth(h_, v.c_str(), &width), SPSS_OK);
        ASSERT_EQ(spssGetVarAlignment(h_, v.c_str(), &alignment), SPSS_OK);
        ASSERT_EQ(spssGetVarRole(h_, v.c_str(), &role), SPSS_OK);
        roles.push_back(longNames_[v] + "|" + kRoles[role] + "|");
        if (measure == SPSS_MLVL_UNK) continue;
        display.push_back(longNames_[v] + "|" + kMeasures[measure] + "|" +
                          (width < 0 ? "-" : std::to_string(width)) + "|" + kAlignments[alignment] +
                          "|");
    }
    Compare("display", display);
    Compare("role", roles);
}

TEST_P(CorpusDictionary, VariableSets) {
    spssVarSet* sets = nullptr;
    int n = 0;
    const int st = spssGetVariableSets(h_, &sets, &n);
    ASSERT_TRUE(st == SPSS_OK || st == SPSS_NO_VARSETS || st == SPSS_EMPTY_VARSETS) << st;
    Lines ours;
    for (int i = 0; i < n; ++i) {
        std::string line = Text(sets[i].name) + "|";
        for (int k = 0; k < sets[i].numVars; ++k) line += longNames_[sets[i].varNames[k]] + "|";
        ours.push_back(line);
    }
    spssFreeVariableSets(sets, n);
    Compare("varset", ours);
}

TEST_P(CorpusDictionary, EveryExtensionRecordIsListed) {
    spssExtensionRecord* records = nullptr;
    int n = 0;
    ASSERT_EQ(spssGetExtensionRecords(h_, &records, &n), SPSS_OK);
    Lines ours;
    for (int i = 0; i < n; ++i)
        ours.push_back(std::to_string(records[i].subtype) + "|" + std::to_string(records[i].size) +
                       "|" + std::to_string(records[i].count) + "|");
    spssFreeExtensionRecords(records, n);
    Compare("extension", ours);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, CorpusDictionary, ::testing::ValuesIn(Files()),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

}  // namespace
