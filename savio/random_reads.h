// The bytes of a file as the reader sees them: read at any offset into
// buffers the caller owns, from a file on disk or from memory. Everything
// the reader takes from a file (the dictionary, the block table of a .zsav,
// every case, streamed or read again) goes through this interface, so that
// a file that shrinks or is replaced while it is read gives a failed read,
// never a fault. A source that must transform what it reads (decrypting
// fixed-size blocks, say) implements it too, reading from the start of the
// block that holds the first byte wanted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_bytes.h"

namespace savio {

class RandomReads {
  public:
    virtual ~RandomReads() = default;
    // The bytes there are to read (as the file was when opened).
    virtual uint64_t size() const = 0;
    // The n bytes at offset: a pointer into memory, or into scratch after a
    // read. nullptr when they are not all there. May be called from two
    // threads at once with different scratch buffers.
    virtual const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) = 0;
    // True when Read copies the bytes (so a long read costs that much memory).
    virtual bool copies() const = 0;
    // The identity of the file on disk when it was opened; nullptr for
    // bytes held in memory.
    virtual const FileIdentity* identity() const { return nullptr; }
    // False once the file on disk no longer has that identity (written to,
    // cut short); bytes in memory never change.
    virtual bool Unchanged() const { return true; }
};

// Bytes already in memory (bytes under test); not copied.
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

// A private copy of bytes handed over in memory (tests, fuzzing).
class OwnedReads : public RandomReads {
  public:
    explicit OwnedReads(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t size() const override { return bytes_.size(); }
    const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>&) override {
        return offset <= bytes_.size() && n <= bytes_.size() - offset
                   ? reinterpret_cast<const uint8_t*>(bytes_.data()) + offset
                   : nullptr;
    }
    bool copies() const override { return false; }

  private:
    std::string bytes_;
};

// A regular file opened read-only, closed by the destructor. Every read
// checks that the file is still the one opened: a file that got shorter,
// was written to or was replaced since gives failed reads from then on.
class FileReads : public RandomReads {
  public:
    FileReads() = default;
    ~FileReads() override;
    FileReads(const FileReads&) = delete;
    FileReads& operator=(const FileReads&) = delete;

    // Opens path; false (and nothing left open) when it cannot be opened or
    // is not a regular file.
    bool Open(const std::string& path);
    // The same, and false too when it is no longer the file of that identity.
    bool Open(const std::string& path, const FileIdentity& expected);
    // Tells the system that the file will be read from start to end.
    void ExpectSequentialReads();
    // True while the open file still has the identity it was opened with.
    bool Unchanged() const override;

    uint64_t size() const override { return identity_.size; }
    const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) override;
    bool copies() const override { return true; }
    const FileIdentity* identity() const override { return fd_ >= 0 ? &identity_ : nullptr; }

  private:
    int fd_ = -1;
    FileIdentity identity_;
};

// The bytes of the file at path, as the reader reads them; nullptr when it
// cannot be opened or is not a regular file.
std::shared_ptr<RandomReads> OpenFileReads(const std::string& path);

}  // namespace savio
