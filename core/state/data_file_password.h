// The password of the data file chosen in the windows: asked for when the
// file is encrypted, kept in the reader (memory only) while the file stays
// chosen, since the summary, the lists and the grid's on-demand reads open
// it again and again, and forgotten when it is closed or another is chosen.
#pragma once

#include <string>

namespace lv {

enum class Unlock {
    Open,       // path can be opened without asking again
    Cancelled,  // the user cancelled the password dialog: nothing changed
    Failed,     // no password can open it: the open fails as any does
};

// Called when path is chosen. For an encrypted file, asks for the password
// through the dialog seam until one opens it or the dialog is cancelled
// (not when path is the file chosen before and its password still opens
// it). Open or Failed: the file chosen before is left, its password
// forgotten. Cancelled: the file chosen before stays chosen, its password
// kept.
Unlock UnlockDataFile(const std::string& path);

// Whether the file at path is an encrypted system file.
bool IsEncryptedDataFile(const std::string& path);

// Forgets the chosen file's password.
void ForgetDataFilePassword();

}  // namespace lv
