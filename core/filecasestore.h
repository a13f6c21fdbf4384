// The grid's values read back on demand from the data file (through a
// CaseCache) instead of kept in memory, in the states the grid load gave
// them: a number the load shows as system-missing is Sysmis; a string is its
// bytes up to the first NUL, stored without trailing blanks when it is of
// full width; a column whose handle reads a variable of the other kind is
// Empty, and so are the columns of the case a rendering error ended, from
// that column on. Cells that can no longer be read because the file changed
// since the load are Empty; the cache tells so once.
#ifndef LORIVANE_CORE_FILECASESTORE_H
#define LORIVANE_CORE_FILECASESTORE_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/casecache.h"
#include "core/casestore.h"

namespace lv {

class FileCaseStore final : public CaseStore {
  public:
    struct Column {
        int variable = -1;    // the variable its handle reads (-1: none)
        int stringWidth = 0;  // the grid column's kind: 0 numeric
    };

    // sysmis: the value the load compares with (SysmisValue).
    FileCaseStore(std::unique_ptr<CaseCache> cache, std::vector<Column> columns, double sysmis);

    // The load's last case ended before column `filled`.
    void CutLastRow(int filled) { lastRowFilled_ = filled; }
    CaseCache& cache() { return *cache_; }

    uint32_t RowCount() const override;
    void GatherNumbers(int column, std::span<const uint32_t> rows, NumberCell* out) const override;
    void GatherStrings(int column, std::span<const uint32_t> rows, StringCell* out) const override;

  private:
    // Calls take(i, values, row) for each rows[i] that has a value in column
    // (values: a case-values column 0 or the cached block of every variable,
    // at its row); the others are left as they are.
    template <class Take>
    void Gather(int column, bool strings, std::span<const uint32_t> rows, Take take) const;

    // Reading fills and evicts the cache: the interface's const is the
    // values', not the cache's.
    std::unique_ptr<CaseCache> cache_;
    std::vector<Column> columns_;
    double sysmis_;
    int lastRowFilled_ = -1;
    mutable std::string texts_;  // the bytes of the last GatherStrings
    mutable std::vector<std::pair<size_t, size_t>> spans_;
};

}  // namespace lv

#endif
