#include "core/export/threaded_rows.h"

#include <algorithm>

#include "core/text/trim.h"

namespace lv {
namespace {

// A block is sent once it holds this many values or this many text bytes.
constexpr size_t kBlockValues = 8192;
constexpr size_t kBlockTextBytes = 1 << 20;
constexpr size_t kBlocksInFlight = 2;

}  // namespace

ThreadedRows::ThreadedRows(std::unique_ptr<RowSink> sink, size_t columns)
    : sink_(std::move(sink)), columns_(columns), filling_(std::make_unique<Block>()) {
    thread_ = std::thread(&ThreadedRows::Work, this);
}

ThreadedRows::~ThreadedRows() {
    Stop();
}

void ThreadedRows::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ThreadedRows::ThrowFailure() {
    std::lock_guard lock(mutex_);
    if (failure_) std::rethrow_exception(failure_);
}

void ThreadedRows::Row(std::span<const GridCell> values) {
    Block& b = *filling_;
    const size_t start = b.values.size();
    const size_t n = std::min(values.size(), columns_);
    b.values.insert(b.values.end(), values.begin(), values.begin() + static_cast<ptrdiff_t>(n));
    // A short row is filled with empty values to the end.
    if (n < columns_) b.values.resize(start + columns_);
    GridCell* out = b.values.data() + start;
    // The values are looked at where they came from: the copy's bytes may
    // still be on their way to memory.
    for (size_t k = 0; k < n; ++k) {
        if (values[k].kind != GridCell::Kind::Text) continue;
        const std::string_view text = WithoutTrailingBlanks(values[k].text);
        b.textStarts.push_back(b.texts.size());
        b.texts.append(text);
        out[k].text = {};
    }
    ++b.rows;
    if (b.values.size() >= kBlockValues || b.texts.size() >= kBlockTextBytes) Send();
}

void ThreadedRows::Send() {
    // The texts no longer move: the values can point into them. Text i
    // runs to where text i + 1 starts.
    Block& b = *filling_;
    size_t next = 0;
    for (GridCell& value : b.values)
        if (value.kind == GridCell::Kind::Text) {
            const size_t start = b.textStarts[next++];
            const size_t end = next < b.textStarts.size() ? b.textStarts[next] : b.texts.size();
            value.text = std::string_view(b.texts).substr(start, end - start);
        }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return full_.size() < kBlocksInFlight || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    full_.push_back(std::move(filling_));
    if (free_.empty()) {
        filling_ = std::make_unique<Block>();
    } else {
        filling_ = std::move(free_.front());
        free_.pop_front();
    }
    lock.unlock();
    changed_.notify_all();
    filling_->values.clear();
    filling_->textStarts.clear();
    filling_->texts.clear();
    filling_->rows = 0;
}

void ThreadedRows::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !full_.empty() || ending_ || stopping_; });
        if (stopping_ || full_.empty()) return;
        std::unique_ptr<Block> block = std::move(full_.front());
        full_.pop_front();
        lock.unlock();
        changed_.notify_all();
        try {
            for (size_t r = 0; r < block->rows; ++r)
                sink_->Row(std::span(block->values).subspan(r * columns_, columns_));
        } catch (...) {
            lock.lock();
            failure_ = std::current_exception();
            full_.clear();
            changed_.notify_all();
            return;
        }
        lock.lock();
        free_.push_back(std::move(block));
    }
}

void ThreadedRows::Commit() {
    if (thread_.joinable()) {
        if (filling_->rows > 0) Send();
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        thread_.join();
        ThrowFailure();
    }
    sink_->Commit();
}

}  // namespace lv
