// What tells one state of a file on disk from another, and the opening of a
// file for reading that never blocks and never takes anything but a regular
// file.
#ifndef LORIVANE_SAVIO_FILE_BYTES_H
#define LORIVANE_SAVIO_FILE_BYTES_H

#include <cstdint>
#include <string>

namespace savio {

// A file rewritten, truncated or replaced by another differs in at least
// one of these.
struct FileIdentity {
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    uint64_t device = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open file descriptor; false when fstat fails or the
// descriptor is not a regular file.
bool IdentityOf(int fd, FileIdentity* out);

// Opens path read-only and takes its identity: a descriptor, or -1 when it
// cannot be opened or is not a regular file (a FIFO, a device, a folder).
// Opening does not wait for a FIFO's writer.
int OpenRegularFile(const std::string& path, FileIdentity* identity);

}  // namespace savio

#endif
