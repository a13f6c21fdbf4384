// The grid's case index built on a thread of its own: the whole index is the
// one a read of every case takes, a damaged file ends it where the damage is
// (the cases before it readable), and a stop in the middle ends it at once
// and can be taken up again.
#include "core/grid/background_index.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/grid/case_cache.h"
#include "savio/case_indexer.h"
#include "savio/spssfio.h"
#include "tests/support/corpus.h"
#include "tests/support/savfixture.h"

namespace {

using State = lv::IndexProgress::State;

struct Open {
    int handle = -1;
    explicit Open(const std::string& path) { EXPECT_EQ(spssOpenRead(path.c_str(), &handle), 0); }
    ~Open() {
        if (handle >= 0) spssCloseRead(handle);
    }
};

// Waits (boundedly) for the thread to end, then takes up all it found.
savio::CaseIndex Finished(const lv::BackgroundIndex& b, savio::CaseIndex index) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (b.progress().running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    b.CatchUp(&index);
    return index;
}

// A file of incompressible numbers: its bytecode is as long as it can be.
std::string ManyCases(const std::string& path, int cases, fixture::Compression c) {
    fixture::File f;
    f.compression = c;
    f.variables = {fixture::Numeric("A"), fixture::Numeric("B")};
    for (int i = 0; i < cases; ++i) f.cases.push_back({i + 0.25, -i - 0.5});
    return fixture::WriteFile(f, path);
}

}  // namespace

TEST(BackgroundIndexCorpus, TheWholeIndexIsTheOneReadingEveryCaseTakes) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    for (const char* name : {"spss29_customer_dbase.zsav", "spss13_uncompressed_vls.sav",
                             "spss11_employee_data.sav", "javawriter_ncases_unknown.sav"}) {
        SCOPED_TRACE(name);
        Open file(fixture::CorpusPath(name));
        ASSERT_TRUE(savio::SetCheckpointShift(file.handle, 2));
        auto indexer = savio::CaseIndexer::Of(file.handle, 2);
        ASSERT_TRUE(indexer);
        const savio::CaseIndex start = indexer->index();
        lv::BackgroundIndex background(std::move(indexer), 3);
        while (spssReadCaseRecord(file.handle) == 0) {
        }
        savio::CaseIndex read;
        ASSERT_TRUE(savio::GetCaseIndex(file.handle, &read));
        const savio::CaseIndex built = Finished(background, start);
        EXPECT_EQ(background.progress().state, State::Complete);
        EXPECT_GT(built.cases, 0);
        EXPECT_EQ(built.cases, read.cases);
        EXPECT_EQ(built.checkpoints, read.checkpoints);
        EXPECT_EQ(background.progress().indexed, read.cases);
    }
}

TEST(BackgroundIndex, ADamagedFileEndsTheIndexWhereTheDataStops) {
    const std::string path =
        ManyCases(fixture::TempDir() + "/cut.sav", 20000, fixture::Compression::Bytecode);
    std::filesystem::resize_file(path, std::filesystem::file_size(path) * 6 / 10);
    Open file(path);
    auto indexer = savio::CaseIndexer::Of(file.handle, 4, 20000);
    ASSERT_TRUE(indexer);
    const savio::CaseIndex start = indexer->index();
    lv::BackgroundIndex background(std::move(indexer), 100);
    const savio::CaseIndex built = Finished(background, start);
    EXPECT_EQ(background.progress().state, State::Damaged);
    EXPECT_GT(built.cases, 5000);
    EXPECT_LT(built.cases, 20000);
    // Every case before the damage reads back, the last one too.
    lv::CaseCache cache(path, built);
    lv::CaseValues values;
    ASSERT_EQ(cache.Values({0, 1}, built.cases - 2, built.cases, &values),
              lv::CaseCache::Status::Ok);
    ASSERT_EQ(values.rows(), 2);
    EXPECT_EQ(values.Number(1, 0), double(built.cases - 1) + 0.25);
    EXPECT_EQ(values.Number(1, 1), -double(built.cases - 1) - 0.5);
}

TEST(BackgroundIndex, AStopEndsTheThreadAtOnceAndResumingFinishesTheIndex) {
    const std::string path =
        ManyCases(fixture::TempDir() + "/long.zsav", 200000, fixture::Compression::Zlib);
    Open file(path);
    auto indexer = savio::CaseIndexer::Of(file.handle);
    const savio::CaseIndex start = indexer->index();
    {
        // Destroyed while reading: joined, nothing left running.
        lv::BackgroundIndex gone(savio::CaseIndexer::Of(file.handle), 16);
    }
    lv::BackgroundIndex background(std::move(indexer), 16);
    const auto before = std::chrono::steady_clock::now();
    background.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    const lv::IndexProgress stopped = background.progress();
    ASSERT_EQ(stopped.state, State::Stopped);
    EXPECT_LT(stopped.indexed, 200000);
    background.Resume();
    const savio::CaseIndex built = Finished(background, start);
    EXPECT_EQ(background.progress().state, State::Complete);
    EXPECT_EQ(built.cases, 200000);
    lv::CaseCache cache(path, built);
    int64_t first = 0;
    const lv::CaseValues* block = cache.Block(199999, &first);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->Number(199999 - first, 0), 199999.25);
}
