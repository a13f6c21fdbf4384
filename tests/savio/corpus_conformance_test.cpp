// Conformance over the corpus of real files: each one opens through the
// spss... calls and gives the dictionary and the values that PSPP and
// ReadStat read from it (recorded in corpus_expected/).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "savio/spssfio.h"
#include "tests/savio/corpus_expectations.h"
#include "tests/support/corpus.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(corpus::ExpectedDir())) {
        std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.ends_with(".txt"))
            names.push_back(name.substr(0, name.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

// "LO" and "HI" stand for the ends of open missing-value ranges.
void ExpectNumber(const std::string& expected, double actual, const std::string& what) {
    if (expected == "LO") {
        EXPECT_LE(actual, -1.7976931348623155e308) << what;
    } else if (expected == "HI") {
        EXPECT_GE(actual, 1.7976931348623155e308) << what;
    } else if (expected == ".") {
        EXPECT_EQ(actual, spssSysmisVal()) << what;
    } else {
        double e = std::stod(expected);
        EXPECT_NEAR(actual, e, std::max(1e-9, std::fabs(e) * 1e-9)) << what;
    }
}

class Corpus : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        LORIVANE_SKIP_WITHOUT_CORPUS();
        expected_ = corpus::LoadExpected(corpus::ExpectedDir() + "/" + GetParam() + ".txt");
        path_ = fixture::CorpusPath(GetParam());
        ASSERT_EQ(spssOpenRead(path_.c_str(), &h_), SPSS_OK) << path_;
        open_ = true;
    }
    void TearDown() override {
        if (open_) {
            EXPECT_EQ(spssCloseRead(h_), SPSS_OK);
        }
    }

    corpus::Expected expected_;
    std::string path_;
    int h_ = -1;
    bool open_ = false;
};

TEST_P(Corpus, HeaderCounts) {
    int cases = -2, vars = -2, compressed = -2;
    EXPECT_EQ(spssGetNumberofCases(h_, &cases), SPSS_OK);
    EXPECT_EQ(cases, expected_.cases);
    EXPECT_EQ(spssGetNumberofVariables(h_, &vars), SPSS_OK);
    EXPECT_EQ(vars, expected_.variables);
    EXPECT_EQ(spssGetCompression(h_, &compressed), SPSS_OK);
    EXPECT_EQ(compressed, expected_.compression);
    char weight[12] = {};
    int status = spssGetCaseWeightVar(h_, weight);
    if (expected_.weight == "-") {
        EXPECT_EQ(status, SPSS_NO_CASEWGT);
    } else {
        EXPECT_EQ(status, SPSS_OK);
        EXPECT_EQ(std::string(weight), expected_.weight);
    }
}

TEST_P(Corpus, VariablesNamesTypesAndFormats) {
    ASSERT_EQ(expected_.vars.size(), size_t(expected_.variables));
    for (size_t i = 0; i < expected_.vars.size(); ++i) {
        const corpus::ExpectedVariable& v = expected_.vars[i];
        char name[10] = {};
        int type = -1;
        ASSERT_EQ(spssGetVarInfo(h_, int(i), name, &type), SPSS_OK) << i;
        EXPECT_EQ(std::string(name), v.shortName) << "variable " << i;
        EXPECT_EQ(type, v.width) << v.shortName;
        if (v.longName != "-") {
            char longName[256] = {};
            EXPECT_EQ(spssGetVarLongName(h_, v.shortName.c_str(), longName, sizeof longName),
                      SPSS_OK);
            EXPECT_EQ(std::string(longName), v.longName) << v.shortName;
        }
        int t = -1, d = -1, w = -1;
        EXPECT_EQ(spssGetVarPrintFormat(h_, v.shortName.c_str(), &t, &d, &w), SPSS_OK);
        EXPECT_EQ((std::vector<int>{t, w, d}),
                  (std::vector<int>{v.print[0], v.print[1], v.print[2]}))
            << "print format of " << v.shortName;
        EXPECT_EQ(spssGetVarWriteFormat(h_, v.shortName.c_str(), &t, &d, &w), SPSS_OK);
        EXPECT_EQ((std::vector<int>{t, w, d}),
                  (std::vector<int>{v.write[0], v.write[1], v.write[2]}))
            << "write format of " << v.shortName;
    }
}

