// The two error types that core raises: a rendering error (a specifier that
// does not fit its argument) and an input/output error of a text file. Both
// carry their message; what() is the text the general error handler's box
// shows.
#pragma once

#include <string>

#include "core/state/message.h"

namespace lv {

struct ConversionError : MessageError {
    using MessageError::MessageError;
};

// Codes the text-file writer uses besides the mapped system errors.
inline constexpr int kInOutReadPastEnd = 100;
inline constexpr int kInOutDiskFull = 101;
inline constexpr int kInOutNotOpen = 103;
inline constexpr int kInOutNotNumeric = 106;

struct InOutError : MessageError {
    int code;
    explicit InOutError(int code);
};

// The user's text for an input/output error code; "I/O ｴﾗｰ (<code>)" for
// codes without a text of their own.
std::string InOutMessage(int code);

// Maps a system errno onto an input/output error code: ENOENT 2;
// ENOTDIR, ENAMETOOLONG, EINVAL 3; EMFILE, ENFILE 4; EACCES, EPERM, EROFS,
// EISDIR 5; ENOSPC, EDQUOT 101. Any other errno is its own code, except the
// few whose number happens to equal a code with a text (EIO is 5, for one):
// those get 1000 + errno, so a hardware fault is never shown as "access
// denied".
int InOutCodeFromErrno(int err);

}  // namespace lv
