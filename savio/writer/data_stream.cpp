#include "data_stream.h"

#include <libdeflate.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "record_bytes.h"

namespace savio::writer {
namespace {

constexpr size_t kOutputBuffer = size_t(1) << 20;
// Uncompressed bytes of each zlib block but the last, as other writers use.
constexpr size_t kZlibBlockSize = 0x3FF000;
// Fast deflate: the blocks are written as the cases come.
constexpr int kDeflateLevel = 1;
constexpr size_t kZheaderSize = 24;

constexpr uint8_t kCodeRaw = 253, kCodeBlanks = 254, kCodeSysmis = 255;
constexpr double kBias = 100.0;

}  // namespace

BufferedOutput::BufferedOutput(Sink& sink) : sink_(sink) {
    buffer_.reserve(kOutputBuffer);
}

void BufferedOutput::Append(const uint8_t* bytes, size_t n) {
    if (buffer_.size() + n > kOutputBuffer) Flush();
    if (n >= kOutputBuffer) {
        sink_.Append(bytes, n);
        flushed_ += n;
        return;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + n);
}

void BufferedOutput::Flush() {
    if (buffer_.empty()) return;
    sink_.Append(buffer_.data(), buffer_.size());
    flushed_ += buffer_.size();
    buffer_.clear();
}

DataWriter::DataWriter(Compression compression, BufferedOutput& out,
                       std::vector<uint8_t> slotIsString)
    : compression_(compression), out_(out), isString_(std::move(slotIsString)) {
    if (compression_ != Compression::Zlib) return;
    // The zheader, rewritten with the trailer's place at the end.
    zheaderOffset_ = out_.offset();
    uint8_t zheader[kZheaderSize] = {};
    StoreI64(zheader, int64_t(zheaderOffset_));
    out_.Append(zheader, kZheaderSize);
    block_.reserve(kZlibBlockSize);
    compressor_ = libdeflate_alloc_compressor(kDeflateLevel);
    if (!compressor_) throw WriteError(ErrorCode::WriteFailed, {"deflate", "out of memory"});
    deflated_.resize(libdeflate_zlib_compress_bound(compressor_, kZlibBlockSize));
}

DataWriter::~DataWriter() {
    if (compressor_) libdeflate_free_compressor(compressor_);
}

void DataWriter::Case(const uint8_t* slots, size_t n) {
    if (compression_ == Compression::None)
        out_.Append(slots, n);
    else
        Bytecode(slots);
}

// Integers from 1 - bias to 251 - bias take one command byte; system-missing
// and blank string slots too; everything else is a raw value after its group.
void DataWriter::Bytecode(const uint8_t* slots) {
    static const uint64_t kSysmisBits = StoredBits(-DBL_MAX, kSwapToLittle);
    static constexpr uint64_t kBlankBits = 0x2020202020202020ull;
    for (size_t s = 0; s < isString_.size(); ++s) {
        const uint8_t* slot = slots + 8 * s;
        uint64_t bits;
        std::memcpy(&bits, slot, 8);
        uint8_t code = kCodeRaw;
        if (isString_[s]) {
            if (bits == kBlankBits) code = kCodeBlanks;
        } else if (bits == kSysmisBits) {
            code = kCodeSysmis;
        } else {
            const double d = LoadF64(slot, kSwapToLittle);
            // -0 is stored raw: a command byte would give it back as +0.
            if (d >= 1 - kBias && d <= 251 - kBias && d == std::floor(d) &&
                !(d == 0 && std::signbit(d)))
                code = uint8_t(d + kBias);
        }
        group_[commands_++] = code;
        if (code == kCodeRaw) std::memcpy(group_ + 8 + 8 * raws_++, slot, 8);
        if (commands_ == 8) EndGroup();
    }
}

void DataWriter::EndGroup() {
    if (commands_ == 0) return;
    std::memset(group_ + commands_, 0, size_t(8 - commands_));
    Bytes(group_, size_t(8 + 8 * raws_));
    commands_ = 0;
    raws_ = 0;
}

void DataWriter::Bytes(const uint8_t* bytes, size_t n) {
    if (compression_ != Compression::Zlib) {
        out_.Append(bytes, n);
        return;
    }
    while (n > 0) {
        const size_t take = std::min(n, kZlibBlockSize - block_.size());
        block_.insert(block_.end(), bytes, bytes + take);
        bytes += take;
        n -= take;
        if (block_.size() == kZlibBlockSize) DeflateBlock();
    }
}

void DataWriter::DeflateBlock() {
    if (block_.empty()) return;
    const size_t size = libdeflate_zlib_compress(compressor_, block_.data(), block_.size(),
                                                 deflated_.data(), deflated_.size());
    if (size == 0) throw WriteError(ErrorCode::WriteFailed, {"deflate", "no room"});
    const uint64_t rawOffset =
        blocks_.empty() ? zheaderOffset_ : blocks_.back().rawOffset + blocks_.back().rawSize;
    blocks_.push_back({rawOffset, out_.offset(), uint32_t(block_.size()), uint32_t(size)});
    out_.Append(deflated_.data(), size);
    block_.clear();
}

void DataWriter::Finish() {
    if (compression_ == Compression::None) return;
    EndGroup();
    if (compression_ != Compression::Zlib) return;
    DeflateBlock();
    const uint64_t trailerOffset = out_.offset();
    RecordBytes trailer;
    trailer.I64(-int64_t(kBias));
    trailer.I64(0);
    trailer.I32(int32_t(kZlibBlockSize));
    trailer.I32(int32_t(blocks_.size()));
    for (const Block& b : blocks_) {
        trailer.I64(int64_t(b.rawOffset));
        trailer.I64(int64_t(b.offset));
        trailer.I32(int32_t(b.rawSize));
        trailer.I32(int32_t(b.size));
    }
    const std::string& t = trailer.bytes();
    out_.Append(reinterpret_cast<const uint8_t*>(t.data()), t.size());
    out_.Flush();
    uint8_t zheader[kZheaderSize];
    StoreI64(zheader, int64_t(zheaderOffset_));
    StoreI64(zheader + 8, int64_t(trailerOffset));
    StoreI64(zheader + 16, int64_t(t.size()));
    out_.sink().Rewrite(zheaderOffset_, zheader, kZheaderSize);
}

}  // namespace savio::writer
