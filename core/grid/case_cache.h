// The cases of a data file that the grid load read once, found again on
// demand instead of being kept: values are read back from the file through
// the reader's case index, in fixed blocks of rows kept in a small cache
// (least recently used blocks leave first). Long reads (a sort's keys, the
// windows of an export, a search or a copy) go past the cache, in parts read
// side by side. No file handle is held between calls.
//
// Variables computed from the file's (DerivedColumns, numbered after them)
// are made as their blocks are read, from the variables they are made from;
// one that reads earlier cases (LAG) is given the cases before a block too,
// and one that reads many scattered rows is made over the whole run of rows
// between them, a part at a time, in file order.
//
// If the file is gone or changed since the load, every read from then on
// gives nothing: the cache reports Changed once found, drops what it held,
// and never hands out values of a file that is not the one loaded.
// Used from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/cases/case_values.h"
#include "core/cases/derived_columns.h"
#include "savio/case_index.h"
#include "savio/case_reread.h"

namespace lv {

class BackgroundIndex;

class CaseCache {
  public:
    static constexpr size_t kDefaultCacheBytes = 32u << 20;

    enum class Status { Ok, Changed };

    // Where the cases are read back from: the file at path, opened for every
    // read and checked against the index; or, when reads is set, the bytes
    // of the file that was read, held open (what its path names since does
    // not matter; a change of the file itself does).
    struct Source {
        std::string path;
        std::shared_ptr<savio::RandomReads> reads;
        savio::RereadStatus Reread(const savio::CaseIndex& index, int64_t first, int64_t last,
                                   const savio::CaseVisit& visit, savio::InflatedBlock* kept) const;
        bool Unchanged(const savio::CaseIndex& index) const;
    };

    CaseCache(std::string path, savio::CaseIndex index, size_t cacheBytes = kDefaultCacheBytes);
    CaseCache(Source source, savio::CaseIndex index, size_t cacheBytes = kDefaultCacheBytes);

    int64_t rowCount() const { return index_.cases; }
    int columnCount() const { return static_cast<int>(index_.values.size()); }
    // The file's variables and the computed ones after them.
    int variableCount() const { return columnCount() + (derived_ ? derived_->count() : 0); }
    // A variable's width in bytes (0: numeric).
    int width(int v) const;
    bool isString(int v) const { return width(v) > 0; }
    // The computed variables read from now on (null: none); what the cache
    // held is let go. derived's file variables must be the index's; sysmis
    // is the file's system-missing value, which missing results are given.
    void SetDerived(std::shared_ptr<const DerivedColumns> derived, double sysmis);
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

    // The values of variables for rows [first, last), into *out (replaced):
    // read in one pass, bypassing the cache, which a run would only flush
    // (the grid's store asks for runs longer than four blocks).
    Status Values(const std::vector<int>& variables, int64_t first, int64_t last, CaseValues* out);

    // The values of variables at rows (ascending, no row twice, all below
    // rowCount), into *out (replaced) in that order: read in file order,
    // rows close together in one pass, bypassing the cache.
    Status Rows(const std::vector<int>& variables, std::span<const int64_t> rows, CaseValues* out);

    // Takes up the cases an index built on another thread reached since
    // the last call (the index given is that one's start); true when more
    // rows can be read now.
    bool Grow(const BackgroundIndex& from);

    // Finds out now, without reading, whether the file is still the one
    // indexed; a change is latched as a failed read would latch it.
    Status Recheck();

    // Memory held by cached blocks.
    size_t cachedBytes() const { return cachedBytes_; }

  private:
    // Reads rows [first, last) into out (appended); latches a change.
    Status Read(int64_t first, int64_t last, CaseValues* out);
    // Plans the reading of variables with the computed ones among them: the
    // values' columns (variables first) in *columns. False for a variable
    // out of range.
    bool Plan(const std::vector<int>& variables, std::vector<int>* columns,
              DerivedPlan* plan) const;
    // Rows [first, last) of the planned columns into *out (replaced), the
    // computed ones made; long runs read side by side.
    Status ReadRun(const std::vector<int>& columns, const DerivedPlan& plan, int64_t first,
                   int64_t last, CaseValues* out);
    // The listed rows of the planned columns, made over the whole run of
    // rows from the first to the last (for computed variables that read
    // other cases), a part at a time.
    Status ReadThrough(const std::vector<int>& columns, const DerivedPlan& plan,
                       std::span<const int64_t> rows, CaseValues* out);
    // The same for many rows, in parts read side by side on the machine's
    // cores (each from its own checkpoint).
    Status ReadMany(int64_t first, int64_t last, CaseValues* out);
    // Reads parts 0 .. parts - 1 side by side: read(p, values, kept) reads
    // part p, the first into out with the kept block, the others into
    // values of their own appended to out in order.
    using PartRead = std::function<savio::RereadStatus(size_t, CaseValues*, savio::InflatedBlock*)>;
    Status ReadParts(size_t parts, const PartRead& read, CaseValues* out);
    // Threads worth starting for a read spanning that many checkpoints.
    int64_t ThreadsFor(int64_t steps) const;
    Status Settle(savio::RereadStatus st, CaseValues* out);
    void Drop();

    struct Held {
        int64_t block;
        CaseValues values;
    };

    Source source_;
    savio::CaseIndex index_;
    std::vector<int> all_;  // 0 .. variableCount - 1
    std::shared_ptr<const DerivedColumns> derived_;
    DerivedPlan allPlan_;  // of all_
    std::vector<int> allColumns_;
    double sysmis_ = 0;
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
