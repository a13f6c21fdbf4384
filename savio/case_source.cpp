#include "case_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "savio/byte_order.h"
#include "savio/spssfio.h"
#include "stream_chunks.h"
#include "zlib_blocks.h"

namespace savio {
namespace {

// Bytes a streaming pass reads at a time: few system calls, a buffer that
// stays in the processor's caches' reach.
constexpr size_t kStreamRunBytes = 1 << 20;

constexpr double kSysmis = -std::numeric_limits<double>::max();

// Rows read a run of whole cases at a time into a buffer of our own.
class UncompressedSource : public CaseSource {
  public:
    UncompressedSource(std::shared_ptr<RandomReads> reads, uint64_t begin, size_t caseBytes)
        : reads_(std::move(reads)),
          next_(begin),
          caseBytes_(caseBytes),
          perRun_(caseBytes ? std::max<size_t>(1, kStreamRunBytes / caseBytes) : 1) {}

    StreamPosition Position() const override {
        return {next_ - static_cast<uint64_t>(end_ - pos_), 0};
    }

    Result Next(const uint8_t** row) override {
        if (final_) return *final_;
        if (pos_ == end_ && !NextRun()) return *final_;
        *row = pos_;
        pos_ += caseBytes_;
        return Result::Case;
    }

  private:
    bool NextRun() {
        const uint64_t left = reads_->size() > next_ ? reads_->size() - next_ : 0;
        // A dictionary of no values has no cases to read.
        if (caseBytes_ == 0) {
            final_ = Result::End;
            return false;
        }
        const uint64_t whole = std::min<uint64_t>(left / caseBytes_, perRun_);
        if (whole == 0) {
            final_ = left == 0 ? Result::End : Result::Damaged;
            return false;
        }
        const size_t n = static_cast<size_t>(whole) * caseBytes_;
        const uint8_t* p = reads_->Read(next_, n, buffer_);
        if (!p) {
            final_ = Result::Damaged;
            return false;
        }
        pos_ = p;
        end_ = p + n;
        next_ += n;
        return true;
    }

    std::shared_ptr<RandomReads> reads_;
    uint64_t next_;  // file offset of the next run
    size_t caseBytes_;
    size_t perRun_;
    std::vector<uint8_t> buffer_;
    const uint8_t* pos_ = nullptr;
    const uint8_t* end_ = nullptr;
    std::optional<Result> final_;
};

// Bytecode over the stream of a .sav's data part or of a .zsav's inflated
// blocks, handed out in runs: a command group or a raw value may straddle
// two runs.
class BytecodeSource : public CaseSource {
  public:
    BytecodeSource(const CaseShape& shape, std::unique_ptr<StreamChunks> chunks)
        : chunks_(std::move(chunks)),
          runAt_(chunks_->start()),
          slots_(shape.slotIsString),
          row_(slots_.size() * 8) {
        // Each command code's 8 bytes, for numeric (0) and string (1) slots,
        // already in the file's byte order.
        const uint64_t sysmis = StoredBits(kSysmis, shape.swap);
        uint64_t spaces;
        std::memset(&spaces, ' ', 8);
        for (int c = 0; c < 256; ++c) {
            const uint64_t number = StoredBits(static_cast<double>(c) - shape.bias, shape.swap);
            constant_[0][c] = c == 254 ? sysmis : (c == 255 ? sysmis : number);
            // Code bias ("zero") in a string slot is 8 NUL bytes; other
            // numbers there are damage and read as blanks.
            constant_[1][c] = (c == 254 || c == 255) ? spaces : (number == 0 ? 0 : spaces);
        }
    }

    Result Next(const uint8_t** row) override {
        if (final_) return *final_;
        uint8_t* out = row_.data();
        const size_t n = slots_.size();
        size_t slot = 0;
        while (slot < n) {
            if (ci_ == 8) {
                if (slot + 8 <= n && WholeGroup(out, slot)) {
                    slot += 8;
                    continue;
                }
                if (!Read8(command_)) return Finish(slot == 0 && !damaged_);
                ci_ = 0;
            }
            const uint8_t c = command_[ci_++];
            if (c == 0) continue;
            if (c == 253) {
                if (!Read8(out + slot * 8)) return Finish(false);
            } else if (c == 252) {
                return Finish(slot == 0);
            } else {
                std::memcpy(out + slot * 8, &constant_[slots_[slot]][c], 8);
            }
            ++slot;
        }
        *row = out;
        return Result::Case;
    }

