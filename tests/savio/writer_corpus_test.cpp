// Every file of the corpus read by our reader and written back whole in each
// compression: our reader, PSPP and ReadStat must see in the copy what they
// see in the original, and a copy written again is the same bytes.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "savio/spssfio.h"
#include "tests/savio/writer_support.h"
#include "tests/support/corpus.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

using savio::Compression;

// Runs a shell command; what it printed, both streams.
std::string Shell(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int st = p ? pclose(p) : -1;
    *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

bool Have(const char* program) {
    int st = 0;
    Shell("command -v " + std::string(program), &st);
    return st == 0;
}

// What pspp-convert says of a file (it says nothing else), one message each,
// the file's name and the offsets left out.
std::set<std::string> PsppMessages(std::string said, const std::string& path) {
    for (size_t at; (at = said.find(path)) != std::string::npos;)
        said.replace(at, path.size(), "F");
    said = std::regex_replace(said, std::regex("offset 0x[0-9a-f]+"), "offset X");
    std::vector<std::string> messages;
    std::istringstream lines(said);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        if (messages.empty() || line[0] == '`')
            messages.push_back(line);
        else
            messages.back() += " " + line;
    }
    return {messages.begin(), messages.end()};
}

// A CSV, its first line (the names) in upper case: without a long-names
// record PSPP shows names in lower case, and every copy has one.
std::string CsvText(const std::string& path) {
    std::string text = writertest::Slurp(path);
    for (size_t i = 0; i < text.size() && text[i] != '\n'; ++i)
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = char(text[i] - 'a' + 'A');
    return text;
}

struct Copies {
    std::string source;
    std::vector<std::string> outputs;  // none, bytecode, zlib
    // The original's floating-point record gives another system-missing
    // value; the peers take it from there, our reader and the copies do not.
    bool oddSysmis = false;
};

class WriterCorpus : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!fixture::HaveCorpus()) return;
        dir_ = fixture::TempDir();
        for (const auto& entry : std::filesystem::directory_iterator(fixture::CorpusDir())) {
            const std::string name = entry.path().filename();
            int h = 0;
            if (!entry.is_regular_file() || spssOpenRead(entry.path().c_str(), &h) != 0) continue;
            double sysmis = 0, highest = 0, lowest = 0;
            Copies c{entry.path(),
                     {},
                     spssGetFloatInfo(h, &sysmis, &highest, &lowest) == 0 && sysmis != -DBL_MAX};
            spssCloseRead(h);
            for (Compression k : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
                c.outputs.push_back(dir_ + "/" + name + std::to_string(int(k)) +
                                    (k == Compression::Zlib ? ".zsav" : ".sav"));
                EXPECT_TRUE(writertest::Rewrite(c.source, c.outputs.back(), k));
            }
            copies_.push_back(c);
        }
        std::sort(copies_.begin(), copies_.end(),
                  [](const Copies& a, const Copies& b) { return a.source < b.source; });
    }
    static void TearDownTestSuite() {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }
    void SetUp() override { LORIVANE_SKIP_WITHOUT_CORPUS(); }

    static inline std::string dir_;
    static inline std::vector<Copies> copies_;
};

TEST_F(WriterCorpus, OurReaderSeesTheSameDictionaryAndValues) {
    ASSERT_GE(copies_.size(), 30u);
    for (const Copies& c : copies_) {
        writertest::w::FileSpec source, copy;
        ASSERT_TRUE(writertest::ReadSpec(c.source, &source)) << c.source;
        const auto cells = readback::ReadFileThroughCalls(c.source, -1).rows;
        for (size_t k = 0; k < c.outputs.size(); ++k) {
            const std::string& out = c.outputs[k];
            ASSERT_TRUE(writertest::ReadSpec(out, &copy)) << out;
            EXPECT_EQ(writertest::DictionaryText(copy), writertest::DictionaryText(source)) << out;
            EXPECT_TRUE(readback::ReadFileThroughCalls(out, -1).rows == cells) << out;
            // Written again from the copy: the same bytes.
            ASSERT_TRUE(writertest::Rewrite(out, out + ".again", Compression(k)));
            EXPECT_TRUE(writertest::Slurp(out + ".again") == writertest::Slurp(out)) << out;
        }
    }
}

TEST_F(WriterCorpus, PsppReadsTheCopiesAsTheOriginals) {
    if (!Have("pspp-convert")) GTEST_SKIP() << "pspp-convert is not installed";
    const std::string csv = dir_ + "/pspp.csv";
    for (const Copies& c : copies_) {
        int st = 0;
        const std::set<std::string> known =
            PsppMessages(Shell("pspp-convert '" + c.source + "' " + csv, &st), c.source);
        if (st != 0) continue;  // PSPP cannot read the original
        const std::string expected = CsvText(csv);
        // Where PSPP finds fault with the original (beyond its not naming its
        // encoding), it reads it otherwise than our reader.
        const bool faulty = c.oddSysmis || std::any_of(known.begin(), known.end(), [](auto& m) {
                                return m.find("character encoding") == std::string::npos;
                            });
        for (const std::string& out : c.outputs) {
            const std::string said = Shell("pspp-convert '" + out + "' " + csv, &st);
            EXPECT_EQ(st, 0) << out << "\n" << said;
            for (const std::string& m : PsppMessages(said, out))
                EXPECT_TRUE(known.count(m)) << out << ": " << m;
            EXPECT_TRUE(faulty || CsvText(csv) == expected) << out << ": the CSV differs";
        }
    }
}

TEST_F(WriterCorpus, ReadStatReadsTheCopiesAsTheOriginals) {
    if (!Have("readstat")) GTEST_SKIP() << "readstat is not installed";
    const std::string csv = dir_ + "/readstat.csv";
    for (const Copies& c : copies_) {
        int st = 0;
        std::filesystem::remove(csv);
        Shell("readstat '" + c.source + "' " + csv, &st);
        if (st != 0 || c.oddSysmis) continue;  // ReadStat cannot read the original as we do
        const std::string expected = writertest::Slurp(csv);
        for (const std::string& out : c.outputs) {
            std::filesystem::remove(csv);
            const std::string said = Shell("readstat '" + out + "' " + csv, &st);
            EXPECT_EQ(st, 0) << out << "\n" << said;
            EXPECT_TRUE(writertest::Slurp(csv) == expected) << out << ": the CSV differs";
        }
    }
}

}  // namespace
