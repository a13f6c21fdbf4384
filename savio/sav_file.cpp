#include "sav_file.h"

#include <algorithm>
#include <cstring>

#include "dictionary_reader.h"
#include "raw_dictionary.h"
#include "refusal.h"
#include "savio/byte_order.h"
#include "savio/case_index.h"
#include "savio/spssfio.h"
#include "text_encoding.h"
#include "value_slots.h"

namespace savio {
namespace {

constexpr size_t kIdentityHeaderBytes = 176;
// The dictionary is read from the first bytes of the file: usually all of
// it is in the first megabyte. One that says it needs more than the largest
// is refused rather than read into memory.
constexpr uint64_t kFirstDictionaryBytes = 1 << 20;
constexpr uint64_t kMaxDictionaryBytes = 256ull << 20;

uint32_t IdentityHash(std::string_view identity, const uint8_t* data, uint64_t size, size_t held) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    };
    mix(identity.data(), identity.size());
    const uint64_t size64 = size;
    mix(&size64, sizeof size64);
    mix(data, std::min(held, kIdentityHeaderBytes));
    const uint32_t folded = static_cast<uint32_t>(h ^ (h >> 29) ^ (h >> 58));
    // Never zero, so that a handle left at 0 is never a variable's.
    return (folded & 0x0FFFFFFFu) | 0x10000000u;
}

// Reads the dictionary from the first bytes of the file, reading more of
// them when it runs past what was read, up to the whole dictionary.
// prefix keeps the bytes read.
int ReadDictionaryFrom(RandomReads& file, std::vector<uint8_t>& prefix, Dictionary* dict) {
    const uint64_t size = file.size();
    uint64_t have = std::min<uint64_t>(size, kFirstDictionaryBytes);
    for (;;) {
        std::vector<uint8_t> scratch;
        const uint8_t* p = file.Read(0, static_cast<size_t>(have), scratch);
        if (!p) return SPSS_FILE_RERROR;
        prefix.assign(p, p + have);
        *dict = Dictionary();
        uint64_t wanted = 0;
        const int st = ReadDictionary(prefix.data(), prefix.size(), dict, &wanted);
        if (st != SPSS_FILE_RERROR || have == size || wanted > size || wanted <= have) return st;
        if (wanted > kMaxDictionaryBytes) return SPSS_INVALID_FILE;
        have = std::min(size, std::max(wanted, 2 * have));
    }
}

}  // namespace

int SavFile::Open(std::shared_ptr<RandomReads> reads, std::string_view identity,
                  std::unique_ptr<SavFile>* out) {
    ClearRefusal();
    std::unique_ptr<SavFile> f(new SavFile());
    f->reads_ = std::move(reads);
    std::vector<uint8_t> prefix;
    if (int st = ReadDictionaryFrom(*f->reads_, prefix, &f->dict_)) return st;
    f->shape_ = ShapeOf(f->dict_);
    f->checkpointShift_ = CheckpointShiftFor(f->shape_.slotCount());
    if (int st = CheckDataLayout(f->dict_, *f->reads_, &f->layout_)) return st;
    if (int st = f->SettleCaseCount()) return st;
    f->identity_ = IdentityHash(identity, prefix.data(), f->reads_->size(), prefix.size());
    f->encodingName_ = TextEncodingOf(f->dict_);
    for (const Variable& v : f->dict_.variables) f->valueSlots_.push_back(SlotsOf(v));
    f->charLayout_ = lv::LayoutOf(f->encodingName_);
    *out = std::move(f);
    return 0;
}

// The header's count (or the 64-bit one) when it has one, capped at what the
// data could hold; else the cases counted by decoding the data once. A count
// the data cannot hold is kept as the limit of reading (reading past the
// data's end is then the read error it was), and what the data does hold is
// told in a warning: uncompressed that is known from the size, compressed
// it takes decoding the data once, as for a file that records no count.
int SavFile::SettleCaseCount() {
    cases_ = MakeCaseSource(shape_, layout_, reads_);
    if (dict_.slotCount == 0) {
        caseCount_ = 0;
        return 0;
    }
    int64_t known = dict_.headerCaseCount;
    if (known < 0) known = dict_.extCaseCount;
    if (known >= 0) {
        caseCount_ = std::min<int64_t>(known, static_cast<int64_t>(layout_.maxCases));
        limit_ = known;
        if (static_cast<uint64_t>(known) > layout_.maxCases) {
            casesInData_ = CountCases();
            Warn(&dict_, "the data ends after " + std::to_string(casesInData_) + " of the " +
                             std::to_string(known) + " cases the header gives");
        }
        return 0;
    }
    caseCount_ = limit_ = CountCases();
    return 0;
}

