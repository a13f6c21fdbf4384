// The names of the temporary files being written, so that a SIGINT,
// SIGTERM or SIGHUP that ends the program removes them first: the handler
// (installed with the first name, for each of those signals whose action
// is still the default) only unlinks the names and lets the signal end the
// program as it would have; unlink is safe in a handler. A signal that is
// ignored, or that the program handles itself, is left alone. exit() in
// the middle of a write removes them too.
#pragma once

#include <string>

namespace lv {

// A name for a temporary file in folder: folder/.lorivane-XXXXXX, short so
// that it fits wherever the target's own name fits.
std::string ShortTemporaryName(const std::string& folder);

// Remembers path until ForgetTemporary(slot); -1 when every slot is taken
// (the name is then not removed on a signal).
int RememberTemporary(const std::string& path);
void ForgetTemporary(int slot);

}  // namespace lv
