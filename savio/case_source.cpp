#include "savio/case_source.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "core/spssfio.h"
#include "savio/byte_order.h"
#include "savio/zlib_blocks.h"

namespace savio {
namespace {

constexpr double kSysmis = -std::numeric_limits<double>::max();

class UncompressedSource : public CaseSource {
  public:
    UncompressedSource(const uint8_t* file, const uint8_t* begin, const uint8_t* end,
                       size_t caseBytes)
        : file_(file), pos_(begin), end_(end), caseBytes_(caseBytes) {}

    // The current row is read in place: it stays.
    size_t Consumed() const override {
        const size_t at = static_cast<size_t>(pos_ - file_);
        return at >= caseBytes_ ? at - caseBytes_ : 0;
    }

    Result Next(const uint8_t** row) override {
        const size_t left = static_cast<size_t>(end_ - pos_);
        if (left >= caseBytes_) {
            *row = pos_;
            pos_ += caseBytes_;
            return Result::Case;
        }
        const Result r = left == 0 ? Result::End : Result::Damaged;
        pos_ = end_;
        return r;
    }

  private:
    const uint8_t* file_;
    const uint8_t* pos_;
    const uint8_t* end_;
    size_t caseBytes_;
};

// Bytecode over one run of bytes (a .sav's data part) or over the inflated
// blocks of a .zsav, which form one continuous stream: a command group or a
// raw value may straddle two blocks.
class BytecodeSource : public CaseSource {
  public:
    BytecodeSource(const Dictionary& dict, const uint8_t* begin, const uint8_t* end,
                   const uint8_t* file, const std::vector<ZlibBlock>* blocks)
        : file_(file), pos_(begin), end_(end), slots_(dict.slotIsString), row_(slots_.size() * 8) {
        if (blocks) blocks_.emplace(file, blocks);
        // Each command code's 8 bytes, for numeric (0) and string (1) slots,
        // already in the file's byte order.
        const uint64_t sysmis = StoredBits(kSysmis, dict.swap);
        uint64_t spaces;
        std::memset(&spaces, ' ', 8);
        for (int c = 0; c < 256; ++c) {
            const uint64_t number = StoredBits(static_cast<double>(c) - dict.bias, dict.swap);
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

    size_t Consumed() const override {
        if (blocks_) return blocks_->Consumed();
        return pos_ ? static_cast<size_t>(pos_ - file_) : 0;
    }

  private:
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
        return ReadAcrossBlocks(out);
    }

    bool ReadAcrossBlocks(uint8_t* out) {
        size_t got = 0;
        for (;;) {
            const size_t take = std::min<size_t>(8 - got, static_cast<size_t>(end_ - pos_));
            if (take) std::memcpy(out + got, pos_, take);
            pos_ += take;
            got += take;
            if (got == 8) return true;
            if (!blocks_) return false;
            const auto r = blocks_->Next(&pos_, &end_);
            if (r == ZlibBlockReader::Result::Damaged) damaged_ = true;
            if (r != ZlibBlockReader::Result::Block) {
                pos_ = end_ = nullptr;
                return false;
            }
        }
    }

    const uint8_t* file_;
    const uint8_t* pos_;
    const uint8_t* end_;
    std::optional<ZlibBlockReader> blocks_;
    const std::vector<uint8_t>& slots_;
    std::vector<uint8_t> row_;
    uint64_t constant_[2][256];
    uint8_t command_[8] = {};
    int ci_ = 8;
    bool damaged_ = false;
    std::optional<Result> final_;
};

}  // namespace

int CheckDataLayout(const Dictionary& dict, const uint8_t* file, size_t size, DataLayout* out) {
    out->file = file;
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
            if (!ReadZlibBlockTable(file, size, dict.dataOffset, dict.swap, &out->blocks))
                return SPSS_INVALID_FILE;
            uint64_t inflated = 0;
            for (const ZlibBlock& b : out->blocks) inflated += b.uncompressedSize;
            if (slots) out->maxCases = inflated / slots;
            return 0;
        }
    }
    return SPSS_INVALID_FILE;
}

std::unique_ptr<CaseSource> MakeCaseSource(const Dictionary& dict, const DataLayout& layout) {
    const uint8_t* begin = layout.file + dict.dataOffset;
    const uint8_t* end = layout.file + layout.size;
    switch (dict.compression) {
        case Compression::None:
            return std::make_unique<UncompressedSource>(layout.file, begin, end,
                                                        static_cast<size_t>(dict.slotCount) * 8);
        case Compression::Bytecode:
            return std::make_unique<BytecodeSource>(dict, begin, end, layout.file, nullptr);
        case Compression::Zlib:
            return std::make_unique<BytecodeSource>(dict, nullptr, nullptr, layout.file,
                                                    &layout.blocks);
    }
    return nullptr;
}

}  // namespace savio
