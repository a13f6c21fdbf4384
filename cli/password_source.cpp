#include "cli/password_source.h"

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "savio/file_passwords.h"

namespace lv::cli {
namespace {

// Why the password given was empty; empty when none was given or it was not.
std::string gEmptyPassword;

// The first line of the password file at path, without its line end. At
// most kMaxPasswordLine bytes and a line end are read, whatever the file
// holds; false (with error set) for a file that is not a regular file or a
// pipe, a longer line, or a failed read.
bool ReadPasswordLine(const std::string& path, std::string& line, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode))) {
        close(fd);
        error = path + ": the password file is neither a regular file nor a pipe";
        return false;
    }
    char buffer[kMaxPasswordLine + 1];
    size_t got = 0;
    while (got < sizeof buffer && !std::memchr(buffer, '\n', got)) {
        const ssize_t n = read(fd, buffer + got, sizeof buffer - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = path + ": " + std::strerror(errno);
            close(fd);
            explicit_bzero(buffer, sizeof buffer);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    const void* newline = std::memchr(buffer, '\n', got);
    const size_t end =
        newline ? static_cast<size_t>(static_cast<const char*>(newline) - buffer) : got;
    const bool fits = end <= kMaxPasswordLine;
    if (fits) line.assign(buffer, end);
    explicit_bzero(buffer, sizeof buffer);
    if (!fits) {
        error = path + ": the first line is longer than " + std::to_string(kMaxPasswordLine) +
                " bytes, too long for a password";
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

bool TakePassword(const Options& options, std::string* error) {
    std::string password;
    gEmptyPassword.clear();
    if (!options.passwordFile.empty()) {
        if (!ReadPasswordLine(options.passwordFile, password, *error)) return false;
        if (password.empty())
            gEmptyPassword = "the first line of " + options.passwordFile + " is empty";
    } else if (char* value = std::getenv(kPasswordVariable)) {
        password = value;
        explicit_bzero(value, strlen(value));
        unsetenv(kPasswordVariable);
        if (password.empty()) gEmptyPassword = std::string(kPasswordVariable) + " is empty";
    }
    // An empty password is none: an encrypted file then says so, rather
    // than that the password is wrong.
    if (!password.empty())
        for (const std::string& path : options.files) savio::RememberPassword(path, password);
    savio::WipeText(password);
    return true;
}

const std::string& EmptyPasswordGiven() {
    return gEmptyPassword;
}

void ForgetPassword() {
    savio::ForgetAllPasswords();
}

}  // namespace lv::cli
