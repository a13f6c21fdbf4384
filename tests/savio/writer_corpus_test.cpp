// Every file of the corpus read by our reader and written back whole in each
// compression: our reader, PSPP and ReadStat must see in the copy what they
// see in the original, and a copy written again is the same bytes.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#include "savio/spssfio.h"
#include "tests/savio/writer_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

using savio::Compression;

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> out;
    if (DIR* d = opendir(fixture::CorpusDir().c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && (name.ends_with(".sav") || name.ends_with(".zsav")))
                out.push_back(name);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool Have(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output and error together.
std::string Shell(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int st = pclose(p);
    *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// What pspp-convert says about a file (it prints nothing else), one message
// each, its name and the offsets left out.
std::set<std::string> PsppWarnings(std::string output, const std::string& path) {
    for (size_t at; (at = output.find(path)) != std::string::npos;)
        output.replace(at, path.size(), "FILE");
    output = std::regex_replace(output, std::regex("offset 0x[0-9a-f]+"), "offset X");
    std::vector<std::string> messages;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        if (messages.empty() || line[0] == '`')
            messages.push_back(line);
        else
            messages.back() += " " + line;
    }
    return {messages.begin(), messages.end()};
}

// A CSV's lines, the first (the names) in upper case: without a long-names
// record PSPP shows names in lower case, and every copy has one.
std::string CsvText(const std::string& path) {
    std::string text = writertest::Slurp(path);
    for (size_t i = 0; i < text.size() && text[i] != '\n'; ++i)
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = char(text[i] - 'a' + 'A');
    return text;
}

struct Copies {
    std::string source;
    std::vector<std::string> outputs;  // one per compression
    // The original's floating-point info record gives another system-missing
    // value; the peers take it from there, our reader and the copies do not.
    bool oddSysmis = false;
};

class WriterCorpus : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!fixture::HaveCorpus()) return;
        dir_ = new std::string(fixture::TempDir());
        copies_ = new std::vector<Copies>;
        for (const std::string& name : CorpusFiles()) {
            Copies c{fixture::CorpusPath(name), {}};
            int h = 0;
            if (spssOpenRead(c.source.c_str(), &h) != 0) continue;
            double sysmis = 0, highest = 0, lowest = 0;
            c.oddSysmis =
                spssGetFloatInfo(h, &sysmis, &highest, &lowest) == 0 && sysmis != -DBL_MAX;
            spssCloseRead(h);
            for (Compression k : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
                const std::string out = *dir_ + "/" + name + "." + std::to_string(int(k)) +
                                        (k == Compression::Zlib ? ".zsav" : ".sav");
                if (writertest::Rewrite(c.source, out, k) == 0) c.outputs.push_back(out);
            }
            copies_->push_back(c);
        }
    }
    static void TearDownTestSuite() {
        delete copies_;
        delete dir_;
        copies_ = nullptr;
        dir_ = nullptr;
    }
    void SetUp() override { LORIVANE_SKIP_WITHOUT_CORPUS(); }

    static std::string* dir_;
    static std::vector<Copies>* copies_;
};

std::string* WriterCorpus::dir_ = nullptr;
std::vector<Copies>* WriterCorpus::copies_ = nullptr;

TEST_F(WriterCorpus, OurReaderSeesTheSameDictionaryAndValues) {
    ASSERT_GE(copies_->size(), 30u);
    for (const Copies& c : *copies_) {
        SCOPED_TRACE(c.source);
        ASSERT_EQ(c.outputs.size(), 3u);
        writertest::w::FileSpec source;
        ASSERT_TRUE(writertest::ReadSpec(c.source, &source));
        const std::string expected = writertest::DictionaryText(source);
        for (const std::string& out : c.outputs) {
            writertest::w::FileSpec copy;
            ASSERT_TRUE(writertest::ReadSpec(out, &copy)) << out;
            EXPECT_EQ(writertest::DictionaryText(copy), expected) << out;
            writertest::ExpectSameCases(c.source, out);
            // Written again from the copy: the same bytes.
            const std::string again = out + ".again";
            const Compression k = out.ends_with(".zsav")    ? Compression::Zlib
                                  : out.ends_with(".0.sav") ? Compression::None
                                                            : Compression::Bytecode;
            ASSERT_EQ(writertest::Rewrite(out, again, k), 0);
            EXPECT_EQ(writertest::Slurp(again), writertest::Slurp(out)) << out;
        }
    }
}

TEST_F(WriterCorpus, PsppReadsTheCopiesAsTheOriginals) {
    if (!Have("pspp-convert")) GTEST_SKIP() << "pspp-convert is not installed";
    for (const Copies& c : *copies_) {
        SCOPED_TRACE(c.source);
        int st = 0;
        const std::string csv = *dir_ + "/pspp-source.csv";
        const std::string sourceOut = Shell("pspp-convert " + Quoted(c.source) + " " + csv, &st);
        if (st != 0) continue;  // PSPP cannot read the original
        const std::string expected = CsvText(csv);
        const std::set<std::string> sourceWarnings = PsppWarnings(sourceOut, c.source);
        // Where PSPP finds fault with the original, beyond its not naming its
        // encoding, it shows it otherwise than our reader.
        const bool faulty =
            c.oddSysmis ||
            std::any_of(sourceWarnings.begin(), sourceWarnings.end(), [](const std::string& w) {
                return w.find("character encoding") == std::string::npos;
            });
        for (const std::string& out : c.outputs) {
            const std::string copyCsv = *dir_ + "/pspp-copy.csv";
            const std::string copyOut = Shell("pspp-convert " + Quoted(out) + " " + copyCsv, &st);
            EXPECT_EQ(st, 0) << out << "\n" << copyOut;
            for (const std::string& w : PsppWarnings(copyOut, out))
                EXPECT_TRUE(sourceWarnings.count(w)) << out << ": " << w;
            if (!faulty) {
                EXPECT_TRUE(CsvText(copyCsv) == expected) << out << ": the CSV differs";
            }
        }
    }
}

TEST_F(WriterCorpus, ReadStatReadsTheCopiesAsTheOriginals) {
    if (!Have("readstat")) GTEST_SKIP() << "readstat is not installed";
    for (const Copies& c : *copies_) {
        SCOPED_TRACE(c.source);
        int st = 0;
        const std::string csv = *dir_ + "/readstat-source.csv";
        std::remove(csv.c_str());
        Shell("readstat " + Quoted(c.source) + " " + csv, &st);
        if (st != 0 || c.oddSysmis) continue;  // ReadStat cannot read the original as we do
        const std::string expected = writertest::Slurp(csv);
        for (const std::string& out : c.outputs) {
            const std::string copyCsv = *dir_ + "/readstat-copy.csv";
            std::remove(copyCsv.c_str());
            const std::string said = Shell("readstat " + Quoted(out) + " " + copyCsv, &st);
            EXPECT_EQ(st, 0) << out << "\n" << said;
            EXPECT_TRUE(writertest::Slurp(copyCsv) == expected) << out << ": the CSV differs";
        }
    }
}

}  // namespace
