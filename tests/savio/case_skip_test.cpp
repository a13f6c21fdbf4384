// Passing over a case (Skip) leaves a decoder where decoding it (Next)
// does: the same positions before each case and the same end or damage,
// whatever mix of the two a walk uses, in runs and zlib blocks that end
// inside groups and raw values, and over the corpus's compressed files.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "savio/sav_file.h"
#include "tests/support/corpus.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;

struct Walk {
    std::vector<uint64_t> at;  // the position before each case and the end
    std::vector<std::string> rows;
    savio::CaseSource::Result end;
};

// Walks f's cases (run: bytes read at a time; 0 the reader's own), passing
// over case k when skip(k).
Walk WalkCases(const savio::SavFile& f, size_t run, const std::function<bool(size_t)>& skip) {
    const bool zlib = f.shape().compression == savio::Compression::Zlib;
    auto source = run ? savio::ResumeCaseSource(f.shape(), f.layout().blocks, f.reads(),
                                                {zlib ? 0 : f.shape().dataOffset, 0}, run)
                      : savio::MakeCaseSource(f.shape(), f.layout(), f.reads());
    Walk w;
    for (size_t k = 0;; ++k) {
        w.at.push_back(savio::PackPosition(source->Position()));
        const uint8_t* row = nullptr;
        w.end = skip(k) ? source->Skip() : source->Next(&row);
        if (w.end != savio::CaseSource::Result::Case) return w;
        w.rows.emplace_back(row ? reinterpret_cast<const char*>(row) : "",
                            row ? f.shape().slotCount() * 8 : 0);
    }
}

void ExpectSkipLikeNext(const savio::SavFile& f, size_t run, const std::string& what) {
    const Walk next = WalkCases(f, run, [](size_t) { return false; });
    for (const size_t every : {1, 2, 3}) {
        const Walk w = WalkCases(f, run, [&](size_t k) { return every == 1 || k % every != 0; });
        ASSERT_EQ(w.end, next.end) << what;
        ASSERT_EQ(w.at, next.at) << what;
        for (size_t k = 0; k < w.rows.size(); ++k)
            EXPECT_TRUE(w.rows[k].empty() || w.rows[k] == next.rows[k]) << what << " case " << k;
    }
}

void ExpectSkipLikeNext(std::string bytes, const std::string& what, size_t run = 0) {
    std::unique_ptr<savio::SavFile> f;
    ASSERT_EQ(savio::SavFile::Open(std::make_shared<savio::OwnedReads>(bytes), "t", &f), 0);
    ExpectSkipLikeNext(*f, run, what);
}

class CaseSkip : public ::testing::TestWithParam<Compression> {};

// Whole files (with an end code or not) in runs of every size; zlib blocks
// spoiled; bytecode cut byte after byte inside its last cases, and an end
// code first in a group of other commands (not padding), which still ends
// the cases there.
TEST_P(CaseSkip, PassesOverCasesAsNextDecodesThem) {
    const bool zlib = GetParam() == Compression::Zlib;
    fixture::File made =
        readback::MixedFile(GetParam(), zlib ? fixture::Endian::Big : fixture::Endian::Little, 60);
    for (const bool endCode : {false, true}) {
        made.bytecodeEndMarker = endCode;
        for (const size_t run : {0, 8, 13, 100}) ExpectSkipLikeNext(Build(made), "run", run);
    }
    const std::string whole = Build(made);
    const fixture::Layout layout = fixture::Describe(made);
    for (size_t b = 0; b < layout.zblocks.size(); b += 7) {
        std::string spoiled = whole;
        for (size_t i = 2; i < layout.zblockSizes[b]; i += 5) spoiled[layout.zblocks[b] + i] ^= 90;
        ExpectSkipLikeNext(spoiled, "block " + std::to_string(b));
    }
    if (zlib) return;
    for (size_t cut = whole.size() - 1; cut > whole.size() - 500; cut -= 3)
        ExpectSkipLikeNext(whole.substr(0, cut), "cut " + std::to_string(cut), 11);
    fixture::File eight;
    eight.bytecodeEndMarker = true;
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "H"})
        eight.variables.push_back(fixture::Numeric(name));
    eight.cases.assign(5, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0});
    std::string bytes = Build(eight);
    const size_t end = fixture::Describe(eight).data + 5 * 8;
    ASSERT_EQ(uint8_t(bytes[end]), 252);
    ExpectSkipLikeNext(bytes.replace(end + 1, 7, 7, char(101)), "end code");
}

INSTANTIATE_TEST_SUITE_P(Compressed, CaseSkip,
                         ::testing::Values(Compression::Bytecode, Compression::Zlib));

TEST(CaseSkipCorpus, CompressedFilesWalkAsNext) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    int walked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fixture::CorpusDir())) {
        std::unique_ptr<savio::SavFile> f;
        auto reads = savio::OpenFileReads(entry.path().string());
        if (!reads || savio::SavFile::Open(reads, "t", &f) != 0 ||
            f->shape().compression == savio::Compression::None)
            continue;
        ExpectSkipLikeNext(*f, 0, entry.path().filename().string());
        ++walked;
    }
    EXPECT_GE(walked, 10);
}

}  // namespace