    // As Next, without a row: a whole group of eight commands that call for
    // nothing but their raw values is stepped over at once.
    Result Skip() override {
        if (final_) return *final_;
        const size_t n = slots_.size();
        size_t slot = 0;
        while (slot < n) {
            if (ci_ == 8) {
                slot += 8 * PassWholeGroups((n - slot) / 8);
                if (slot == n) break;
                if (!Read8(command_)) return Finish(slot == 0 && !damaged_);
                ci_ = 0;
            }
            const uint8_t c = command_[ci_++];
            if (c == 0) continue;
            if (c == 252) return Finish(slot == 0);
            if (c == 253 && !Pass8()) return Finish(false);
            ++slot;
        }
        return Result::Case;
    }

    // The group's start is behind the current offset by its command bytes
    // and the raw values its used commands took.
    StreamPosition Position() const override {
        if (ci_ == 8) return {StreamOffset(), 0};
        const auto raws = std::count(command_, command_ + ci_, uint8_t{253});
        return {StreamOffset() - 8 - 8 * static_cast<uint64_t>(raws), ci_};
    }

    // Moves from the start of the chunks to `at`, which must lie at or after it.
    bool Seek(StreamPosition at) {
        if (at.used < 0 || at.used > 7 || at.group < runAt_) return false;
        while (StreamOffset() < at.group) {
            if (pos_ == end_ && !NextRun()) return false;
            const uint64_t skip = std::min<uint64_t>(at.group - StreamOffset(), end_ - pos_);
            pos_ += skip;
        }
        if (!Read8(command_)) return false;
        uint8_t raw[8];
        for (int k = 0; k < at.used; ++k)
            if (command_[k] == 253 && !Read8(raw)) return false;
        ci_ = at.used;
        return true;
    }

