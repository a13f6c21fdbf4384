// The grid load's consumer for a grid that keeps no values: it gives the
// grid its layout over an empty store, and once the cases end, while the
// data file is still open, takes the reader's case index and the variables
// the handles read, so that the grid reads every value back from the file
// on demand (core/grid/file_case_store.h). In the background mode the load
// reads no case: the fill reads the first cases' index itself, enough for a
// first screen, and leaves the rest of the index to a thread of its own
// (core/grid/background_index.h) while the grid is shown.
#pragma once

#include "core/grid/case_cache.h"
#include "core/grid/file_case_store.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_load.h"

namespace lv {

// The memory the on-demand store may use, and how often the reader keeps
// its place (every 2^checkpointShift cases; -1: the reader's own choice).
// Tests make them small to reach every boundary with a few cases.
struct FileStoreLimits {
    size_t cacheBytes = CaseCache::kDefaultCacheBytes;
    size_t aheadBytes = FileCaseStore::kDefaultAheadBytes;
    int checkpointShift = -1;
};

// Where the grid reads its values back from: the data file at its path,
// checked on every read to be the one loaded (the windows); or the file the
// load read, held open (a command that reads its file through one open).
enum class ReadBackFrom { Path, LoadedFile };

class GridFill final : public GridLoadConsumer {
  public:
    explicit GridFill(GridData& grid, FileStoreLimits limits = {},
                      ReadBackFrom from = ReadBackFrom::Path)
        : grid_(grid), limits_(limits), from_(from) {}

    // The index of the cases past the first screen on a thread of its own
    // (the windows); off, the load reads every case first.
    void IndexInBackground(bool on) { background_ = on; }

    void Layout(const GridLayout& layout) override;
    void EditingOn() override;
    bool TakesValues() const override { return false; }
    // In the background mode no case is read by the load, unless a column's
    // rendering may raise: then every value is checked first, as ever.
    int LastCase() const override { return background_ && !raises_ ? 0 : -1; }
    void Case(int, std::span<const GridCell>) override {}
    void CasesEnded(int cut) override;
    // The data ended before the cases read for the first screen (told as
    // the load tells a failed read).
    bool damagedFirst() const { return damagedFirst_; }

  private:
    GridData& grid_;
    FileStoreLimits limits_;
    ReadBackFrom from_;
    bool background_ = false;
    bool raises_ = false;
    bool damagedFirst_ = false;
};

}  // namespace lv
