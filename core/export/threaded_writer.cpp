#include "core/export/threaded_writer.h"

#include <algorithm>

namespace lv {
namespace {

// A block is sent once it holds this many cells or this many text bytes.
constexpr size_t kBlockCells = 32768;
constexpr size_t kBlockTextBytes = 1 << 20;
constexpr size_t kBlocksInFlight = 2;

}  // namespace

ThreadedTableWriter::ThreadedTableWriter(std::unique_ptr<TableWriter> writer)
    : writer_(std::move(writer)), filling_(std::make_unique<Block>()) {}

ThreadedTableWriter::~ThreadedTableWriter() {
    Stop();
}

void ThreadedTableWriter::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ThreadedTableWriter::Header(std::span<const TableColumn> columns) {
    columns_ = columns.size();
    writer_->Header(columns);
    thread_ = std::thread(&ThreadedTableWriter::Work, this);
}

void ThreadedTableWriter::ThrowFailure() {
    std::lock_guard lock(mutex_);
    if (failure_) std::rethrow_exception(failure_);
}

void ThreadedTableWriter::Row(std::span<const TableCell> cells) {
    Block& b = *filling_;
    for (const TableCell& cell : cells.first(std::min(cells.size(), columns_))) {
        b.cells.push_back(cell);
        if (cell.kind != TableCell::Kind::Text) continue;
        b.textStarts.push_back(b.texts.size());
        b.texts.append(cell.text);
    }
    // A short row is written with empty cells to the end.
    b.cells.resize((b.rows + 1) * columns_);
    ++b.rows;
    if (b.cells.size() >= kBlockCells || b.texts.size() >= kBlockTextBytes) Send();
}

void ThreadedTableWriter::Send() {
    // The texts no longer move: the cells can point into them.
    Block& b = *filling_;
    size_t next = 0;
    for (TableCell& cell : b.cells)
        if (cell.kind == TableCell::Kind::Text) {
            const size_t start = b.textStarts[next++];
            cell.text = std::string_view(b.texts).substr(start, cell.text.size());
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
    filling_->cells.clear();
    filling_->textStarts.clear();
    filling_->texts.clear();
    filling_->rows = 0;
}

void ThreadedTableWriter::Work() {
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
                writer_->Row(std::span(block->cells).subspan(r * columns_, columns_));
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

void ThreadedTableWriter::Commit() {
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
    writer_->Commit();
}

}  // namespace lv
