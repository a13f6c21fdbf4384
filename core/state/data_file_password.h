// The password of the data file chosen in the windows: asked for when the
// file is encrypted, kept in the reader (memory only) while the file stays
// chosen, since the summary, the lists and the grid's on-demand reads open
// it again and again, and forgotten when it is closed or another is chosen.
#pragma once

#include <string>

namespace lv {

// Called when path is chosen: forgets the password of the file chosen
// before (unless path is that file and its password still opens it); for an
// encrypted file, asks for the password through the dialog seam until one
// opens it or the dialog is cancelled. Cancelled, or a file that no
// password can open, leaves no password: the open then fails as any failed
// open does. True when path can be opened without asking again.
bool UnlockDataFile(const std::string& path);

// Forgets the chosen file's password.
void ForgetDataFilePassword();

}  // namespace lv
