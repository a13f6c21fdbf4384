// The passwords of the encrypted files in use, by path: what lets
// spssOpenRead, and the re-reads of cases while a file is shown, open an
// encrypted file again without asking each time. Held in memory only,
// overwritten with zeros when forgotten; whoever remembers a password
// forgets it when done with the file. Safe to call from several threads.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace savio {

// True when the file at path begins with the header of an encrypted
// system file.
bool IsEncryptedFile(const std::string& path);

// 0 when password opens the encrypted file at path; else SPSS_WRONG_PASSWORD,
// SPSS_INVALID_FILE (not an encrypted file, or no block to check),
// SPSS_FILE_OERROR or SPSS_FILE_RERROR.
int CheckPassword(const std::string& path, std::string_view password);

// Keeps password for the file at path (replacing one kept before).
void RememberPassword(const std::string& path, std::string_view password);
bool HasPassword(const std::string& path);
// CheckPassword with the password kept for path (SPSS_FILE_ENCRYPTED when
// none is kept).
int CheckKeptPassword(const std::string& path);
void ForgetPassword(const std::string& path);
void ForgetAllPasswords();

// Overwrites text's whole buffer with zeros and empties it: for the copies
// of a password that callers held on the way.
void WipeText(std::string& text);

}  // namespace savio
