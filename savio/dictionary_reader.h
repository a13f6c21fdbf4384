// Reads and checks the header and every dictionary record of a file held in
// memory, up to and including the 999 record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dictionary.h"

namespace savio {

// Fills dict from the first bytes of a file. Returns 0, SPSS_INVALID_FILE
// when the bytes are not a readable system file, or SPSS_FILE_RERROR when
// the dictionary runs past the end of the bytes. wanted (optional) is then
// set to how many bytes from the start of the file it would have needed at
// least, so that a caller holding only the first bytes of a file can tell a
// dictionary cut by the file's end from one that needs more of its bytes.
int ReadDictionary(const uint8_t* data, size_t size, Dictionary* dict, uint64_t* wanted = nullptr);

}  // namespace savio
