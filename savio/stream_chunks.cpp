#include "stream_chunks.h"

#include <algorithm>

namespace savio {

StreamChunks::Result RangeChunks::Next(const uint8_t** begin, const uint8_t** end, uint64_t* at) {
    if (pos_ >= to_) return Result::End;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(runBytes_, to_ - pos_));
    const uint8_t* p = reads_->Read(pos_, n, buffer_);
    if (!p) {
        pos_ = to_;
        return Result::Damaged;
    }
    *begin = p;
    *end = p + n;
    *at = pos_;
    pos_ += n;
    return Result::Chunk;
}

}  // namespace savio
