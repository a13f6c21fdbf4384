#include "savio/zlib_blocks.h"

#include <libdeflate.h>

#include <algorithm>

#include "savio/byte_order.h"

namespace savio {
namespace {

// No block may claim more than this many inflated bytes...
constexpr uint32_t kMaxBlockSize = 64u << 20;
// ...nor more than deflate can possibly produce from its compressed bytes.
constexpr uint64_t kMaxDeflateRatio = 1032;

}  // namespace

bool ReadZlibBlockTable(const uint8_t* file, size_t size, size_t dataOffset, bool swap,
                        std::vector<ZlibBlock>* blocks) {
    if (size < dataOffset || size - dataOffset < 24) return false;
    const int64_t zheaderOfs = LoadI64(file + dataOffset, swap);
    const int64_t ztrailerOfs = LoadI64(file + dataOffset + 8, swap);
    const int64_t ztrailerLen = LoadI64(file + dataOffset + 16, swap);
    const auto fileSize = static_cast<int64_t>(size);
    if (zheaderOfs != static_cast<int64_t>(dataOffset)) return false;
    if (ztrailerOfs < zheaderOfs + 24 || ztrailerOfs > fileSize) return false;
    if (ztrailerLen < 24 || (ztrailerLen - 24) % 24 != 0) return false;
    if (ztrailerLen > fileSize - ztrailerOfs) return false;
    const uint8_t* trailer = file + ztrailerOfs;
    const int32_t blockSize = LoadI32(trailer + 16, swap);
    const int32_t nBlocks = LoadI32(trailer + 20, swap);
    if (blockSize <= 0 || static_cast<uint32_t>(blockSize) > kMaxBlockSize) return false;
    if (nBlocks < 0 || nBlocks != (ztrailerLen - 24) / 24) return false;
    blocks->clear();
    blocks->reserve(static_cast<size_t>(nBlocks));
    int64_t expectedOfs = zheaderOfs + 24;
    for (int32_t k = 0; k < nBlocks; ++k) {
        const uint8_t* d = trailer + 24 + 24 * static_cast<size_t>(k);
        const int64_t compressedOfs = LoadI64(d + 8, swap);
        const int32_t uncompressed = LoadI32(d + 16, swap);
        const int32_t compressed = LoadI32(d + 20, swap);
        if (compressedOfs != expectedOfs || compressed <= 0 || uncompressed <= 0) return false;
        if (uncompressed > blockSize) return false;
        if (static_cast<uint64_t>(uncompressed) >
            static_cast<uint64_t>(compressed) * kMaxDeflateRatio + 64)
            return false;
        if (compressed > ztrailerOfs - compressedOfs) return false;
        blocks->push_back({static_cast<uint64_t>(compressedOfs), static_cast<uint32_t>(compressed),
                           static_cast<uint32_t>(uncompressed)});
        expectedOfs = compressedOfs + compressed;
    }
    return expectedOfs == ztrailerOfs;
}

ZlibBlockReader::ZlibBlockReader(const uint8_t* file, const std::vector<ZlibBlock>* blocks)
    : file_(file), blocks_(blocks) {}

ZlibBlockReader::~ZlibBlockReader() {
    if (ahead_.joinable()) ahead_.join();
    if (inflater_) libdeflate_free_decompressor(inflater_);
}

bool ZlibBlockReader::Inflate(size_t block, std::vector<uint8_t>& into) {
    const ZlibBlock& b = (*blocks_)[block];
    into.resize(b.uncompressedSize);
    size_t produced = 0;
    const libdeflate_result r = libdeflate_zlib_decompress(
        inflater_, file_ + b.offset, b.compressedSize, into.data(), b.uncompressedSize, &produced);
    return r == LIBDEFLATE_SUCCESS && produced == b.uncompressedSize;
}

// The decompressor is used by one thread at a time: the join in FinishAhead
// orders its uses.
void ZlibBlockReader::StartAhead(size_t block) {
    if (block >= blocks_->size()) return;
    ahead_ = std::thread([this, block] { aheadOk_ = Inflate(block, buffers_[block % 2]); });
}

size_t ZlibBlockReader::Consumed() const {
    // Block next_ may be inflating on the other thread.
    return next_ < blocks_->size() ? static_cast<size_t>((*blocks_)[next_].offset) : 0;
}

bool ZlibBlockReader::FinishAhead() {
    ahead_.join();
    return aheadOk_;
}

ZlibBlockReader::Result ZlibBlockReader::Next(const uint8_t** begin, const uint8_t** end) {
    if (next_ >= blocks_->size()) return Result::End;
    const size_t block = next_++;
    bool ok;
    if (block == 0) {
        inflater_ = libdeflate_alloc_decompressor();
        ok = inflater_ && Inflate(0, buffers_[0]);
    } else {
        ok = FinishAhead();
    }
    if (!ok) {
        next_ = blocks_->size();
        return Result::Damaged;
    }
    // The caller is done with the other buffer (the previous block).
    StartAhead(block + 1);
    const std::vector<uint8_t>& buf = buffers_[block % 2];
    *begin = buf.data();
    *end = buf.data() + buf.size();
    return Result::Block;
}

}  // namespace savio
