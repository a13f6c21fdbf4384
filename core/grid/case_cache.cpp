#include "core/grid/case_cache.h"

#include <algorithm>
#include <numeric>
#include <thread>

#include "core/grid/background_index.h"
#include "savio/case_reread.h"

namespace lv {
namespace {

// A block holds about this many bytes of slots; a walk hands out chunks of
// four blocks.
constexpr size_t kBlockSlotBytes = 512u << 10;
constexpr int64_t kMaxBlockRows = 256;
// Long reads run in up to this many parts of at least this many
// checkpoint intervals (16384 rows of a narrow file).
constexpr int64_t kMaxThreads = 4;
constexpr int64_t kMinPartSteps = 16;
// Uncompressed rows this many bytes apart or closer are read through
// rather than from a new start.
constexpr size_t kUncompressedGapBytes = 64u << 10;

int64_t BlockRowsFor(size_t slotCount) {
    int64_t rows = kMaxBlockRows;
    while (rows > 1 && static_cast<size_t>(rows) * slotCount * 8 > kBlockSlotBytes) rows /= 2;
    return rows;
}

savio::RereadStatus ReadInto(const CaseCache::Source& source, const savio::CaseIndex& index,
                             int64_t first, int64_t last, CaseValues* out,
                             savio::InflatedBlock* kept) {
    return source.Reread(
        index, first, last,
        [out](int64_t, const uint8_t* slots) {
            out->AppendSlots(slots);
            return true;
        },
        kept);
}

// Reads the listed rows (ascending): rows close enough together that
// decoding the ones between costs less than starting again are read in one
// pass, the others each from the checkpoint before them.
savio::RereadStatus ReadListed(const CaseCache::Source& source, const savio::CaseIndex& index,
                               std::span<const int64_t> rows, CaseValues* out,
                               savio::InflatedBlock* kept) {
    const int64_t gap =
        index.shape.compression == savio::Compression::None
            ? std::max<int64_t>(1, int64_t(kUncompressedGapBytes /
                                           std::max<size_t>(index.shape.slotCount() * 8, 1)))
            : int64_t{1} << index.checkpointShift;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i + 1;
        while (j < rows.size() && rows[j] - rows[j - 1] <= gap) ++j;
        size_t next = i;
        const auto st = source.Reread(
            index, rows[i], rows[j - 1] + 1,
            [&](int64_t row, const uint8_t* slots) {
                if (row == rows[next]) {
                    out->AppendSlots(slots);
                    ++next;
                }
                return true;
            },
            kept);
        if (st != savio::RereadStatus::Ok) return st;
        if (next != j) return savio::RereadStatus::Changed;
        i = j;
    }
    return savio::RereadStatus::Ok;
}

}  // namespace

savio::RereadStatus CaseCache::Source::Reread(const savio::CaseIndex& index, int64_t first,
                                              int64_t last, const savio::CaseVisit& visit,
                                              savio::InflatedBlock* kept) const {
    return reads ? savio::RereadCasesFrom(reads, index, first, last, visit, kept)
                 : savio::RereadCases(path, index, first, last, visit, kept);
}

bool CaseCache::Source::Unchanged(const savio::CaseIndex& index) const {
    return reads ? savio::ReadsUnchanged(*reads) : savio::IndexedFileUnchanged(path, index);
}

CaseCache::CaseCache(std::string path, savio::CaseIndex index, size_t cacheBytes)
    : CaseCache(Source{std::move(path), nullptr}, std::move(index), cacheBytes) {}

CaseCache::CaseCache(Source source, savio::CaseIndex index, size_t cacheBytes)
    : source_(std::move(source)),
      index_(std::move(index)),
      all_(index_.values.size()),
      blockRows_(BlockRowsFor(index_.shape.slotCount())),
      cacheBytes_(cacheBytes) {
    std::iota(all_.begin(), all_.end(), 0);
    allColumns_ = all_;
}

int CaseCache::width(int v) const {
    if (v < 0) return 0;
    if (v < columnCount()) {
        const savio::ValueSlots& where = index_.values[size_t(v)];
        return where.isString() ? where.width : 0;
    }
    return v < variableCount() ? derived_->width(v - columnCount()) : 0;
}

void CaseCache::SetDerived(std::shared_ptr<const DerivedColumns> derived, double sysmis) {
    if (derived && (derived->count() == 0 || derived->fileVariables() != columnCount()))
        derived = nullptr;
    derived_ = std::move(derived);
    sysmis_ = sysmis;
    all_.resize(size_t(variableCount()));
    std::iota(all_.begin(), all_.end(), 0);
    Plan(all_, &allColumns_, &allPlan_);
    Drop();
}

