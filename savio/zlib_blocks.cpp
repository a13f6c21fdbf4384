#include "zlib_blocks.h"

#include <libdeflate.h>

#include <algorithm>
#include <string>

#include "refusal.h"
#include "savio/byte_order.h"
#include "savio/spssfio.h"

namespace savio {
namespace {

// No block may claim more than this many inflated bytes...
constexpr uint32_t kMaxBlockSize = 64u << 20;
// ...nor more than deflate can possibly produce from its compressed bytes.
constexpr uint64_t kMaxDeflateRatio = 1032;
// Compressed bytes read into memory for one block: far more than deflate
// ever needs for kMaxBlockSize bytes, far less than a damaged table could ask.
constexpr uint32_t kMaxCopiedBlock = 2 * kMaxBlockSize;

// Records why the table is refused; always false.
bool Corrupt(int64_t at, std::string what) {
    Refuse(SPSS_INVALID_FILE, at, std::move(what) + " at " + OffsetText(static_cast<uint64_t>(at)));
    return false;
}

}  // namespace

bool ReadZlibBlockTable(RandomReads& file, uint64_t dataOffset, bool swap,
                        std::vector<ZlibBlock>* blocks) {
    const uint64_t size = file.size();
    const auto at = static_cast<int64_t>(dataOffset);
    std::vector<uint8_t> scratch;
    const uint8_t* zheader = file.Read(dataOffset, 24, scratch);
    if (!zheader) return Corrupt(at, "truncated zlib header");
    const int64_t zheaderOfs = LoadI64(zheader, swap);
    const int64_t ztrailerOfs = LoadI64(zheader + 8, swap);
    const int64_t ztrailerLen = LoadI64(zheader + 16, swap);
    const auto fileSize = static_cast<int64_t>(size);
    if (zheaderOfs != static_cast<int64_t>(dataOffset))
        return Corrupt(at, "corrupt zlib header (it gives its own offset as " +
                               std::to_string(zheaderOfs) + ")");
    if (ztrailerOfs < zheaderOfs + 24 || ztrailerOfs > fileSize || ztrailerLen < 24 ||
        (ztrailerLen - 24) % 24 != 0 || ztrailerLen > fileSize - ztrailerOfs)
        return Corrupt(at, "corrupt zlib trailer location in the zlib header");
    const uint8_t* trailer = file.Read(static_cast<uint64_t>(ztrailerOfs), 24, scratch);
    if (!trailer) return Corrupt(ztrailerOfs, "truncated zlib trailer");
    const int32_t blockSize = LoadI32(trailer + 16, swap);
    const int32_t nBlocks = LoadI32(trailer + 20, swap);
    if (blockSize <= 0 || static_cast<uint32_t>(blockSize) > kMaxBlockSize)
        return Corrupt(ztrailerOfs,
                       "corrupt zlib trailer (block size " + std::to_string(blockSize) + ")");
    if (nBlocks < 0 || nBlocks != (ztrailerLen - 24) / 24)
        return Corrupt(ztrailerOfs,
                       "corrupt zlib trailer (block count " + std::to_string(nBlocks) + ")");
    blocks->clear();
    // The descriptors are read a run at a time: a damaged count stops at the
    // first descriptor that does not fit, before much is read.
    constexpr int32_t kPerRun = 4096;
    int64_t expectedOfs = zheaderOfs + 24;
    for (int32_t first = 0; first < nBlocks; first += kPerRun) {
        const int32_t n = std::min(kPerRun, nBlocks - first);
        const uint8_t* run =
            file.Read(static_cast<uint64_t>(ztrailerOfs) + 24 + 24 * static_cast<uint64_t>(first),
                      24 * static_cast<size_t>(n), scratch);
        if (!run) return Corrupt(ztrailerOfs, "truncated zlib block table");
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t* d = run + 24 * static_cast<size_t>(k);
            const int64_t compressedOfs = LoadI64(d + 8, swap);
            const int32_t uncompressed = LoadI32(d + 16, swap);
            const int32_t compressed = LoadI32(d + 20, swap);
            if (compressedOfs != expectedOfs || compressed <= 0 || uncompressed <= 0 ||
                uncompressed > blockSize ||
                static_cast<uint64_t>(uncompressed) >
                    static_cast<uint64_t>(compressed) * kMaxDeflateRatio + 64 ||
                compressed > ztrailerOfs - compressedOfs)
                return Corrupt(
                    ztrailerOfs + 24 + 24 * int64_t{first + k},
                    "corrupt zlib block table (block " + std::to_string(first + k + 1) + ")");
            blocks->push_back({static_cast<uint64_t>(compressedOfs),
                               static_cast<uint32_t>(compressed),
                               static_cast<uint32_t>(uncompressed)});
            expectedOfs = compressedOfs + compressed;
        }
    }
    if (expectedOfs != ztrailerOfs)
        return Corrupt(ztrailerOfs, "corrupt zlib block table (the blocks end at " +
                                        std::to_string(expectedOfs) + ")");
    return true;
}

