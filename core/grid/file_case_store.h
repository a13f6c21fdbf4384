// The grid's values read back on demand from the data file (through a
// CaseCache) instead of kept in memory, in the states the grid load gave
// them: a number the load shows as system-missing is Sysmis; a string is its
// bytes up to the first NUL, stored without trailing blanks when it is of
// full width; a column whose handle reads a variable of the other kind is
// Empty, and so are the columns of the case a rendering error ended, from
// that column on. Cells that can no longer be read because the file changed
// since the load are Empty; the store tells so once.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/grid/background_index.h"
#include "core/grid/case_cache.h"
#include "core/grid/case_store.h"

namespace lv {

class FileCaseStore final : public CaseStore {
  public:
    struct Column {
        int variable = -1;    // the variable its handle reads (-1: none)
        int stringWidth = 0;  // the grid column's kind: 0 numeric
    };

    // What a read-ahead window may hold, by an estimate of its values' bytes.
    static constexpr size_t kDefaultAheadBytes = 32u << 20;

    // sysmis: the value the load compares with (SysmisValue).
    FileCaseStore(std::unique_ptr<CaseCache> cache, std::vector<Column> columns, double sysmis,
                  size_t aheadBytes = kDefaultAheadBytes);

    // The load's last case ended before column `filled`.
    void CutLastRow(int filled) { lastRowFilled_ = filled; }
    // The rows past those the cache's index holds are found by index, on
    // its thread; they read as empty until taken up (CatchUp).
    void IndexInBackground(std::unique_ptr<BackgroundIndex> index) {
        background_ = std::move(index);
    }
    // How an index read before the grid showed ended (Damaged: the data
    // ends before the cases counted on).
    void IndexEnded(IndexProgress::State state) { end_ = state; }

    bool SetDerived(std::shared_ptr<const DerivedColumns> derived, int fileColumns) override;

    uint32_t RowCount() const override;
    void GatherNumbers(int column, std::span<const uint32_t> rows, NumberCell* out) const override;
    void GatherStrings(int column, std::span<const uint32_t> rows, StringCell* out) const override;

    uint32_t WindowRows(std::span<const int> columns) const override;
    void ReadAhead(std::span<const uint32_t> rows, std::span<const int> columns) const override;

    bool Lost() const override { return cache_->changed(); }
    void Recheck() override { cache_->Recheck(); }
    bool TakeLostNotice() override { return cache_->TakeChangedNotice(); }

    IndexProgress Indexing() const override;
    bool CatchUp() override;
    void StopIndexing() override;
    void ResumeIndexing() override {
        if (background_) background_->Resume();
    }

  private:
    // What a ReadAhead read: the values of its variables at its rows.
    struct Ahead {
        std::vector<int64_t> rows;   // ascending
        std::vector<int> variables;  // as the values hold them
        std::vector<int> columnOf;   // per variable of the file: its column in values, or -1
        CaseValues values;
        // The positions in values of the rows last asked for.
        std::vector<uint32_t> askedRows;
        std::vector<int64_t> positions;
    };

    // Calls take(i, values, c, row) for each rows[i] that has a value in
    // column (values: read-ahead values, a run's values or the cached block
    // of every variable; c its column there, row its row there); the others
    // are left as they are.
    template <class Take>
    void Gather(int column, bool strings, std::span<const uint32_t> rows, Take take) const;
    // The positions of rows in the read-ahead values (-1: not there).
    const std::vector<int64_t>& AheadPositions(std::span<const uint32_t> rows) const;
    // The variables columns read, each once, in the order of columns.
    std::vector<int> VariablesOf(std::span<const int> columns) const;

    // Reading fills and evicts the cache: the interface's const is the
    // values', not the cache's.
    std::unique_ptr<CaseCache> cache_;
    std::unique_ptr<BackgroundIndex> background_;  // null once not needed
    IndexProgress::State end_ = IndexProgress::State::Complete;
    std::vector<Column> columns_;
    double sysmis_;
    size_t aheadBytes_;
    int lastRowFilled_ = -1;
    mutable Ahead ahead_;
    // The bytes per row the last read-ahead took, and of which variables.
    mutable double aheadRowBytes_ = 0;
    mutable std::vector<int> aheadRowVariables_;
    mutable std::vector<size_t> rest_;  // indices of the rows not read ahead
    mutable std::string texts_;         // the bytes of the last GatherStrings
    mutable std::vector<std::pair<size_t, size_t>> spans_;
};

}  // namespace lv
