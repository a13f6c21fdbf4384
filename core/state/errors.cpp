#include "core/state/errors.h"

#include <cerrno>

#include "core/state/japanese_messages.h"

namespace lv {

InOutError::InOutError(int code)
    : MessageError(Message{MessageCode::InOut, {}, {code}}), code(code) {}

std::string InOutMessage(int code) {
    return JapaneseText(Message{MessageCode::InOut, {}, {code}});
}

static bool HasOwnMessage(int code) {
    return code == 2 || code == 3 || code == 4 || code == 5 || code == kInOutReadPastEnd ||
           code == kInOutDiskFull || code == kInOutNotNumeric;
}

int InOutCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;
        case ENOSPC:
        case EDQUOT:
            return kInOutDiskFull;
        default:
            return HasOwnMessage(err) ? 1000 + err : err;
    }
}

}  // namespace lv