ZlibBlockReader::ZlibBlockReader(std::shared_ptr<RandomReads> reads,
                                 const std::vector<ZlibBlock>* blocks, size_t firstBlock,
                                 size_t aheadFrom, InflatedBlock* kept)
    : reads_(std::move(reads)),
      blocks_(blocks),
      next_(firstBlock),
      aheadFrom_(aheadFrom),
      kept_(kept) {
    for (size_t k = 0; k < firstBlock && k < blocks->size(); ++k)
        start_ += (*blocks)[k].uncompressedSize;
    nextAt_ = start_;
}

ZlibBlockReader::~ZlibBlockReader() {
    if (ahead_.joinable()) ahead_.join();
    if (kept_ && handedOut_ != SIZE_MAX) {
        kept_->block = handedOut_;
        kept_->bytes = std::move(buffers_[BufferOf(handedOut_)]);
    }
    if (inflater_) libdeflate_free_decompressor(inflater_);
}

bool ZlibBlockReader::Inflate(size_t block, int buffer) {
    const ZlibBlock& b = (*blocks_)[block];
    if (reads_->copies() && b.compressedSize > kMaxCopiedBlock) return false;
    // Reads that copy hold the compressed bytes only while they are inflated.
    std::vector<uint8_t> compressed;
    const uint8_t* in = reads_->Read(b.offset, b.compressedSize, compressed);
    if (!in) return false;
    std::vector<uint8_t>& into = buffers_[buffer];
    into.resize(b.uncompressedSize);
    size_t produced = 0;
    const libdeflate_result r = libdeflate_zlib_decompress(
        inflater_, in, b.compressedSize, into.data(), b.uncompressedSize, &produced);
    return r == LIBDEFLATE_SUCCESS && produced == b.uncompressedSize;
}

// The decompressor is used by one thread at a time: the join in Next orders
// its uses.
void ZlibBlockReader::StartAhead(size_t block) {
    if (block >= blocks_->size()) return;
    if (!inflater_) inflater_ = libdeflate_alloc_decompressor();
    if (!inflater_) return;
    aheadBlock_ = block;
    ahead_ = std::thread([this, block] { aheadOk_ = Inflate(block, BufferOf(block)); });
}

StreamChunks::Result ZlibBlockReader::Next(const uint8_t** begin, const uint8_t** end,
                                           uint64_t* at) {
    if (next_ >= blocks_->size()) return Result::End;
    const size_t block = next_++;
    bool ok;
    if (aheadBlock_ == block) {
        ahead_.join();
        aheadBlock_ = SIZE_MAX;
        ok = aheadOk_;
    } else if (kept_ && kept_->block == block &&
               kept_->bytes.size() == (*blocks_)[block].uncompressedSize) {
        buffers_[BufferOf(block)].swap(kept_->bytes);
        kept_->block = SIZE_MAX;
        ok = true;
    } else {
        if (!inflater_) inflater_ = libdeflate_alloc_decompressor();
        ok = inflater_ && Inflate(block, BufferOf(block));
    }
    if (!ok) {
        next_ = blocks_->size();
        return Result::Damaged;
    }
    // The caller is done with the other buffer (the previous block).
    if (block >= aheadFrom_) StartAhead(block + 1);
    handedOut_ = block;
    const std::vector<uint8_t>& buf = buffers_[BufferOf(block)];
    *begin = buf.data();
    *end = buf.data() + buf.size();
    *at = nextAt_;
    nextAt_ += buf.size();
    return Result::Chunk;
}

}  // namespace savio
