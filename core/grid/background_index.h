// The grid's case index built on a thread of its own while the grid is
// shown. The thread owns the reader's indexer (its own decoder over its own
// bytes of the file) and publishes what it found, a step of cases at a time:
// the count in an atomic, the checkpoints in a vector that only grows,
// behind a mutex held only to copy. The grid's thread takes them up with
// CatchUp whenever it likes and never waits for a read. Stopping (or the
// destructor) asks the thread to end after its current step and joins it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/grid/case_store.h"
#include "savio/case_index.h"
#include "savio/case_indexer.h"

namespace lv {

class BackgroundIndex {
  public:
    // Starts reading where indexer stands (what it read already is
    // published at once). stepCases: cases read between two looks at the
    // stop flag and two publications (0: sized by the width of a case).
    explicit BackgroundIndex(std::unique_ptr<savio::CaseIndexer> indexer, int64_t stepCases = 0);
    ~BackgroundIndex();
    BackgroundIndex(const BackgroundIndex&) = delete;
    BackgroundIndex& operator=(const BackgroundIndex&) = delete;

    // Asks the thread to stop and waits for its current step to end; Resume
    // goes on from there on a new thread.
    void Stop();
    void Resume();
    IndexProgress progress() const;
    // Brings index (a copy taken from the indexer's start) up to what was
    // published: the checkpoints it lacks and the cases it may read.
    void CatchUp(savio::CaseIndex* index) const;

  private:
    void Run();
    void Publish(IndexProgress::State state);

    std::unique_ptr<savio::CaseIndexer> indexer_;  // the thread's own
    int64_t stepCases_;
    const int64_t expected_;
    mutable std::mutex mutex_;
    std::vector<uint64_t> checkpoints_;  // published; grows only
    int64_t publishedCases_ = 0;         // under mutex_, with checkpoints_
    std::atomic<int64_t> indexed_{0};
    std::atomic<IndexProgress::State> state_{IndexProgress::State::Running};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace lv
