// The bytes the reader reads of a file it opens: the file itself, or the
// system file inside an encrypted one, decrypted with its kept password.
#pragma once

#include <memory>
#include <string>

#include "random_reads.h"

namespace savio {

// What the reader reads of the file opened from path: the file itself, or
// for an encrypted file the system file inside it, decrypted with the
// password kept for path. 0 and *out, or SPSS_FILE_ENCRYPTED (no password
// kept), SPSS_WRONG_PASSWORD or a read failure.
int ReadableBytesOf(std::shared_ptr<RandomReads> file, const std::string& path,
                    std::shared_ptr<RandomReads>* out);

}  // namespace savio
