// Files written by the writer read back through the spss... calls: a
// dictionary with every record kind and cases with edge values, in each
// compression; and the header's bytes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <limits>

#include "savio/spssfio.h"
#include "tests/savio/writer_support.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

namespace w = savio::writer;
using savio::Compression;
using writertest::Cell;

std::string Utf8Run(size_t bytes) {
    // "あ" is 3 bytes: a run of them crosses the 255-byte segment edges.
    std::string s;
    while (s.size() + 3 <= bytes) s += "\xe3\x81\x82";
    return s + std::string(bytes - s.size(), 'x');
}

w::Variable Var(std::string name, int width = 0, w::Format print = {}) {
    w::Variable v;
    v.name = std::move(name);
    v.width = width;
    v.print = print;
    return v;
}

w::FileSpec RichSpec() {
    w::FileSpec spec;
    spec.product = "Lorivane 0.1";
    spec.release[0] = 0;
    spec.release[1] = 1;
    spec.created = {2026, 12, 8, 9, 5, 7};
    spec.fileLabel = std::string(63, 'L') + "!";
    spec.caseCount = 3;
    w::Variable id = Var("Id", 0, {SPSS_FMT_F, 8, 0});
    id.label = std::string(255, 'v') + "+beyond";
    id.missing.values = {-1, -2, -3};
    id.numberLabels = {{1, "one"}, {2, std::string(255, 'x')}, {-0.5, ""}};
    id.measure = 1;
    id.columnWidth = 6;
    id.alignment = 2;
    id.role = 1;
    id.attributes = {{"Note", {"first", "it's"}}, {"Source", {"survey"}}};
    w::Variable score = Var("Score", 0, {SPSS_FMT_F, 9, 2});
    score.missing.range = {fixture::kLowest, -1};
    w::Variable r3 = Var("r3");
    r3.missing.range = {1, 5};
    r3.missing.values = {9};
    w::Variable hi = Var("Hi", 0, {SPSS_FMT_COMMA, 12, 1});
    hi.write = {SPSS_FMT_F, 10, 3};
    hi.missing.range = {100, DBL_MAX};
    w::Variable s1 = Var("s1", 1);
    s1.stringLabels = {{"a", "Alpha"}};
    s1.missing.strings = {"x"};
    w::Variable name8 = Var("Name8", 8);
    name8.missing.strings = {"n/a", "none", "-"};
    name8.stringLabels = {{"Alice   ", "A"}, {"Bob", std::string(255, 'b')}};
    w::Variable longStr = Var("LongStr", 255);
    longStr.label = "Long string";
    longStr.stringLabels = {{"Paris", "Capital"}, {std::string(255, 'z'), std::string(300, 'l')}};
    longStr.missing.strings = {"unknown", "n/a"};
    w::Variable vls = Var("Vls256", 256);
    vls.stringLabels = {{std::string(255, 'x') + "Y", "edge"}};
    vls.missing.strings = {"none"};
    w::Variable widest = Var(std::string(60, 'W') + "_max", 32767);
    w::Variable japanese = Var("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe5\xa4\x89", 600);
    japanese.label = "\xe3\x83\xa9\xe3\x83\x99\xe3\x83\xab";
    w::Variable weight = Var("Weight");
    w::Variable when = Var("When", 0, {SPSS_FMT_DATE_TIME, 20, 0});
    w::Variable trail = Var("Trail", 20);
    trail.measure = 2;
    spec.variables = {id,  score,  r3,       hi,     s1,   name8, longStr,
                      vls, widest, japanese, weight, when, trail};
    spec.weightVariable = 10;
    spec.documents = {"First line", std::string(80, 'd'), ""};
    spec.fileAttributes = {{"Origin", {"test"}}, {"Lines", {"a", "b", "c"}}};
    spec.multipleResponseSets = {
        {"$cat", "Categories", false, "", false, false, {0, 2}},
        {"$dich", "", true, "1", false, false, {1, 3}},
        {"$counted", "Counted", true, "yes", true, false, {5, 12}},
        {"$fromVar", "", true, "2", true, true, {0, 1, 2}},
    };
    spec.writeVariableSets = true;
    spec.variableSets = {{"Main", {0, 1}}, {"Empty", {}}};
    spec.productInfo = "Written by a test\nsecond line";
    return spec;
}

