// The bytecode stream of a file's data part, handed out run after run: the
// data part itself (.sav), or the inflated blocks of a .zsav. A stream
// offset counts bytes of that stream: in a .sav it is the file offset, in a
// .zsav the offset in the concatenated inflated blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "random_reads.h"

namespace savio {

class StreamChunks {
  public:
    enum class Result { Chunk, End, Damaged };
    virtual ~StreamChunks() = default;
    // The stream offset of the first byte the first Next hands out.
    virtual uint64_t start() const = 0;
    // The next run [*begin, *end), which starts at stream offset *at; valid
    // until the next call. End and Damaged are final.
    virtual Result Next(const uint8_t** begin, const uint8_t** end, uint64_t* at) = 0;
};

// The bytes [from, to) of a file, in runs of at most runBytes.
class RangeChunks : public StreamChunks {
  public:
    RangeChunks(std::shared_ptr<RandomReads> reads, uint64_t from, uint64_t to, size_t runBytes)
        : reads_(std::move(reads)), from_(from), pos_(from), to_(to), runBytes_(runBytes) {}
    uint64_t start() const override { return from_; }
    Result Next(const uint8_t** begin, const uint8_t** end, uint64_t* at) override;

  private:
    std::shared_ptr<RandomReads> reads_;
    uint64_t from_, pos_, to_;
    size_t runBytes_;
    std::vector<uint8_t> buffer_;
};

}  // namespace savio
