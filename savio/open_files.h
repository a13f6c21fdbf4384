// The table of open files: the one piece of global state of the reader.
// A file handle names a slot of the table and the generation of its use, so
// a handle kept after its close is refused instead of reaching a newer file.
#pragma once

#include <memory>
#include <string_view>

#include "sav_file.h"

namespace savio {

// Opens bytes held in memory (tests and fuzzing) as if read from a file
// called identity. Same statuses as spssOpenRead.
int OpenFromBytes(std::string_view bytes, std::string_view identity, int* handle);
// The same for the bytes of an encrypted system file, decrypted with
// password; SPSS_WRONG_PASSWORD when it does not open them.
int OpenEncryptedFromBytes(std::string_view bytes, std::string_view password,
                           std::string_view identity, int* handle);

// Adds an opened file; 0 or SPSS_FITAB_FULL.
int AddOpenFile(std::unique_ptr<SavFile> file, int* handle);
// The table itself; read only through FindOpenFile.
inline constexpr int kMaxOpenFiles = 256;  // a power of two: handles split by shifts
struct OpenFileEntry {
    std::unique_ptr<SavFile> file;
    int generation = 0;
};
extern OpenFileEntry gOpenFiles[kMaxOpenFiles];

// The file of a handle, or nullptr. Inline: every value call makes one.
inline SavFile* FindOpenFile(int handle) {
    if (handle <= 0) return nullptr;
    const OpenFileEntry& e = gOpenFiles[(handle - 1) & (kMaxOpenFiles - 1)];
    return e.generation == (handle - 1) / kMaxOpenFiles ? e.file.get() : nullptr;
}
// False when the handle names no open file.
bool CloseOpenFile(int handle);

}  // namespace savio
