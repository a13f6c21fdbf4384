// The block table of a .zsav file's data part, and the inflation of its
// blocks one after the other into one reused buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "random_reads.h"
#include "stream_chunks.h"

struct libdeflate_decompressor;

#include "savio/case_layout.h"

namespace savio {

// Reads and checks the zheader at dataOffset and the trailer it points to.
// False when they are inconsistent with each other or with the file, or
// cannot be read.
bool ReadZlibBlockTable(RandomReads& file, uint64_t dataOffset, bool swap,
                        std::vector<ZlibBlock>* blocks);

// Inflates blocks in order from firstBlock on, reading their compressed
// bytes through reads. From block aheadFrom on, while the caller decodes one
// block the next is inflated on a second thread into the other of two
// buffers (a reader that may stop after a block or two need not pay for one
// more); with aheadFrom past the last block every block is inflated in turn
// into one buffer.
class ZlibBlockReader : public StreamChunks {
  public:
    ZlibBlockReader(std::shared_ptr<RandomReads> reads, const std::vector<ZlibBlock>* blocks,
                    size_t firstBlock = 0, size_t aheadFrom = 0, InflatedBlock* kept = nullptr);
    ~ZlibBlockReader() override;
    ZlibBlockReader(const ZlibBlockReader&) = delete;
    ZlibBlockReader& operator=(const ZlibBlockReader&) = delete;

    uint64_t start() const override { return start_; }
    // The next block's inflated bytes.
    Result Next(const uint8_t** begin, const uint8_t** end, uint64_t* at) override;

  private:
    bool Inflate(size_t block, int buffer);
    void StartAhead(size_t block);
    // The buffer block is inflated into: the two alternate once blocks are
    // inflated ahead, while the caller still reads the one before.
    int BufferOf(size_t block) const { return aheadFrom_ < blocks_->size() ? int(block % 2) : 0; }

    std::shared_ptr<RandomReads> reads_;
    const std::vector<ZlibBlock>* blocks_;
    size_t next_;
    size_t aheadFrom_;
    uint64_t start_ = 0;   // stream offset of block firstBlock
    uint64_t nextAt_ = 0;  // stream offset of block next_
    std::vector<uint8_t> buffers_[2];
    libdeflate_decompressor* inflater_ = nullptr;
    std::thread ahead_;
    size_t aheadBlock_ = SIZE_MAX;  // the block being inflated on the thread
    size_t handedOut_ = SIZE_MAX;   // the block of the last Next
    InflatedBlock* kept_;
    bool aheadOk_ = false;
};

}  // namespace savio
