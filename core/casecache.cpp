#include "core/casecache.h"

#include <algorithm>
#include <numeric>
#include <thread>

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

int64_t BlockRowsFor(size_t slotCount) {
    int64_t rows = kMaxBlockRows;
    while (rows > 1 && static_cast<size_t>(rows) * slotCount * 8 > kBlockSlotBytes) rows /= 2;
    return rows;
}

savio::RereadStatus ReadInto(const std::string& path, const savio::CaseIndex& index, int64_t first,
                             int64_t last, CaseValues* out, savio::InflatedBlock* kept) {
    return savio::RereadCases(
        path, index, first, last,
        [out](int64_t, const uint8_t* slots) {
            out->AppendSlots(slots);
            return true;
        },
        kept);
}

}  // namespace

CaseCache::CaseCache(std::string path, savio::CaseIndex index, size_t cacheBytes)
    : path_(std::move(path)),
      index_(std::move(index)),
      all_(index_.values.size()),
      blockRows_(BlockRowsFor(index_.shape.slotCount())),
      cacheBytes_(cacheBytes) {
    std::iota(all_.begin(), all_.end(), 0);
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
    return Settle(ReadInto(path_, index_, first, last, out, &kept_), out);
}

CaseCache::Status CaseCache::ReadMany(int64_t first, int64_t last, CaseValues* out) {
    if (changed_) return Status::Changed;
    const int64_t step = int64_t{1} << index_.checkpointShift;
    const int64_t threads =
        std::clamp<int64_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
    // Parts start on checkpoints, so that no part decodes rows of another.
    std::vector<int64_t> bounds = {first};
    for (int64_t t = 1; t < threads; ++t) {
        const int64_t at = (first + (last - first) * t / threads) / step * step;
        if (at - bounds.back() >= kMinPartSteps * step && last - at >= kMinPartSteps * step)
            bounds.push_back(at);
    }
    bounds.push_back(last);
    const size_t parts = bounds.size() - 1;
    CaseValues empty = *out;
    empty.Clear();
    std::vector<CaseValues> more(parts - 1, empty);
    std::vector<savio::RereadStatus> status(parts);
    std::vector<std::thread> workers;
    for (size_t p = 1; p < parts; ++p)
        workers.emplace_back([&, p] {
            status[p] = ReadInto(path_, index_, bounds[p], bounds[p + 1], &more[p - 1], nullptr);
        });
    out->Reserve(bounds[1] - first);
    status[0] = ReadInto(path_, index_, first, bounds[1], out, &kept_);
    for (std::thread& w : workers) w.join();
    for (savio::RereadStatus st : status)
        if (st == savio::RereadStatus::Changed) return Settle(st, out);
    out->Reserve(last - first);
    for (const CaseValues& part : more) out->AppendAll(part);
    return Status::Ok;
}

const CaseValues* CaseCache::Block(int64_t row, int64_t* blockFirst) {
    if (changed_ || row < 0 || row >= rowCount()) return nullptr;
    const int64_t block = row / blockRows_;
    *blockFirst = block * blockRows_;
    if (auto it = byBlock_.find(block); it != byBlock_.end()) {
        held_.splice(held_.begin(), held_, it->second);
        return &held_.front().values;
    }
    CaseValues values(index_, all_);
    const int64_t last = std::min(*blockFirst + blockRows_, rowCount());
    values.Reserve(last - *blockFirst);
    if (Read(*blockFirst, last, &values) != Status::Ok) return nullptr;
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
    *out = CaseValues(index_, variables);
    first = std::max<int64_t>(first, 0);
    last = std::min(last, rowCount());
    if (changed_) return Status::Changed;
    if (first >= last) return Status::Ok;
    // A long range is read in one pass rather than block by block through
    // the cache, which it would only flush.
    if (last - first > 4 * blockRows_) return ReadMany(first, last, out);
    out->Reserve(last - first);
    for (int64_t row = first; row < last;) {
        int64_t blockFirst = 0;
        const CaseValues* block = Block(row, &blockFirst);
        if (!block) {
            out->Clear();
            return Status::Changed;
        }
        const int64_t end = std::min(last, blockFirst + block->rows());
        for (; row < end; ++row) out->AppendFrom(*block, row - blockFirst);
    }
    return Status::Ok;
}

CaseCache::Status CaseCache::Walk(const std::vector<int>& variables, int64_t first, int64_t last,
                                  const ChunkVisit& visit) {
    if (changed_) return Status::Changed;
    const int64_t chunkRows = 4 * blockRows_;
    CaseValues chunk(index_, variables);
    chunk.Reserve(chunkRows);
    int64_t chunkFirst = std::max<int64_t>(first, 0);
    bool stopped = false;
    const auto st = savio::RereadCases(
        path_, index_, first, last,
        [&](int64_t row, const uint8_t* slots) {
            chunk.AppendSlots(slots);
            if (chunk.rows() < chunkRows) return true;
            stopped = !visit(chunkFirst, chunk);
            chunk.Clear();
            chunkFirst = row + 1;
            return !stopped;
        },
        &kept_);
    if (Settle(st, &chunk) == Status::Changed) return Status::Changed;
    if (stopped) return Status::Stopped;
    if (chunk.rows() > 0 && !visit(chunkFirst, chunk)) return Status::Stopped;
    return Status::Ok;
}

CaseCache::Status CaseCache::Keys(const std::vector<int>& variables, CaseValues* out) {
    *out = CaseValues(index_, variables);
    return ReadMany(0, rowCount(), out);
}

}  // namespace lv
