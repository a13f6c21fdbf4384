// The bytes of one opened file: a read-only memory map of a file on disk, or
// a private copy of bytes handed over in memory (tests, fuzzing).
#ifndef LORIVANE_SAVIO_FILE_BYTES_H
#define LORIVANE_SAVIO_FILE_BYTES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "savio/case_layout.h"

namespace savio {

// The identity of an open file descriptor; false when fstat fails.
bool IdentityOf(int fd, FileIdentity* out);

class FileBytes {
  public:
    virtual ~FileBytes() = default;
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    // Tells that the bytes before offset will not be needed again soon, so
    // that a mapped file's pages behind the read position can leave memory
    // (they are read again if touched).
    virtual void Release(size_t offset) { (void)offset; }
    // The file's identity when it was opened; nullptr for bytes held in memory.
    const FileIdentity* identity() const { return hasIdentity_ ? &identity_ : nullptr; }

  protected:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    FileIdentity identity_;
    bool hasIdentity_ = false;
};

// Maps the file at path; nullptr when it cannot be opened or mapped.
std::unique_ptr<FileBytes> MapFile(const std::string& path);

// Keeps a copy of bytes.
std::unique_ptr<FileBytes> CopyBytes(std::string_view bytes);

}  // namespace savio

#endif
