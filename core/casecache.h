// The cases of a data file that the grid load read once, found again on
// demand instead of being kept: values are read back from the file through
// the reader's case index, in fixed blocks of rows kept in a small cache
// (least recently used blocks leave first). Long walks over all rows
// (exports, find, sort keys) stream past the cache. No file handle is held
// between calls.
//
// If the file is gone or changed since the load, every read from then on
// gives nothing: the cache reports Changed once found, drops what it held,
// and never hands out values of a file that is not the one loaded.
// Used from one thread.
#ifndef LORIVANE_CORE_CASECACHE_H
#define LORIVANE_CORE_CASECACHE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/casevalues.h"
#include "savio/case_index.h"
#include "savio/case_reread.h"

namespace lv {

class CaseCache {
  public:
    static constexpr size_t kDefaultCacheBytes = 32u << 20;

    enum class Status { Ok, Stopped, Changed };

    CaseCache(std::string path, savio::CaseIndex index, size_t cacheBytes = kDefaultCacheBytes);

    int64_t rowCount() const { return index_.cases; }
    int columnCount() const { return static_cast<int>(index_.values.size()); }
    const savio::CaseIndex& index() const { return index_; }
    // Rows per cached block: a power of two, fewer for wide files.
    int64_t blockRows() const { return blockRows_; }

    // True once a read found the file gone or changed.
    bool changed() const { return changed_; }
    // True exactly once, the first time it is asked after the change was
    // found: the caller says so once.
    bool TakeChangedNotice();

    // The cached block holding row (every variable; row - *blockFirst is the
    // row inside it), decoded now if it is not held. nullptr when the row is
    // out of range or the file changed. Valid until the next call.
    const CaseValues* Block(int64_t row, int64_t* blockFirst);

    // The values of variables for rows [first, last), into *out (replaced).
    Status Values(const std::vector<int>& variables, int64_t first, int64_t last, CaseValues* out);

    // Streams rows [first, last) of variables from the file, bypassing the
    // cache: visit(firstRow, chunk) for consecutive chunks of rows; visit
    // returns false to stop.
    using ChunkVisit = std::function<bool(int64_t firstRow, const CaseValues& chunk)>;
    Status Walk(const std::vector<int>& variables, int64_t first, int64_t last,
                const ChunkVisit& visit);

    // The key variables of every row, for sorting: one compact column each.
    Status Keys(const std::vector<int>& variables, CaseValues* out);

    // Memory held by cached blocks.
    size_t cachedBytes() const { return cachedBytes_; }

  private:
    // Reads rows [first, last) into out (appended); latches a change.
    Status Read(int64_t first, int64_t last, CaseValues* out);
    // The same for many rows, in parts read side by side on the machine's
    // cores (each from its own checkpoint).
    Status ReadMany(int64_t first, int64_t last, CaseValues* out);
    Status Settle(savio::RereadStatus st, CaseValues* out);
    void Drop();

    struct Held {
        int64_t block;
        CaseValues values;
    };

    std::string path_;
    savio::CaseIndex index_;
    std::vector<int> all_;  // 0 .. columnCount - 1
    int64_t blockRows_;
    size_t cacheBytes_;
    size_t cachedBytes_ = 0;
    std::list<Held> held_;  // most recently used first
    std::unordered_map<int64_t, std::list<Held>::iterator> byBlock_;
    // The .zsav block the last read ended in: the next read (the next block
    // of rows, the next run of a sort) mostly starts there.
    savio::InflatedBlock kept_;
    bool changed_ = false;
    bool noticed_ = false;
};

}  // namespace lv

#endif
