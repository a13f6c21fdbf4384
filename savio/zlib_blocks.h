// The block table of a .zsav file's data part, and the inflation of its
// blocks one after the other into one reused buffer.
#ifndef LORIVANE_SAVIO_ZLIB_BLOCKS_H
#define LORIVANE_SAVIO_ZLIB_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

struct libdeflate_decompressor;

namespace savio {

struct ZlibBlock {
    uint64_t offset = 0;  // of the compressed bytes in the file
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
};

// Reads and checks the zheader at dataOffset and the trailer it points to.
// False when they are inconsistent with each other or with the file.
bool ReadZlibBlockTable(const uint8_t* file, size_t size, size_t dataOffset, bool swap,
                        std::vector<ZlibBlock>* blocks);

// Inflates blocks in order. While the caller decodes one block, the next is
// inflated on a second thread into the other of two buffers.
class ZlibBlockReader {
  public:
    ZlibBlockReader(const uint8_t* file, const std::vector<ZlibBlock>* blocks);
    ~ZlibBlockReader();
    ZlibBlockReader(const ZlibBlockReader&) = delete;
    ZlibBlockReader& operator=(const ZlibBlockReader&) = delete;

    enum class Result { Block, End, Damaged };
    // The next block's bytes in [*begin, *end).
    Result Next(const uint8_t** begin, const uint8_t** end);
    // The file offset of the compressed bytes still to be inflated.
    size_t Consumed() const;

  private:
    bool Inflate(size_t block, std::vector<uint8_t>& into);
    void StartAhead(size_t block);
    bool FinishAhead();

    const uint8_t* file_;
    const std::vector<ZlibBlock>* blocks_;
    size_t next_ = 0;
    std::vector<uint8_t> buffers_[2];
    libdeflate_decompressor* inflater_ = nullptr;
    std::thread ahead_;
    bool aheadOk_ = false;
};

}  // namespace savio

#endif
