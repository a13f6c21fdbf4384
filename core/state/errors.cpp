#include "core/state/errors.h"

#include <cerrno>

namespace lv {

InOutError::InOutError(int code) : std::runtime_error(InOutMessage(code)), code(code) {}

std::string InOutMessage(int code) {
    switch (code) {
        case 2:
            return "ﾌｧｲﾙが見つかりません";
        case 3:
            return "不正なﾌｧｲﾙ名です";
        case 4:
            return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
        case 5:
            return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
        case kInOutReadPastEnd:
            return "ﾌｧｲﾙの末尾以降を読み込みました";
        case kInOutDiskFull:
            return "ﾃﾞｨｽｸがいっぱいです";
        case kInOutNotNumeric:
            return "入力値が数値ではありません";
        default:
            return "I/O ｴﾗｰ (" + std::to_string(code) + ")";
    }
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