std::vector<std::vector<Cell>> RichCases() {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::string full(32767, 'q');
    full.back() = 'Z';
    return {
        {1.0, -DBL_MAX, -99.0, 151.0, std::string("a"), std::string("Alice"), std::string("Paris"),
         std::string(255, 'x') + "Y", full, Utf8Run(600), 1.0, 13203179130.0,
         std::string("trail   ")},
        {-0.0, inf, 152.0, -100.0, std::string(""), std::string("12345678"), std::string(255, 'z'),
         std::string(256, ' '), std::string("short"), Utf8Run(256), 0.5, -DBL_MAX, std::string("")},
        {nan, -inf, DBL_MAX, 4.9e-324, std::string(" "), std::string("n/a     "), Utf8Run(255),
         std::string(1, 'Y'), std::string(), std::string(), 1e308, 1.5,
         std::string(20, 't') + "   "},
    };
}

// The value a cell reads back as: a string padded with blanks to its width.
std::string Expected(const Cell& cell, int width) {
    if (const double* d = std::get_if<double>(&cell))
        return std::string(reinterpret_cast<const char*>(d), 8);
    std::string s = std::get<std::string>(cell).substr(0, size_t(width));
    return s + std::string(size_t(width) - s.size(), ' ');
}

TEST(WriterRoundTrip, EveryRecordAndEdgeValueInEachCompression) {
    const w::FileSpec spec = RichSpec();
    const auto cases = RichCases();
    const std::string dir = fixture::TempDir();
    for (Compression c : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
        SCOPED_TRACE(int(c));
        w::FileSpec s = spec;
        s.compression = c;
        const std::string path = dir + "/rich" + std::to_string(int(c)) + ".sav";
        writertest::WriteFile(s, cases, path);
        w::FileSpec back;
        ASSERT_TRUE(writertest::ReadSpec(path, &back));
        EXPECT_EQ(writertest::DictionaryText(back), writertest::DictionaryText(s));
        int h = 0;
        ASSERT_EQ(spssOpenRead(path.c_str(), &h), 0);
        char** warnings = nullptr;
        int n = -1, compression = -1;
        spssGetDictionaryWarnings(h, &warnings, &n);
        EXPECT_EQ(n, 0) << (n > 0 ? warnings[0] : "");
        spssFreeDictionaryWarnings(warnings, n);
        spssGetCompression(h, &compression);
        EXPECT_EQ(compression, c == Compression::None ? 0 : 1);
        const readback::ReadBack got = readback::ReadThroughCalls(h, -1);
        spssCloseRead(h);
        ASSERT_EQ(got.rows.size(), cases.size());
        for (size_t r = 0; r < cases.size(); ++r)
            for (size_t i = 0; i < cases[r].size(); ++i)
                EXPECT_EQ(got.rows[r][i], Expected(cases[r][i], s.variables[i].width))
                    << "case " << r << " variable " << i;
        // Read back and written again, it is the same file.
        w::FileSpec again = back;
        again.product = s.product;
        again.release[1] = 1;
        again.created = s.created;
        again.compression = c;
        again.caseCount = 3;
        EXPECT_EQ(writertest::WriteBytes(again, cases), writertest::Slurp(path));
    }
    std::filesystem::remove_all(dir);
}

