// What tells one state of a file on disk from another, and the opening of a
// file for reading that never blocks and never takes anything but a regular
// file.
#pragma once

#include <cstdint>
#include <string>

#include "savio/case_layout.h"

namespace savio {

// The identity of an open file descriptor; false when fstat fails or the
// descriptor is not a regular file.
bool IdentityOf(int fd, FileIdentity* out);

// Opens path read-only and takes its identity: a descriptor, or -1 when it
// cannot be opened or is not a regular file (a FIFO, a device, a folder).
// Opening does not wait for a FIFO's writer.
int OpenRegularFile(const std::string& path, FileIdentity* identity);

}  // namespace savio
