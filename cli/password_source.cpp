#include "cli/password_source.h"

#include <string.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "savio/file_passwords.h"

namespace lv::cli {

bool TakePassword(const Options& options, std::string* error) {
    std::string password;
    bool given = false;
    if (!options.passwordFile.empty()) {
        std::ifstream in(options.passwordFile, std::ios::binary);
        if (!in) {
            *error = options.passwordFile + ": " + std::strerror(errno);
            return false;
        }
        std::getline(in, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
        given = true;
    } else if (char* value = std::getenv(kPasswordVariable)) {
        password = value;
        explicit_bzero(value, strlen(value));
        unsetenv(kPasswordVariable);
        given = true;
    }
    if (given) {
        for (const std::string& path : options.files) savio::RememberPassword(path, password);
    }
    savio::WipeText(password);
    return true;
}

void ForgetPassword() {
    savio::ForgetAllPasswords();
}

}  // namespace lv::cli
