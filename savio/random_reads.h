// Bytes read at any offset, from memory or from a file on disk: what the
// case decoders read through when they start somewhere inside the data.
#ifndef LORIVANE_SAVIO_RANDOM_READS_H
#define LORIVANE_SAVIO_RANDOM_READS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace savio {

class RandomReads {
  public:
    virtual ~RandomReads() = default;
    virtual uint64_t size() const = 0;
    // The n bytes at offset: a pointer into memory, or into scratch after a
    // read. nullptr when they are not all there. May be called from two
    // threads at once with different scratch buffers.
    virtual const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) = 0;
    // True when Read copies the bytes (so a long read costs that much memory).
    virtual bool copies() const = 0;
};

// Bytes already in memory (a mapped file, or bytes under test); not copied.
class MemoryReads : public RandomReads {
  public:
    MemoryReads(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>&) override {
        return offset <= size_ && n <= size_ - offset ? data_ + offset : nullptr;
    }
    bool copies() const override { return false; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// A file opened read-only for the span of one read; closed by the
// destructor. Every read checks that the file is still the one opened.
class FileReads : public RandomReads {
  public:
    FileReads() = default;
    ~FileReads() override;
    FileReads(const FileReads&) = delete;
    FileReads& operator=(const FileReads&) = delete;

    // Opens path; false (and nothing left open) when it cannot be opened or
    // is no longer the file of that identity.
    bool Open(const std::string& path, const FileIdentity& expected);
    // True while the open file still has the identity it was opened with.
    bool Unchanged() const;

    uint64_t size() const override { return identity_.size; }
    const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) override;
    bool copies() const override { return true; }

  private:
    int fd_ = -1;
    FileIdentity identity_;
};

}  // namespace savio

#endif
