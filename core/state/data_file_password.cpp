#include "core/state/data_file_password.h"

#include "core/state/dialogs.h"
#include "savio/file_passwords.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

// The file whose password is kept; empty when none is.
std::string gUnlockedPath;

}  // namespace

Unlock UnlockDataFile(const std::string& path) {
    if (!gUnlockedPath.empty() && gUnlockedPath == path && savio::CheckKeptPassword(path) == 0)
        return Unlock::Open;
    if (path.empty() || !savio::IsEncryptedFile(path)) {
        ForgetDataFilePassword();
        return Unlock::Open;
    }
    for (bool wrong = false;; wrong = true) {
        std::optional<std::string> typed = CurrentDialogs().AskPassword(path, wrong);
        if (!typed) return Unlock::Cancelled;
        const int status = savio::CheckPassword(path, *typed);
        if (status == 0) {
            ForgetDataFilePassword();
            savio::RememberPassword(path, *typed);
            gUnlockedPath = path;
        }
        savio::WipeText(*typed);
        if (status == 0) return Unlock::Open;
        if (status != SPSS_WRONG_PASSWORD) {
            ForgetDataFilePassword();
            return Unlock::Failed;
        }
    }
}

void ForgetDataFilePassword() {
    if (!gUnlockedPath.empty()) savio::ForgetPassword(gUnlockedPath);
    gUnlockedPath.clear();
}

bool IsEncryptedDataFile(const std::string& path) {
    return savio::IsEncryptedFile(path);
}

}  // namespace lv
