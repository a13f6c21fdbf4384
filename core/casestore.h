// Where the grid's values live. Everything that reads many cells (the
// rendering of rows, sorting, searching, copying, the as-displayed export)
// asks a CaseStore for the values of one column at a list of file rows, so
// the storage behind it can change without touching any of them.
#ifndef LORIVANE_CORE_CASESTORE_H
#define LORIVANE_CORE_CASESTORE_H

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/gridcolumns.h"
#include "core/gridload.h"

namespace lv {

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
};

// Every value the load read, in memory, in the compact columns of
// core/gridcolumns.h, appended case by case in file order.
class CompactCaseStore final : public CaseStore {
  public:
    // One column per variable of layout, room reserved for its case count.
    explicit CompactCaseStore(const GridLayout& layout);

    // Appends one case; a case cut short leaves its last columns empty.
    void Append(std::span<const GridCell> cells);
    // Drops every case, keeping the columns (a tool that streams blocks).
    void Clear();

    uint32_t RowCount() const override { return rows_; }
    void GatherNumbers(int column, std::span<const uint32_t> rows, NumberCell* out) const override;
    void GatherStrings(int column, std::span<const uint32_t> rows, StringCell* out) const override;

    // Memory held by the values.
    size_t MemoryBytes() const;

  private:
    std::vector<int> stringWidths_;  // per column: 0 numeric, else the string width
    std::vector<int> slot_;          // per column: index into numeric_ or strings_
    std::vector<NumericColumn> numeric_;
    std::vector<StringColumn> strings_;
    uint32_t rows_ = 0;
};

}  // namespace lv

#endif