TEST_P(Corpus, VariableLabels) {
    for (const corpus::ExpectedVariable& v : expected_.vars) {
        if (!v.hasLabel) continue;
        char label[124] = {};
        EXPECT_EQ(spssGetVarLabel(h_, v.shortName.c_str(), label), SPSS_OK);
        std::string got(label);
        EXPECT_LE(got.size(), 122u);
        if (v.label.size() <= 120) {
            EXPECT_EQ(got, v.label) << v.shortName;
        } else {
            EXPECT_EQ(v.label.compare(0, got.size(), got), 0) << v.shortName;
            std::vector<char> full(v.label.size() + 16);
            EXPECT_EQ(spssGetVarFullLabel(h_, v.shortName.c_str(), full.data(), int(full.size())),
                      SPSS_OK);
            EXPECT_EQ(std::string(full.data()), v.label) << v.shortName;
        }
    }
}

TEST_P(Corpus, MissingValues) {
    for (const corpus::ExpectedVariable& v : expected_.vars) {
        int code = -99;
        if (v.width == 0) {
            double d[3] = {0, 0, 0};
            ASSERT_EQ(spssGetVarNMissingValues(h_, v.shortName.c_str(), &code, &d[0], &d[1], &d[2]),
                      SPSS_OK);
            EXPECT_EQ(code, v.hasMissing ? v.missingCode : 0) << v.shortName;
            for (size_t k = 0; k < v.missing.size() && k < 3; ++k)
                ExpectNumber(v.missing[k], d[k], v.shortName + " missing value");
        } else {
            char s[3][9] = {};
            ASSERT_EQ(spssGetVarCMissingValues(h_, v.shortName.c_str(), &code, s[0], s[1], s[2]),
                      SPSS_OK);
            EXPECT_EQ(code, v.hasMissing ? v.missingCode : 0) << v.shortName;
            for (size_t k = 0; k < v.missing.size() && k < 3; ++k)
                EXPECT_EQ(TrimRight(s[k]), TrimRight(v.missing[k].substr(0, 8))) << v.shortName;
        }
    }
}

TEST_P(Corpus, ValueLabels) {
    for (const corpus::ExpectedVariable& v : expected_.vars) {
        int n = -1;
        std::map<std::string, std::string> got;  // value as text -> label
        std::map<double, std::string> gotNumeric;
        if (v.width == 0) {
            double* values = nullptr;
            char** labels = nullptr;
            int status = spssGetVarNValueLabels(h_, v.shortName.c_str(), &values, &labels, &n);
            if (v.labelCount < 0) {
                EXPECT_EQ(status, SPSS_NO_LABELS) << v.shortName;
                continue;
            }
            ASSERT_EQ(status, SPSS_OK) << v.shortName;
            for (int i = 0; i < n; ++i) gotNumeric[values[i]] = labels[i];
            spssFreeVarNValueLabels(values, labels, n);
        } else {
            char** values = nullptr;
            char** labels = nullptr;
            int status = spssGetVarCValueLabels(h_, v.shortName.c_str(), &values, &labels, &n);
            if (v.labelCount < 0) {
                EXPECT_EQ(status, SPSS_NO_LABELS) << v.shortName;
                continue;
            }
            ASSERT_EQ(status, SPSS_OK) << v.shortName;
            for (int i = 0; i < n; ++i) got[TrimRight(values[i])] = labels[i];
            spssFreeVarCValueLabels(values, labels, n);
        }
        EXPECT_EQ(n, v.labelCount) << v.shortName;
        for (const auto& [value, label] : v.labels) {
            if (v.width == 0) {
                auto it = gotNumeric.find(std::stod(value));
                ASSERT_NE(it, gotNumeric.end()) << v.shortName << " value " << value;
                EXPECT_EQ(it->second, label) << v.shortName << " value " << value;
            } else {
                ASSERT_TRUE(got.count(value)) << v.shortName << " value " << value;
                EXPECT_EQ(got[value], label) << v.shortName;
            }
        }
    }
}