TEST(WriterRoundTrip, HeaderFieldsAndUnknownCaseCount) {
    w::FileSpec spec = RichSpec();
    spec.caseCount = -1;
    const std::string patched = writertest::WriteBytes(spec, RichCases());
    const std::string unpatched = writertest::WriteBytes(spec, RichCases(), false);
    ASSERT_EQ(patched.size(), unpatched.size());
    EXPECT_EQ(patched.substr(0, 4), "$FL2");
    EXPECT_EQ(patched.substr(4, 60), "@(#) SPSS DATA FILE Lorivane 0.1" + std::string(28, ' '));
    EXPECT_EQ(fixture::GetInt32(patched, 72, fixture::Endian::Little), 1);
    // Weight is the 11th variable; the strings before it take more slots.
    EXPECT_EQ(fixture::GetInt32(patched, 76, fixture::Endian::Little),
              4 + 1 + 1 + 32 + 33 + 4161 + 76 + 1);
    EXPECT_EQ(fixture::GetInt32(patched, 80, fixture::Endian::Little), 3);
    EXPECT_EQ(fixture::GetInt32(unpatched, 80, fixture::Endian::Little), -1);
    EXPECT_EQ(patched.substr(92, 17), "08 Dec 2609:05:07");
    EXPECT_EQ(patched.substr(80, 4) + patched.substr(0, 80),
              patched.substr(80, 4) + unpatched.substr(0, 80));
    EXPECT_EQ(patched.substr(84), unpatched.substr(84));
    // The same input gives the same bytes, through a descriptor too.
    const std::string dir = fixture::TempDir();
    writertest::WriteFile(spec, RichCases(), dir + "/same.sav");
    EXPECT_EQ(writertest::Slurp(dir + "/same.sav"), patched);
    std::filesystem::remove_all(dir);
}

TEST(WriterRoundTrip, ZlibBlocksInflateToTheBytecodeData) {
    w::FileSpec spec;
    spec.variables = {Var("Text", 255), Var("N")};
    std::vector<std::vector<Cell>> cases;
    for (int i = 0; i < 20000; ++i)
        cases.push_back({std::string(size_t(250 + i % 6), char('a' + i % 26)), i * 0.25});
    const std::string bytecode = writertest::WriteBytes(spec, cases);
    spec.compression = Compression::Zlib;
    const std::string zsav = writertest::WriteBytes(spec, cases);
    // The dictionaries differ only in the header's magic and compression.
    size_t data = 176;
    while (data < zsav.size() && zsav[data] == bytecode[data]) ++data;
    const auto le = fixture::Endian::Little;
    ASSERT_EQ(fixture::GetInt64(zsav, data, le), int64_t(data));
    const int64_t trailer = fixture::GetInt64(zsav, data + 8, le);
    ASSERT_EQ(trailer + fixture::GetInt64(zsav, data + 16, le), int64_t(zsav.size()));
    const int blocks = fixture::GetInt32(zsav, size_t(trailer) + 20, le);
    ASSERT_EQ(blocks, 2);  // about 5.8 MB of bytecode
    std::string inflated;
    for (int k = 0; k < blocks; ++k) {
        const size_t entry = size_t(trailer) + 24 + 24 * size_t(k);
        EXPECT_EQ(fixture::GetInt64(zsav, entry, le), int64_t(data + inflated.size()));
        std::string out(size_t(fixture::GetInt32(zsav, entry + 16, le)), '\0');
        uLongf outSize = out.size();
        ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize,
                             reinterpret_cast<const Bytef*>(zsav.data()) +
                                 fixture::GetInt64(zsav, entry + 8, le),
                             uLong(fixture::GetInt32(zsav, entry + 20, le))),
                  Z_OK);
        inflated += out;
    }
    EXPECT_TRUE(inflated == bytecode.substr(data)) << "the inflated blocks differ";
    const std::string dir = fixture::TempDir();
    writertest::WriteFile(spec, cases, dir + "/blocks.zsav");
    EXPECT_EQ(readback::ReadFileThroughCalls(dir + "/blocks.zsav", -1).rows.size(), 20000u);
    std::filesystem::remove_all(dir);
}

}  // namespace