bool CaseCache::Plan(const std::vector<int>& variables, std::vector<int>* columns,
                     DerivedPlan* plan) const {
    *columns = variables;
    return PlanDerived(derived_.get(), columnCount(), *columns, *plan);
}

CaseCache::Status CaseCache::ReadRun(const std::vector<int>& columns, const DerivedPlan& plan,
                                     int64_t first, int64_t last, CaseValues* out) {
    // A LAG's first rows need the cases before them.
    const int64_t start = plan.everyCase ? std::max<int64_t>(0, first - plan.casesBefore) : first;
    *out = CaseValues(index_, columns, plan.widths);
    if (changed_) return Status::Changed;
    const Status st = ReadMany(start, last, out);
    if (st != Status::Ok || plan.steps.empty()) return st;
    plan.Fill(*derived_, *out, start, sysmis_);
    if (start < first) {
        std::vector<bool> keep(size_t(last - start), true);
        std::fill_n(keep.begin(), first - start, false);
        out->KeepRows(keep);
    }
    return Status::Ok;
}

CaseCache::Status CaseCache::ReadThrough(const std::vector<int>& columns, const DerivedPlan& plan,
                                         std::span<const int64_t> rows, CaseValues* out) {
    const int64_t partRows = 16 * blockRows_;
    CaseValues part(index_, columns, plan.widths);
    int64_t readTo = 0;  // where the last part ended
    for (size_t next = 0; next < rows.size();) {
        // From the cases the next row's LAG reads, or on from the last
        // part when that reaches them (the LAGs then go on from it).
        int64_t at = std::max<int64_t>(0, rows[next] - plan.casesBefore);
        if (at < readTo) at = readTo;
        const int64_t end = std::min(at + partRows, rows.back() + 1);
        part.Clear();
        if (Read(at, end, &part) != Status::Ok) {
            out->Clear();
            return Status::Changed;
        }
        plan.Fill(*derived_, part, at, sysmis_);
        std::vector<bool> keep(size_t(end - at), false);
        for (; next < rows.size() && rows[next] < end; ++next) keep[size_t(rows[next] - at)] = true;
        part.KeepRows(keep);
        out->AppendAll(part);
        readTo = end;
    }
    return Status::Ok;
}

bool CaseCache::TakeChangedNotice() {
    if (!changed_ || noticed_) return false;
    noticed_ = true;
    return true;
}

void CaseCache::Drop() {
    kept_ = savio::InflatedBlock();
    held_.clear();
    byBlock_.clear();
    cachedBytes_ = 0;
}

CaseCache::Status CaseCache::Settle(savio::RereadStatus st, CaseValues* out) {
    if (st != savio::RereadStatus::Changed) return Status::Ok;
    changed_ = true;
    Drop();
    out->Clear();
    return Status::Changed;
}

CaseCache::Status CaseCache::Read(int64_t first, int64_t last, CaseValues* out) {
    if (changed_) return Status::Changed;
    return Settle(ReadInto(source_, index_, first, last, out, &kept_), out);
}

int64_t CaseCache::ThreadsFor(int64_t steps) const {
    const int64_t cores = std::clamp<int64_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
    return std::clamp<int64_t>(steps / kMinPartSteps, 1, cores);
}

CaseCache::Status CaseCache::ReadParts(size_t parts, const PartRead& read, CaseValues* out) {
    if (changed_) return Status::Changed;
    CaseValues empty = *out;
    empty.Clear();
    std::vector<CaseValues> more(parts - 1, empty);
    std::vector<savio::RereadStatus> status(parts);
    std::vector<std::thread> workers;
    for (size_t p = 1; p < parts; ++p)
        workers.emplace_back([&, p] { status[p] = read(p, &more[p - 1], nullptr); });
    status[0] = read(0, out, &kept_);
    for (std::thread& w : workers) w.join();
    for (savio::RereadStatus st : status)
        if (st == savio::RereadStatus::Changed) return Settle(st, out);
    for (const CaseValues& part : more) out->AppendAll(part);
    return Status::Ok;
}

