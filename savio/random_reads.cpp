#include "random_reads.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace savio {

FileReads::~FileReads() {
    if (fd_ >= 0) close(fd_);
}

bool FileReads::Open(const std::string& path) {
    if (fd_ >= 0) close(fd_);
    fd_ = OpenRegularFile(path, &identity_);
    return fd_ >= 0;
}

bool FileReads::Open(const std::string& path, const FileIdentity& expected) {
    if (!Open(path)) return false;
    if (identity_ == expected) return true;
    close(fd_);
    fd_ = -1;
    return false;
}

void FileReads::ExpectSequentialReads() {
    if (fd_ >= 0) posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool FileReads::Unchanged() const {
    FileIdentity now;
    return fd_ >= 0 && IdentityOf(fd_, &now) && now == identity_;
}

const uint8_t* FileReads::Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) {
    // The size checked at open bounds every buffer.
    if (fd_ < 0 || offset > identity_.size || n > identity_.size - offset) return nullptr;
    if (scratch.size() < n || scratch.empty()) scratch.resize(std::max<size_t>(n, 1));
    size_t got = 0;
    while (got < n) {
        const ssize_t r =
            pread(fd_, scratch.data() + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return nullptr;  // an error, or the file got shorter
        got += static_cast<size_t>(r);
    }
    // A write to the file changes its modification time before it changes
    // its bytes: bytes read before the time was seen unchanged are the
    // opened file's.
    return Unchanged() ? scratch.data() : nullptr;
}

std::shared_ptr<RandomReads> OpenFileReads(const std::string& path) {
    auto file = std::make_shared<FileReads>();
    if (!file->Open(path)) return nullptr;
    return file;
}

}  // namespace savio