// Uncompressed, every whole case of the data's bytes is there to read (the
// layout's bound); compressed cases are passed over one by one, without
// their values.
int64_t SavFile::CountCases() {
    if (shape_.compression == Compression::None) return static_cast<int64_t>(layout_.maxCases);
    int64_t counted = 0;
    while (cases_->Skip() == CaseSource::Result::Case) ++counted;
    cases_ = MakeCaseSource(shape_, layout_, reads_);
    return counted;
}

void SavFile::RestartCases() {
    if (casesRead_ == 0 && !finished_) return;  // still at the first case
    cases_ = MakeCaseSource(shape_, layout_, reads_);
    casesRead_ = 0;
    row_ = nullptr;
    finished_ = false;
    checkpoints_.clear();
}

int64_t SavFile::SkipCases(int64_t n) {
    if (finished_) return 0;
    n = std::min(n, limit_ - casesRead_);
    if (n <= 0) return 0;
    row_ = nullptr;
    if (shape_.compression != Compression::None) return PassCompressed(n);
    const size_t caseBytes = shape_.slotCount() * 8;
    const uint64_t at = cases_->Position().group + static_cast<uint64_t>(n) * caseBytes;
    cases_ = UncompressedCasesAt(reads_, at, caseBytes);
    casesRead_ += n;
    row_ = nullptr;
    return n;
}

// Compressed cases are passed over in turn without their values, their
// checkpoints taken as a read takes them. A case that does not decode stops
// the pass before it: the decoder keeps its end, and the next read meets it.
int64_t SavFile::PassCompressed(int64_t n) {
    const int64_t mask = (int64_t{1} << checkpointShift_) - 1;
    int64_t passed = 0;
    for (; passed < n; ++passed, ++casesRead_) {
        const bool mark = (casesRead_ & mask) == 0;
        const StreamPosition at = mark ? cases_->Position() : StreamPosition{};
        if (cases_->Skip() != CaseSource::Result::Case) break;
        if (mark) checkpoints_.push_back(PackPosition(at));
    }
    return passed;
}

int SavFile::FindVariable(std::string_view name) const {
    const int i = dict_.shortNameIndex.Find(name);
    return i >= 0 ? i : dict_.displayNameIndex.Find(name);
}

int SavFile::ReadCase() {
    row_ = nullptr;
    if (finished_ || casesRead_ >= limit_) {
        finished_ = true;
        return SPSS_FILE_END;
    }
    // Compressed data: where every 2^shift-th case starts, kept once the
    // case has decoded.
    const bool mark = shape_.compression != Compression::None &&
                      (casesRead_ & ((int64_t{1} << checkpointShift_) - 1)) == 0;
    const StreamPosition at = mark ? cases_->Position() : StreamPosition{};
    const uint8_t* row = nullptr;
    if (cases_->Next(&row) != CaseSource::Result::Case) {
        finished_ = true;
        return SPSS_FILE_RERROR;
    }
    if (mark) checkpoints_.push_back(PackPosition(at));
    ++casesRead_;
    row_ = row;
    return 0;
}

bool SavFile::CopyString(const ValueSlots& v, char* out, int size) const {
    const size_t room = static_cast<size_t>(size) - 1;
    size_t written = 0;
    bool cut = false;
    ForEachStringPiece(row_, v, [&](const uint8_t* src, size_t n) {
        const size_t take = std::min(n, room - written);
        std::memcpy(out + written, src, take);
        written += take;
        if (take < n) cut = true;
    });
    out[written] = '\0';
    return !cut;
}

}  // namespace savio