CaseCache::Status CaseCache::ReadMany(int64_t first, int64_t last, CaseValues* out) {
    const int64_t step = int64_t{1} << index_.checkpointShift;
    const int64_t threads = ThreadsFor((last - first) / step);
    // Parts start on checkpoints, so that no part decodes rows of another.
    std::vector<int64_t> bounds = {first};
    for (int64_t t = 1; t < threads; ++t) {
        const int64_t at = (first + (last - first) * t / threads) / step * step;
        if (at > bounds.back() && at < last) bounds.push_back(at);
    }
    bounds.push_back(last);
    out->Reserve(last - first);
    return ReadParts(
        bounds.size() - 1,
        [&](size_t p, CaseValues* values, savio::InflatedBlock* kept) {
            return ReadInto(source_, index_, bounds[p], bounds[p + 1], values, kept);
        },
        out);
}

CaseCache::Status CaseCache::Rows(const std::vector<int>& variables, std::span<const int64_t> rows,
                                  CaseValues* out) {
    std::vector<int> columns;
    DerivedPlan plan;
    if (!Plan(variables, &columns, &plan)) columns = {};
    *out = CaseValues(index_, columns, plan.widths);
    if (changed_) return Status::Changed;
    if (rows.empty()) return Status::Ok;
    if (plan.everyCase) return ReadThrough(columns, plan, rows, out);
    const int64_t step = int64_t{1} << index_.checkpointShift;
    const int64_t threads = ThreadsFor((rows.back() - rows.front()) / step);
    std::vector<size_t> bounds = {0};
    for (int64_t t = 1; t < threads; ++t)
        bounds.push_back(rows.size() * size_t(t) / size_t(threads));
    bounds.push_back(rows.size());
    out->Reserve(int64_t(rows.size()));
    const Status st = ReadParts(
        bounds.size() - 1,
        [&](size_t p, CaseValues* values, savio::InflatedBlock* kept) {
            return ReadListed(source_, index_, rows.subspan(bounds[p], bounds[p + 1] - bounds[p]),
                              values, kept);
        },
        out);
    // Computed variables that read no other case are made row by row.
    if (st == Status::Ok && !plan.steps.empty()) plan.Fill(*derived_, *out, rows.front(), sysmis_);
    return st;
}

bool CaseCache::Grow(const BackgroundIndex& from) {
    const int64_t before = index_.cases;
    from.CatchUp(&index_);
    if (index_.cases == before) return false;
    // The block that held the last rows there were holds more now.
    if (before > 0)
        if (auto it = byBlock_.find((before - 1) / blockRows_); it != byBlock_.end()) {
            cachedBytes_ -= it->second->values.bytes();
            held_.erase(it->second);
            byBlock_.erase(it);
        }
    return true;
}

CaseCache::Status CaseCache::Recheck() {
    if (changed_) return Status::Changed;
    if (source_.Unchanged(index_)) return Status::Ok;
    CaseValues none;
    return Settle(savio::RereadStatus::Changed, &none);
}

const CaseValues* CaseCache::Block(int64_t row, int64_t* blockFirst) {
    if (changed_ || row < 0 || row >= rowCount()) return nullptr;
    const int64_t block = row / blockRows_;
    *blockFirst = block * blockRows_;
    if (auto it = byBlock_.find(block); it != byBlock_.end()) {
        held_.splice(held_.begin(), held_, it->second);
        return &held_.front().values;
    }
    CaseValues values;
    const int64_t last = std::min(*blockFirst + blockRows_, rowCount());
    if (ReadRun(allColumns_, allPlan_, *blockFirst, last, &values) != Status::Ok) return nullptr;
    held_.push_front({block, std::move(values)});
    byBlock_[block] = held_.begin();
    cachedBytes_ += held_.front().values.bytes();
    // The block just read always stays.
    while (cachedBytes_ > cacheBytes_ && held_.size() > 1) {
        cachedBytes_ -= held_.back().values.bytes();
        byBlock_.erase(held_.back().block);
        held_.pop_back();
    }
    return &held_.front().values;
}

CaseCache::Status CaseCache::Values(const std::vector<int>& variables, int64_t first, int64_t last,
                                    CaseValues* out) {
    std::vector<int> columns;
    DerivedPlan plan;
    if (!Plan(variables, &columns, &plan)) columns = {};
    *out = CaseValues(index_, columns, plan.widths);
    first = std::max<int64_t>(first, 0);
    last = std::min(last, rowCount());
    if (changed_) return Status::Changed;
    if (first >= last) return Status::Ok;
    return ReadRun(columns, plan, first, last, out);
}

}  // namespace lv
