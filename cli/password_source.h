// The password of encrypted files for lorivane-dump: the first line of the
// --password-file, else the environment variable LORIVANE_PASSWORD. Never
// an argument: arguments show in the process list.
#pragma once

#include <string>

#include "cli/options.h"

namespace lv::cli {

inline constexpr const char* kPasswordVariable = "LORIVANE_PASSWORD";

// Keeps the password, when one is given, for the files of options (the
// reader asks for it only for an encrypted file); the variable is wiped and
// removed from the environment once read. False, with a one-line error,
// when the password file cannot be read.
bool TakePassword(const Options& options, std::string* error);

// Forgets the password kept by TakePassword.
void ForgetPassword();

}  // namespace lv::cli
