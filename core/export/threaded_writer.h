// A table writer that passes the rows to another writer working in a thread
// of its own, so that reading the cases and writing the file (number texts,
// XML, compression) run on two cores at once. The rows travel in blocks of
// copied cells, at most two blocks in flight: memory stays small and does
// not grow with the rows.
//
// A failure of the writer in its thread is thrown again, as it was thrown,
// from a later Row (when the next block is sent) or from Commit. Commit is the other writer's
// Commit, made once every row is written; destroyed before it, the thread stops and the other
// writer goes without committing (so no file is left).
#ifndef LORIVANE_CORE_EXPORT_THREADED_WRITER_H
#define LORIVANE_CORE_EXPORT_THREADED_WRITER_H

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/export/table_columns.h"

namespace lv {

class ThreadedTableWriter final : public TableWriter {
  public:
    explicit ThreadedTableWriter(std::unique_ptr<TableWriter> writer);
    ~ThreadedTableWriter() override;
    ThreadedTableWriter(const ThreadedTableWriter&) = delete;
    ThreadedTableWriter& operator=(const ThreadedTableWriter&) = delete;

    void Header(std::span<const TableColumn> columns) override;
    void Row(std::span<const TableCell> cells) override;
    void Commit() override;

  private:
    struct Block {
        std::vector<TableCell> cells;    // rows one after another
        std::vector<size_t> textStarts;  // of each text cell in texts
        std::string texts;
        size_t rows = 0;
    };

    void Send();
    void Work();
    void ThrowFailure();
    void Stop();

    std::unique_ptr<TableWriter> writer_;
    size_t columns_ = 0;
    std::unique_ptr<Block> filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Block>> full_, free_;
    bool ending_ = false, stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace lv

#endif
