#include "core/grid/background_index.h"

#include <algorithm>

namespace lv {
namespace {

// About this many slots decoded between two looks at the stop flag: a few
// milliseconds of work, so that a stop is quick and the counts move often.
constexpr int64_t kStepSlots = int64_t{1} << 20;

IndexProgress::State StateOf(savio::CaseIndexer::Status status) {
    switch (status) {
        case savio::CaseIndexer::Status::More:
            return IndexProgress::State::Running;
        case savio::CaseIndexer::Status::End:
            return IndexProgress::State::Complete;
        case savio::CaseIndexer::Status::Damaged:
            return IndexProgress::State::Damaged;
        case savio::CaseIndexer::Status::Changed:
            return IndexProgress::State::Changed;
    }
    return IndexProgress::State::Damaged;
}

}  // namespace

BackgroundIndex::BackgroundIndex(std::unique_ptr<savio::CaseIndexer> indexer, int64_t stepCases)
    : indexer_(std::move(indexer)), stepCases_(stepCases), expected_(indexer_->expected()) {
    const int64_t slots = std::max<int64_t>(int64_t(indexer_->index().shape.slotCount()), 1);
    if (stepCases_ <= 0) stepCases_ = std::max<int64_t>(kStepSlots / slots, 16);
    Publish(IndexProgress::State::Running);
    thread_ = std::thread([this] { Run(); });
}

BackgroundIndex::~BackgroundIndex() {
    Stop();
}

void BackgroundIndex::Stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

void BackgroundIndex::Resume() {
    if (thread_.joinable() || state_.load() != IndexProgress::State::Stopped) return;
    stop_.store(false, std::memory_order_relaxed);
    state_.store(IndexProgress::State::Running, std::memory_order_release);
    thread_ = std::thread([this] { Run(); });
}

void BackgroundIndex::Run() {
    for (;;) {
        if (stop_.load(std::memory_order_relaxed)) {
            Publish(IndexProgress::State::Stopped);
            return;
        }
        const IndexProgress::State state = StateOf(indexer_->Read(stepCases_));
        Publish(state);
        if (state != IndexProgress::State::Running) return;
    }
}

void BackgroundIndex::Publish(IndexProgress::State state) {
    const savio::CaseIndex& index = indexer_->index();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        checkpoints_.insert(checkpoints_.end(),
                            index.checkpoints.begin() + std::ptrdiff_t(checkpoints_.size()),
                            index.checkpoints.end());
        publishedCases_ = index.cases;
    }
    indexed_.store(index.cases, std::memory_order_release);
    state_.store(state, std::memory_order_release);
}

IndexProgress BackgroundIndex::progress() const {
    IndexProgress p;
    // The state first: once it says the thread ended, the count is final.
    p.state = state_.load(std::memory_order_acquire);
    p.indexed = indexed_.load(std::memory_order_acquire);
    p.expected = expected_;
    return p;
}

void BackgroundIndex::CatchUp(savio::CaseIndex* index) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (index->checkpoints.size() < checkpoints_.size())
        index->checkpoints.insert(index->checkpoints.end(),
                                  checkpoints_.begin() + std::ptrdiff_t(index->checkpoints.size()),
                                  checkpoints_.end());
    index->cases = std::max(index->cases, publishedCases_);
}

}  // namespace lv
