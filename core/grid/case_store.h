// Where the grid's values live. Everything that reads many cells (the
// rendering of rows, sorting, searching, copying, the as-displayed export)
// asks a CaseStore for the values of one column at a list of file rows, so
// the storage behind it can change without touching any of them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/cases/derived_columns.h"
#include "core/grid/grid_layout.h"

namespace lv {

// What a stored cell holds.
enum class CellState : uint8_t { Empty, Sysmis, Value };

// One numeric cell: value is set when state is Value.
struct NumberCell {
    CellState state = CellState::Empty;
    double value = 0;
};

// One string cell: the stored bytes and the count of blanks after them that
// restore the value's full length. The view is valid until the next call on
// the store.
struct StringCell {
    CellState state = CellState::Empty;
    std::string_view stored;
    size_t blanks = 0;
};

// How far a store's rows can be read while their index is built on another
// thread: the cases readable now, the cases the file promises, and how the
// building stands.
struct IndexProgress {
    enum class State { Complete, Running, Damaged, Changed, Stopped };
    State state = State::Complete;
    int64_t indexed = 0;
    int64_t expected = 0;
    bool running() const { return state == State::Running; }
};

class CaseStore {
  public:
    virtual ~CaseStore() = default;
    // Cases held; rows at or past this count read as empty cells.
    virtual uint32_t RowCount() const = 0;
    // The values of a numeric (or string) column at the given file rows
    // (0-based), out[i] for rows[i]. Asking a column of the other kind gives
    // empty cells.
    virtual void GatherNumbers(int column, std::span<const uint32_t> rows,
                               NumberCell* out) const = 0;
    virtual void GatherStrings(int column, std::span<const uint32_t> rows,
                               StringCell* out) const = 0;

    // Long walks (an export, a search, a copy) read ahead: how many rows of
    // columns the store reads at once (0: it needs no reading ahead), and
    // the reading of those rows' values, which the gathers that follow then
    // take. The rows may come in any order.
    virtual uint32_t WindowRows(std::span<const int> columns) const {
        (void)columns;
        return 0;
    }
    virtual void ReadAhead(std::span<const uint32_t> rows, std::span<const int> columns) const {
        (void)rows;
        (void)columns;
    }

    // Columns computed from the file's variables, from column fileColumns
    // on (derived's variable d in column fileColumns + d), replacing those
    // set before; null takes them away. False when the store cannot make
    // them (nothing changes then).
    virtual bool SetDerived(std::shared_ptr<const DerivedColumns> derived, int fileColumns) {
        (void)derived;
        (void)fileColumns;
        return false;
    }

    // True once values could no longer be read (the data file changed or
    // went away since the load); such cells read as empty from then on.
    virtual bool Lost() const { return false; }
    // Finds out now whether the values can still be read.
    virtual void Recheck() {}
    // True exactly once after the loss was found, so that it is told once.
    virtual bool TakeLostNotice() { return false; }

    // A store whose index is still being built: how far it is, and taking
    // up the rows it reached since the last call (true when more rows can be
    // read now). Called on the thread that reads the store; never waits for
    // the building.
    virtual IndexProgress Indexing() const { return {}; }
    virtual bool CatchUp() { return false; }
    // Stops the building now (rows not reached read as empty), and takes it
    // up again from where it stopped.
    virtual void StopIndexing() {}
    virtual void ResumeIndexing() {}
};

// Every case it is given, held plainly in memory: a block of the cases a
// load streams past, or a grid made in memory.
class MemoryCaseStore final : public CaseStore {
  public:
    // One column per variable of layout.
    explicit MemoryCaseStore(const GridLayout& layout);

    // Appends one case; a case cut short leaves its last columns empty.
    void Append(std::span<const GridCell> cells);
    // Drops every case, keeping the columns and their memory.
    void Clear();

    uint32_t RowCount() const override { return rows_; }
    void GatherNumbers(int column, std::span<const uint32_t> rows, NumberCell* out) const override;
    void GatherStrings(int column, std::span<const uint32_t> rows, StringCell* out) const override;

  private:
    struct Column {
        bool text = false;
        std::vector<CellState> states;
        std::vector<double> numbers;
        std::vector<size_t> ends;  // text: the end of each value in bytes
        std::string bytes;
    };
    std::vector<Column> columns_;
    uint32_t rows_ = 0;
};

}  // namespace lv
