// The data part of a file from its cases: the slots as they are, bytecode,
// or bytecode deflated in blocks with the zlib header and trailer. Output is
// buffered, so the sink sees large appends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "savio/case_layout.h"
#include "savio/sav_writer.h"

struct libdeflate_compressor;

namespace savio::writer {

// Appends to a sink through a buffer, counting every byte.
class BufferedOutput {
  public:
    explicit BufferedOutput(Sink& sink);
    void Append(const uint8_t* bytes, size_t n);
    void Flush();
    uint64_t offset() const { return flushed_ + buffer_.size(); }
    Sink& sink() { return sink_; }

  private:
    Sink& sink_;
    std::vector<uint8_t> buffer_;
    uint64_t flushed_ = 0;
};

// Cases in, the data part out, in the compression asked for.
class DataWriter {
  public:
    // The output stands at the data's offset: right after the dictionary.
    DataWriter(Compression compression, BufferedOutput& out, std::vector<uint8_t> slotIsString);
    ~DataWriter();
    DataWriter(const DataWriter&) = delete;
    DataWriter& operator=(const DataWriter&) = delete;

    void Case(const uint8_t* slots, size_t n);
    // Everything left, then (zlib) the trailer and the zheader rewritten.
    void Finish();

  private:
    void Bytecode(const uint8_t* slots);
    void EndGroup();
    void Bytes(const uint8_t* bytes, size_t n);
    void DeflateBlock();

    Compression compression_;
    BufferedOutput& out_;
    std::vector<uint8_t> isString_;  // per slot
    // The command group being filled: 8 commands, then the raw values they call for.
    uint8_t group_[8 + 64] = {};
    int commands_ = 0;
    int raws_ = 0;
    // zlib: the block being filled and what the trailer will say of each.
    uint64_t zheaderOffset_ = 0;
    std::vector<uint8_t> block_;
    std::vector<uint8_t> deflated_;
    libdeflate_compressor* compressor_ = nullptr;
    struct Block {
        uint64_t rawOffset, offset;
        uint32_t rawSize, size;
    };
    std::vector<Block> blocks_;
};

}  // namespace savio::writer
