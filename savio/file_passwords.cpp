#include "savio/file_passwords.h"

#include <map>
#include <mutex>

#include "decrypting_reads.h"
#include "password_key.h"
#include "readable_bytes.h"
#include "savio/spssfio.h"

namespace savio {
namespace {

std::mutex gMutex;
std::map<std::string, SecretText, std::less<>> gPasswords;

bool HasEncryptedHeader(RandomReads& file) {
    if (file.size() < kEncryptedHeaderSize) return false;
    std::vector<uint8_t> scratch;
    const uint8_t* header = file.Read(0, kEncryptedHeaderSize, scratch);
    return header && IsEncryptedSavHeader(header, kEncryptedHeaderSize);
}

// A copy of the password kept for path, so that the lock is not held while
// the file is read.
bool KeptPassword(const std::string& path, SecretText* out) {
    std::lock_guard lock(gMutex);
    auto it = gPasswords.find(path);
    if (it == gPasswords.end()) return false;
    *out = SecretText(it->second.view());
    return true;
}

}  // namespace

bool IsEncryptedFile(const std::string& path) {
    FileReads file;
    return file.Open(path) && HasEncryptedHeader(file);
}

int CheckPassword(const std::string& path, std::string_view password) {
    auto file = std::make_shared<FileReads>();
    if (!file->Open(path)) return SPSS_FILE_OERROR;
    if (!HasEncryptedHeader(*file)) return SPSS_INVALID_FILE;
    std::shared_ptr<RandomReads> plain;
    return DecryptingReads::Open(file, password, &plain);
}

void RememberPassword(const std::string& path, std::string_view password) {
    std::lock_guard lock(gMutex);
    gPasswords.insert_or_assign(path, SecretText(password));
}

bool HasPassword(const std::string& path) {
    std::lock_guard lock(gMutex);
    return gPasswords.count(path) != 0;
}

int CheckKeptPassword(const std::string& path) {
    auto file = std::make_shared<FileReads>();
    if (!file->Open(path)) return SPSS_FILE_OERROR;
    if (!HasEncryptedHeader(*file)) return SPSS_INVALID_FILE;
    std::shared_ptr<RandomReads> plain;
    return ReadableBytesOf(std::move(file), path, &plain);
}

void ForgetPassword(const std::string& path) {
    std::lock_guard lock(gMutex);
    gPasswords.erase(path);
}

void ForgetAllPasswords() {
    std::lock_guard lock(gMutex);
    gPasswords.clear();
}

int ReadableBytesOf(std::shared_ptr<RandomReads> file, const std::string& path,
                    std::shared_ptr<RandomReads>* out) {
    if (!HasEncryptedHeader(*file)) {
        *out = std::move(file);
        return 0;
    }
    SecretText password;
    if (!KeptPassword(path, &password)) return SPSS_FILE_ENCRYPTED;
    return DecryptingReads::Open(std::move(file), password.view(), out);
}

}  // namespace savio
