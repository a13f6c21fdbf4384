#include "savio/case_reread.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "case_source.h"
#include "open_files.h"
#include "random_reads.h"
#include "readable_bytes.h"
#include "savio/file_passwords.h"

namespace savio {
namespace {

// Bytes read at a time: enough to amortize a read, little to waste when a
// few rows are wanted.
constexpr size_t kRunBytes = 256 << 10;

RereadStatus ReadUncompressed(RandomReads& reads, const CaseIndex& index, int64_t first,
                              int64_t last, const CaseVisit& visit) {
    const size_t caseBytes = index.shape.slotCount() * 8;
    const int64_t perRun = std::max<int64_t>(1, static_cast<int64_t>(kRunBytes / caseBytes));
    std::vector<uint8_t> buffer;
    for (int64_t row = first; row < last;) {
        const int64_t n = std::min(perRun, last - row);
        const uint8_t* p =
            reads.Read(index.shape.dataOffset + static_cast<uint64_t>(row) * caseBytes,
                       static_cast<size_t>(n) * caseBytes, buffer);
        if (!p) return RereadStatus::Changed;
        for (int64_t i = 0; i < n; ++i, ++row, p += caseBytes)
            if (!visit(row, p)) return RereadStatus::Stopped;
    }
    return RereadStatus::Ok;
}

RereadStatus ReadCompressed(std::shared_ptr<RandomReads> reads, const CaseIndex& index,
                            int64_t first, int64_t last, const CaseVisit& visit,
                            InflatedBlock* kept) {
    const size_t k = static_cast<size_t>(first >> index.checkpointShift);
    if (k >= index.checkpoints.size()) return RereadStatus::Changed;
    auto source = ResumeCaseSource(index.shape, index.blocks, std::move(reads), index.Checkpoint(k),
                                   kRunBytes, kept);
    if (!source) return RereadStatus::Changed;
    const uint8_t* slots = nullptr;
    int64_t row = static_cast<int64_t>(k) << index.checkpointShift;
    for (; row < first; ++row)
        if (source->Skip() != CaseSource::Result::Case) return RereadStatus::Changed;
    for (; row < last; ++row) {
        if (source->Next(&slots) != CaseSource::Result::Case) return RereadStatus::Changed;
        if (!visit(row, slots)) return RereadStatus::Stopped;
    }
    return RereadStatus::Ok;
}

RereadStatus Reread(std::shared_ptr<RandomReads> reads, const CaseIndex& index, int64_t first,
                    int64_t last, const CaseVisit& visit, InflatedBlock* kept) {
    first = std::max<int64_t>(first, 0);
    last = std::min(last, index.cases);
    if (first >= last || index.shape.slotCount() == 0) return RereadStatus::Ok;
    if (index.shape.compression == Compression::None)
        return ReadUncompressed(*reads, index, first, last, visit);
    return ReadCompressed(std::move(reads), index, first, last, visit, kept);
}

}  // namespace

RereadStatus RereadCases(const std::string& path, const CaseIndex& index, int64_t first,
                         int64_t last, const CaseVisit& visit, InflatedBlock* kept) {
    if (!index.identity) return RereadStatus::Changed;
    auto file = std::make_shared<FileReads>();
    if (!file->Open(path, *index.identity)) return RereadStatus::Changed;
    std::shared_ptr<RandomReads> reads;
    if (ReadableBytesOf(std::move(file), path, &reads) != 0) return RereadStatus::Changed;
    return Reread(std::move(reads), index, first, last, visit, kept);
}

RereadStatus RereadCasesFrom(std::shared_ptr<RandomReads> reads, const CaseIndex& index,
                             int64_t first, int64_t last, const CaseVisit& visit,
                             InflatedBlock* kept) {
    if (!reads) return RereadStatus::Changed;
    return Reread(std::move(reads), index, first, last, visit, kept);
}

std::shared_ptr<RandomReads> ReadsOfOpenFile(int handle) {
    const SavFile* f = FindOpenFile(handle);
    return f ? f->reads() : nullptr;
}

bool ReadsUnchanged(const RandomReads& reads) {
    return reads.Unchanged();
}

RereadStatus RereadCasesInMemory(std::string_view bytes, const CaseIndex& index, int64_t first,
                                 int64_t last, const CaseVisit& visit) {
    auto memory =
        std::make_shared<MemoryReads>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return Reread(memory, index, first, last, visit, nullptr);
}

bool IndexedFileUnchanged(const std::string& path, const CaseIndex& index) {
    FileReads file;
    return index.identity && file.Open(path, *index.identity);
}

}  // namespace savio
