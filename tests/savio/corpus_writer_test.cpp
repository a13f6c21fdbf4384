// Checks of the fixture writer's own output: header fields, record framing,
// very long string layout, bytecode codes and the zlib header and trailer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;
using fixture::Endian;

fixture::File NumbersOnly(std::vector<double> values) {
    fixture::File f;
    f.variables = {fixture::Numeric("X")};
    for (double v : values) f.cases.push_back({v});
    return f;
}

TEST(FixtureWriter, HeaderFieldsInBothByteOrders) {
    for (Endian e : {Endian::Little, Endian::Big}) {
        for (Compression c : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
            fixture::File f = fixture::SampleFile();
            f.endian = e;
            f.compression = c;
            std::string b = fixture::Build(f);
            ASSERT_GE(b.size(), 176u);
            EXPECT_EQ(b.substr(0, 4), c == Compression::Zlib ? "$FL3" : "$FL2");
            EXPECT_EQ(b.substr(4, 19), "@(#) SPSS DATA FILE");
            EXPECT_EQ(fixture::GetInt32(b, 64, e), 2);
            EXPECT_EQ(fixture::GetInt32(b, 68, e), 11);  // slots: CITY takes 3
            EXPECT_EQ(fixture::GetInt32(b, 72, e), static_cast<int>(c));
            EXPECT_EQ(fixture::GetInt32(b, 76, e), 11);  // W is the 11th slot
            EXPECT_EQ(fixture::GetInt32(b, 80, e), 3);
            EXPECT_EQ(fixture::GetDouble(b, 84, e), 100.0);
            EXPECT_EQ(b.substr(92, 17), "08 Dec 2612:34:56");
            EXPECT_EQ(b.substr(109, 14), "Sample fixture");
            EXPECT_EQ(b[172], ' ');
            EXPECT_EQ(b.substr(173, 3), std::string(3, '\0'));
        }
    }
    fixture::File f = fixture::SampleFile();
    f.headerCaseCount = -1;
    f.nominalCaseSize = -1;
    std::string b = fixture::Build(f);
    EXPECT_EQ(fixture::GetInt32(b, 68, Endian::Little), -1);
    EXPECT_EQ(fixture::GetInt32(b, 80, Endian::Little), -1);
}

TEST(FixtureWriter, RecordBoundariesStartRecordsAndEndAtTheData) {
    for (Endian e : {Endian::Little, Endian::Big}) {
        fixture::File f = fixture::SampleFile();
        f.endian = e;
        f.displayParameters = true;
        f.writeCaseCount64 = true;
        std::string b = fixture::Build(f);
        std::vector<size_t> bounds = fixture::RecordBoundaries(f);
        fixture::Layout layout = fixture::Describe(f);
        ASSERT_GE(bounds.size(), 3u);
        EXPECT_EQ(bounds.front(), 0u);
        EXPECT_EQ(bounds.back(), layout.data);
        EXPECT_EQ(bounds[bounds.size() - 2], layout.terminator);
        EXPECT_EQ(layout.terminator + 8, layout.data);
        EXPECT_EQ(layout.size, b.size());
        std::set<int> seen;
        for (size_t i = 1; i + 1 < bounds.size(); ++i) {
            EXPECT_LT(bounds[i - 1], bounds[i]);
            int type = fixture::GetInt32(b, bounds[i], e);
            EXPECT_TRUE(type == 2 || type == 3 || type == 4 || type == 6 || type == 7 ||
                        type == 999)
                << "at " << bounds[i];
            seen.insert(type);
        }
        EXPECT_EQ(seen, (std::set<int>{2, 3, 4, 6, 7, 999}));
        // Every extension record's body ends where the next record starts.
        for (size_t x : layout.extensions) {
            int size = fixture::GetInt32(b, x + 8, e), count = fixture::GetInt32(b, x + 12, e);
            size_t next = x + 16 + size_t(size) * count;
            EXPECT_TRUE(next == layout.terminator ||
                        std::count(bounds.begin(), bounds.end(), next) == 1);
        }
    }
}

TEST(FixtureWriter, VeryLongStringIsSplitIntoSegments) {
    fixture::File f;
    f.compression = Compression::None;
    fixture::Variable v = fixture::String("VLS", 600);
    v.longName = "VeryLong";
    f.variables = {v, fixture::Numeric("N")};
    std::string value(600, 'a');
    for (int i = 255; i < 510; ++i) value[i] = 'b';
    for (int i = 510; i < 600; ++i) value[i] = 'c';
    f.cases = {{value, 7.0}};
    // 600 bytes: segments of 255, 255 and 96 declared bytes: 32 + 32 + 12 slots.
    EXPECT_EQ(fixture::SlotsOf(600), 76);
    EXPECT_EQ(fixture::SlotsOf(256), 33);
    EXPECT_EQ(fixture::SlotsOf(32767), 4161);
    std::string b = fixture::Build(f);
    fixture::Layout layout = fixture::Describe(f);
    ASSERT_EQ(layout.variableRecords.size(), 77u);
    std::vector<int> declared;
    for (size_t r : layout.variableRecords) {
        int type = fixture::GetInt32(b, r + 4, Endian::Little);
        if (type != -1) declared.push_back(type);
    }
    EXPECT_EQ(declared, (std::vector<int>{255, 255, 96, 0}));
    EXPECT_EQ(fixture::GetInt32(b, 68, Endian::Little), 77);
    EXPECT_NE(b.find(std::string("VLS=00600\0\t", 11)), std::string::npos);
    EXPECT_NE(b.find("VLS=VeryLong"), std::string::npos);
    // Each segment holds 255 bytes of the value at the start of its 256 bytes.
    const size_t d = layout.data;
    EXPECT_EQ(b.substr(d, 255), value.substr(0, 255));
    EXPECT_EQ(b[d + 255], ' ');
    EXPECT_EQ(b.substr(d + 256, 255), value.substr(255, 255));
    EXPECT_EQ(b.substr(d + 512, 90), value.substr(510, 90));
    EXPECT_EQ(b.substr(d + 602, 6), std::string(6, ' '));
    EXPECT_EQ(fixture::GetDouble(b, d + 608, Endian::Little), 7.0);
    EXPECT_EQ(b.size(), d + 77 * 8);
}

