// The password of encrypted files for lorivane-dump: the first line of the
// --password-file (a regular file or a pipe), else the environment variable
// LORIVANE_PASSWORD. Never an argument: arguments show in the process list.
#pragma once

#include <cstddef>
#include <string>

#include "cli/options.h"

namespace lv::cli {

inline constexpr const char* kPasswordVariable = "LORIVANE_PASSWORD";
// The longest first line of a password file read; passwords are short.
inline constexpr size_t kMaxPasswordLine = 4096;

// Keeps the password, when one is given, for the files of options (the
// reader asks for it only for an encrypted file); the variable is wiped and
// removed from the environment once read. False, with a one-line error,
// when the password file cannot be read, is no regular file or pipe, or
// its first line is longer than kMaxPasswordLine.
bool TakePassword(const Options& options, std::string* error);

// When the password given was empty (and so none was kept): why, for the
// message of an encrypted file; else empty.
const std::string& EmptyPasswordGiven();

// Forgets the password kept by TakePassword.
void ForgetPassword();

}  // namespace lv::cli