// Values of the first and the last case, after reading every case.
TEST_P(Corpus, FirstAndLastCase) {
    std::vector<double> handles;
    for (const corpus::ExpectedVariable& v : expected_.vars) {
        double handle = 0;
        ASSERT_EQ(spssGetVarHandle(h_, v.shortName.c_str(), &handle), SPSS_OK) << v.shortName;
        handles.push_back(handle);
    }
    std::vector<char> text(32768);
    auto check = [&](bool last) {
        for (size_t i = 0; i < expected_.vars.size(); ++i) {
            const corpus::ExpectedVariable& v = expected_.vars[i];
            if (!(last ? v.hasLast : v.hasFirst)) continue;
            const std::string& want = last ? v.last : v.first;
            std::string what = std::string(last ? "last" : "first") + " case, " + v.shortName;
            if (v.width == 0) {
                double d = 0;
                EXPECT_EQ(spssGetValueNumeric(h_, handles[i], &d), SPSS_OK) << what;
                ExpectNumber(want, d, what);
            } else {
                EXPECT_EQ(spssGetValueChar(h_, handles[i], text.data(), int(text.size())), SPSS_OK)
                    << what;
                EXPECT_EQ(TrimRight(text.data()), want) << what;
            }
        }
    };
    int read = 0;
    while (read < expected_.cases + 1) {
        int status = spssReadCaseRecord(h_);
        if (status == SPSS_FILE_END) break;
        ASSERT_EQ(status, SPSS_OK) << "case " << read;
        if (read == 0) check(false);
        if (read == expected_.cases - 1) check(true);
        ++read;
    }
    EXPECT_EQ(read, expected_.cases);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, Corpus, ::testing::ValuesIn(CorpusFiles()),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// Damaged and encrypted files: a status, never a crash, and whatever opens
// can be walked to its end.
TEST(CorpusMalformed, EncryptedFileIsRefused) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    int h = -1;
    std::string path = fixture::CorpusPath("malformed/encrypted_hotel.sav");
    // Without its password: a status of its own, told from a broken file.
    EXPECT_EQ(spssOpenRead(path.c_str(), &h), SPSS_FILE_ENCRYPTED);
}

TEST(CorpusMalformed, FuzzedFilesGiveStatusesNotCrashes) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    for (const char* name : {"cve_2017_10791.sav", "cve_2017_10792.sav"}) {
        std::string path = fixture::CorpusPath(std::string("malformed/") + name);
        int h = -1;
        int status = spssOpenRead(path.c_str(), &h);
        if (status != SPSS_OK) {
            EXPECT_GT(status, 0) << name;
            continue;
        }
        // Only extension records are damaged: the four variables and their
        // ten cases (as PSPP reads them) must survive.
        int vars = 0, cases = 0;
        EXPECT_EQ(spssGetNumberofVariables(h, &vars), SPSS_OK);
        EXPECT_EQ(vars, 4) << name;
        for (int i = 0; i < vars; ++i) {
            char varName[10];
            int type = -1;
            EXPECT_EQ(spssGetVarInfo(h, i, varName, &type), SPSS_OK);
            char label[124];
            spssGetVarLabel(h, varName, label);
        }
        while (cases < 1000 && spssReadCaseRecord(h) == SPSS_OK) ++cases;
        EXPECT_EQ(cases, 10) << name;
        EXPECT_EQ(spssCloseRead(h), SPSS_OK);
    }
}

}  // namespace