TEST(FixtureWriter, BytecodeCompressesOnlySmallIntegers) {
    fixture::File f = NumbersOnly({1, fixture::kSysmis, 1.5, -99, 152, 151, -100, 0});
    std::string s = fixture::BytecodeStream(f);
    ASSERT_EQ(s.size(), 8u + 3 * 8);
    const unsigned char expected[8] = {101, 255, 253, 1, 253, 251, 253, 100};
    EXPECT_EQ(std::memcmp(s.data(), expected, 8), 0);
    EXPECT_EQ(fixture::GetDouble(s, 8, Endian::Little), 1.5);
    EXPECT_EQ(fixture::GetDouble(s, 16, Endian::Little), 152.0);
    EXPECT_EQ(fixture::GetDouble(s, 24, Endian::Little), -100.0);

    f = NumbersOnly({5});
    f.bytecodeEndMarker = true;
    s = fixture::BytecodeStream(f);
    EXPECT_EQ(s, std::string("\x69\xfc\0\0\0\0\0\0", 8));

    fixture::File strings;
    strings.variables = {fixture::String("S", 16)};
    strings.cases = {{std::string("")}, {std::string("abcdefgh")}};
    s = fixture::BytecodeStream(strings);
    EXPECT_EQ(s, std::string("\xfe\xfe\xfd\xfe\0\0\0\0abcdefgh", 16));
}

TEST(FixtureWriter, ZlibTrailerDescribesContiguousBlocks) {
    for (Endian e : {Endian::Little, Endian::Big}) {
        fixture::File f = fixture::SampleFile();
        f.endian = e;
        f.compression = Compression::Zlib;
        f.zlibBlockSize = 40;
        for (int i = 0; i < 20; ++i) f.cases.push_back(f.cases[i % 3]);
        std::string b = fixture::Build(f);
        fixture::Layout layout = fixture::Describe(f);
        const size_t z = layout.data;
        EXPECT_EQ(fixture::GetInt64(b, z, e), int64_t(z));
        int64_t trailer = fixture::GetInt64(b, z + 8, e);
        int64_t trailerLen = fixture::GetInt64(b, z + 16, e);
        EXPECT_EQ(size_t(trailer), layout.ztrailer);
        EXPECT_EQ(size_t(trailer + trailerLen), b.size());
        EXPECT_EQ(fixture::GetInt64(b, trailer, e), -100);
        EXPECT_EQ(fixture::GetInt64(b, trailer + 8, e), 0);
        EXPECT_EQ(fixture::GetInt32(b, trailer + 16, e), 40);
        int blocks = fixture::GetInt32(b, trailer + 20, e);
        EXPECT_EQ(trailerLen, 24 + 24 * blocks);
        ASSERT_GT(blocks, 1);
        ASSERT_EQ(layout.zblocks.size(), size_t(blocks));

        std::string inflated;
        int64_t rawAt = int64_t(z), zAt = int64_t(z + 24);
        for (int k = 0; k < blocks; ++k) {
            size_t d = size_t(trailer) + 24 + 24 * k;
            EXPECT_EQ(fixture::GetInt64(b, d, e), rawAt);
            EXPECT_EQ(fixture::GetInt64(b, d + 8, e), zAt);
            int raw = fixture::GetInt32(b, d + 16, e), packed = fixture::GetInt32(b, d + 20, e);
            if (k + 1 < blocks) {
                EXPECT_EQ(raw, 40);
            }
            std::string out(raw, '\0');
            uLongf outLen = raw;
            ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &outLen,
                                 reinterpret_cast<const Bytef*>(b.data() + zAt), packed),
                      Z_OK);
            EXPECT_EQ(outLen, uLongf(raw));
            inflated += out;
            rawAt += raw;
            zAt += packed;
        }
        EXPECT_EQ(zAt, trailer);
        EXPECT_EQ(inflated, fixture::BytecodeStream(f));
    }
}

TEST(FixtureWriter, ByteOrderSwapsNumbersButNotText) {
    fixture::File f = fixture::SampleFile();
    f.compression = Compression::None;
    std::string little = fixture::Build(f);
    f.endian = Endian::Big;
    std::string big = fixture::Build(f);
    ASSERT_EQ(little.size(), big.size());
    EXPECT_EQ(little.substr(92, 81), big.substr(92, 81));
    size_t data = fixture::Describe(f).data;
    for (size_t slot = 0; slot < 11; ++slot) {
        std::string l = little.substr(data + 8 * slot, 8), b = big.substr(data + 8 * slot, 8);
        bool text = slot >= 2 && slot <= 5;  // NAME and CITY
        if (text || slot == 9)
            EXPECT_EQ(l, b);
        else
            EXPECT_EQ(l, std::string(b.rbegin(), b.rend()));
    }
}

}  // namespace
