// A row sink that passes the rows to another sink working in a thread of
// its own, so that reading the cases and making the file (labels, decoding,
// number texts, XML, compression) run on two cores at once. The rows travel
// in blocks of copied values, at most two blocks in flight: memory stays
// small and does not grow with the rows. Strings travel without their
// trailing blanks, which no table writes.
//
// A failure of the sink in its thread is thrown again, as it was thrown,
// from a later Row (when the next block is sent) or from Commit. Commit is
// the other sink's Commit, made once every row is written; destroyed
// before it, the thread stops and the other sink goes without committing
// (so no file is left).
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/export/table_rows.h"

namespace lv {

class ThreadedRows final : public RowSink {
  public:
    // Rows of columns values each; the thread starts now.
    ThreadedRows(std::unique_ptr<RowSink> sink, size_t columns);
    ~ThreadedRows() override;
    ThreadedRows(const ThreadedRows&) = delete;
    ThreadedRows& operator=(const ThreadedRows&) = delete;

    void Row(std::span<const GridCell> values) override;
    void Commit() override;

  private:
    struct Block {
        std::vector<GridCell> values;    // rows one after another
        std::vector<size_t> textStarts;  // of each text value in texts
        std::string texts;
        size_t rows = 0;
    };

    void Send();
    void Work();
    void ThrowFailure();
    void Stop();

    std::unique_ptr<RowSink> sink_;
    size_t columns_;
    std::unique_ptr<Block> filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Block>> full_, free_;
    bool ending_ = false, stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace lv