  private:
    // The common group: eight commands, none of them 0 or 252, with every
    // raw value they may call for in the current run, for eight slots of
    // the case. Decoded without a branch per command; false (nothing
    // consumed) for any other group.
    bool WholeGroup(uint8_t* out, size_t slot) {
        if (end_ - pos_ < 72) return false;
        uint64_t commands;
        std::memcpy(&commands, pos_, 8);
        constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
        auto hasZeroByte = [](uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
        if (hasZeroByte(commands) || hasZeroByte(commands ^ (kOnes * 252))) return false;
        const uint8_t* raw = pos_ + 8;
        for (int k = 0; k < 8; ++k) {
            const auto c = static_cast<uint8_t>(commands >> (8 * k));
            uint64_t fromRaw;
            std::memcpy(&fromRaw, raw, 8);
            const bool isRaw = c == 253;
            const uint64_t v = isRaw ? fromRaw : constant_[slots_[slot + k]][c];
            std::memcpy(out + (slot + k) * 8, &v, 8);
            raw += isRaw ? 8 : 0;
        }
        pos_ = raw;
        return true;
    }

    // Steps over up to `most` groups of eight commands, none of them 0 or
    // 252, each with its raw values in the current run: a group takes 8
    // bytes and 8 more for each 253 in it. Returns the groups stepped over.
    size_t PassWholeGroups(size_t most) {
        constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
        // 0x80 in each byte of x that is zero, nothing elsewhere.
        auto zeroBytes = [](uint64_t x) { return ~(((x & kLows) + kLows) | x | kLows); };
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        const uint8_t* p = pos_;
        size_t k = 0;
        for (; k < most && end_ - p >= 8; ++k) {
            uint64_t commands;
            std::memcpy(&commands, p, 8);
            if ((zeroBytes(commands) | zeroBytes(commands ^ (kOnes * 252))) != 0) break;
            // The 253s: one bit a byte, summed into the top byte.
            const auto raws =
                static_cast<size_t>(((zeroBytes(commands ^ (kOnes * 253)) >> 7) * kOnes) >> 56);
            if (static_cast<size_t>(end_ - p) - 8 < 8 * raws) break;
            p += 8 + 8 * raws;
        }
        pos_ = p;
        return k;
    }

    bool Pass8() {
        if (end_ - pos_ >= 8) {
            pos_ += 8;
            return true;
        }
        uint8_t scratch[8];
        return ReadAcrossRuns(scratch);
    }

    uint64_t StreamOffset() const { return runAt_ + static_cast<uint64_t>(pos_ - runBegin_); }

    Result Finish(bool clean) {
        final_ = clean ? Result::End : Result::Damaged;
        return *final_;
    }

    bool Read8(uint8_t* out) {
        if (end_ - pos_ >= 8) {
            std::memcpy(out, pos_, 8);
            pos_ += 8;
            return true;
        }
        return ReadAcrossRuns(out);
    }

    bool ReadAcrossRuns(uint8_t* out) {
        size_t got = 0;
        for (;;) {
            const size_t take = std::min<size_t>(8 - got, static_cast<size_t>(end_ - pos_));
            if (take) std::memcpy(out + got, pos_, take);
            pos_ += take;
            got += take;
            if (got == 8) return true;
            if (!NextRun()) return false;
        }
    }

    bool NextRun() {
        const uint8_t *begin, *end;
        uint64_t at;
        const auto r = chunks_->Next(&begin, &end, &at);
        if (r == StreamChunks::Result::Damaged) damaged_ = true;
        if (r != StreamChunks::Result::Chunk) return false;
        runBegin_ = pos_ = begin;
        end_ = end;
        runAt_ = at;
        return true;
    }

    std::unique_ptr<StreamChunks> chunks_;
    const uint8_t* runBegin_ = nullptr;
    const uint8_t* pos_ = nullptr;
    const uint8_t* end_ = nullptr;
    uint64_t runAt_;  // stream offset of runBegin_
    const std::vector<uint8_t>& slots_;
    std::vector<uint8_t> row_;
    uint64_t constant_[2][256];
    uint8_t command_[8] = {};
    int ci_ = 8;
    bool damaged_ = false;
    std::optional<Result> final_;
};

}  // namespace

CaseShape ShapeOf(const Dictionary& dict) {
    CaseShape s;
    s.compression = dict.compression;
    s.swap = dict.swap;
    s.bias = dict.bias;
    s.dataOffset = dict.dataOffset;
    s.slotIsString = dict.slotIsString;
    return s;
}

int CheckDataLayout(const Dictionary& dict, RandomReads& file, DataLayout* out) {
    const uint64_t size = file.size();
    out->size = size;
    out->maxCases = 0;
    out->blocks.clear();
    const uint64_t slots = static_cast<uint64_t>(dict.slotCount);
    const uint64_t dataBytes = size - dict.dataOffset;
    switch (dict.compression) {
        case Compression::None:
            if (slots) out->maxCases = dataBytes / (slots * 8);
            return 0;
        case Compression::Bytecode:
            if (slots) out->maxCases = dataBytes / slots;
            return 0;
        case Compression::Zlib: {
            if (!ReadZlibBlockTable(file, dict.dataOffset, dict.swap, &out->blocks))
                return SPSS_INVALID_FILE;
            uint64_t inflated = 0;
            for (const ZlibBlock& b : out->blocks) inflated += b.uncompressedSize;
            if (slots) out->maxCases = inflated / slots;
            return 0;
        }
    }
    return SPSS_INVALID_FILE;
}

std::unique_ptr<CaseSource> MakeCaseSource(const CaseShape& shape, const DataLayout& layout,
                                           std::shared_ptr<RandomReads> reads, bool inflateAhead) {
    if (shape.compression == Compression::None)
        return std::make_unique<UncompressedSource>(std::move(reads), shape.dataOffset,
                                                    shape.slotCount() * 8);
    std::unique_ptr<StreamChunks> chunks;
    if (shape.compression == Compression::Bytecode)
        chunks = std::make_unique<RangeChunks>(std::move(reads), shape.dataOffset, layout.size,
                                               kStreamRunBytes);
    else
        chunks = std::make_unique<ZlibBlockReader>(std::move(reads), &layout.blocks, 0,
                                                   inflateAhead ? 0 : SIZE_MAX);
    return std::make_unique<BytecodeSource>(shape, std::move(chunks));
}

std::unique_ptr<CaseSource> UncompressedCasesAt(std::shared_ptr<RandomReads> reads, uint64_t offset,
                                                size_t caseBytes) {
    return std::make_unique<UncompressedSource>(std::move(reads), offset, caseBytes);
}

std::unique_ptr<CaseSource> ResumeCaseSource(const CaseShape& shape,
                                             const std::vector<ZlibBlock>& blocks,
                                             std::shared_ptr<RandomReads> reads, StreamPosition at,
                                             size_t runBytes, InflatedBlock* kept) {
    std::unique_ptr<StreamChunks> chunks;
    if (shape.compression == Compression::Bytecode) {
        chunks = std::make_unique<RangeChunks>(reads, at.group, reads->size(), runBytes);
    } else if (shape.compression == Compression::Zlib) {
        // The block the group starts in; blocks two on are inflated ahead.
        size_t k = 0;
        uint64_t blockAt = 0;
        while (k < blocks.size() && blockAt + blocks[k].uncompressedSize <= at.group)
            blockAt += blocks[k++].uncompressedSize;
        if (k == blocks.size()) return nullptr;
        chunks = std::make_unique<ZlibBlockReader>(reads, &blocks, k, k + 2, kept);
    } else {
        return nullptr;
    }
    auto source = std::make_unique<BytecodeSource>(shape, std::move(chunks));
    if (!source->Seek(at)) return nullptr;
    return source;
}

}  // namespace savio
