// grid --rows and find --rows/--max-count read only part of a file (an
// uncompressed file's cases before the range are not read at all; the read
// stops after the range or the last match wanted): what they print is
// byte for byte what the whole read prints of those rows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dump_support.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

// The lines from..to (1-based, to -1: the last) of text.
std::string Lines(const std::string& text, long from, long to) {
    std::string out;
    long line = 1;
    for (size_t at = 0; at < text.size(); ++line) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (line >= from && (to < 0 || line <= to)) out.append(text, at, end - at);
        at = end;
    }
    return out;
}

// The find lines whose case number (the first field) lies in from..to.
std::string MatchesIn(const std::string& text, long from, long to) {
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at) + 1;
        const long number = std::atol(text.c_str() + at);
        if (number >= from && number <= to) out.append(text, at, end - at);
        at = end;
    }
    return out;
}

// Every range of rows and of matches agrees with the whole read of path;
// a read that stops early says what the whole read says of its end only
// when the data is sound.
void ExpectPartsOfTheWhole(const std::string& path, const std::string& text, bool sound = true) {
    SCOPED_TRACE(path);
    const DumpResult whole = RunDump({"grid", path});
    for (const auto& [from, to] : std::vector<std::pair<long, long>>{
             {1, 1}, {2, 4}, {3, 3}, {7, -1}, {30, 45}, {1500, 2600}, {4999, 5000}}) {
        const std::string range =
            std::to_string(from) + ":" + (to < 0 ? std::string() : std::to_string(to));
        const DumpResult part = RunDump({"grid", path, "--rows", range});
        if (sound || to < 0) {
            EXPECT_EQ(part.status, whole.status) << range;
            EXPECT_EQ(part.err, whole.err) << range;
        }
        EXPECT_EQ(part.out, Lines(whole.out, from, to)) << range;
    }
    const DumpResult every = RunDump({"find", path, text});
    for (const long most : {1L, 3L}) {
        const DumpResult first = RunDump({"find", path, text, "--max-count", std::to_string(most)});
        if (sound) {
            EXPECT_EQ(first.status, every.status) << most;
        }
        EXPECT_EQ(first.out, Lines(every.out, 1, most)) << most;
    }
    const DumpResult some = RunDump({"find", path, text, "--rows", "3:40"});
    EXPECT_EQ(some.out, MatchesIn(every.out, 3, 40));
}

}  // namespace

TEST(DumpPartialReads, RowsAndFirstMatchesOfCorpusFilesAreThoseOfTheWholeRead) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    for (const char* name :
         {"spss13_uncompressed_vls.sav", "spss11_employee_data.sav", "pspp084_llz.zsav",
          "readspss_cars.zsav", "spss25_sample.sav", "javawriter_ncases_unknown.sav"})
        ExpectPartsOfTheWhole(fixture::CorpusPath(name), "1");
}

TEST(DumpPartialReads, EveryCompressionAndAShortFileAgreeWithTheWholeRead) {
    const std::string dir = ::testing::TempDir();
    fixture::File f = fixture::SampleFile();
    const fixture::Case model = f.cases.at(0);
    f.cases.clear();
    for (int i = 0; i < 5000; ++i) {
        fixture::Case c = model;
        c.at(0) = double(i % 97);
        f.cases.push_back(c);
    }
    for (const auto compression :
         {fixture::Compression::None, fixture::Compression::Bytecode, fixture::Compression::Zlib}) {
        f.compression = compression;
        f.headerCaseCount.reset();
        const std::string path = dir + "/partial-" + std::to_string(int(compression)) + ".sav";
        fixture::WriteFile(f, path);
        ExpectPartsOfTheWhole(path, "42");
        // The header promises cases the data does not hold: a range beyond
        // the data fails as the whole read does.
        f.headerCaseCount = 6000;
        fixture::WriteFile(f, path);
        ExpectPartsOfTheWhole(path, "42", false);
        unlink(path.c_str());
    }
}
