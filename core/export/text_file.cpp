#include "core/export/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/state/errors.h"

namespace lv {

TextFileWriter::TextFileWriter() : buffer_(new char[kBufferSize]) {}

TextFileWriter::~TextFileWriter() {
    if (fd_ < 0) return;
    try {
        Close();
    } catch (...) {
        // A destructor has no one to report to.
    }
}

void TextFileWriter::Create(const std::string& path) {
    if (fd_ >= 0) Close();
    failedCode_ = 0;
    used_ = 0;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) throw InOutError(InOutCodeFromErrno(errno));
    fd_ = fd;
    struct stat st;
    regular_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    written_ = submitted_ = released_ = 0;
}

void TextFileWriter::CheckWritable() const {
    if (failedCode_ != 0) throw InOutError(failedCode_);
    if (fd_ < 0) throw InOutError(kInOutNotOpen);
}

void TextFileWriter::Write(std::string_view bytes) {
    CheckWritable();
    while (!bytes.empty()) {
        size_t room = kBufferSize - used_;
        size_t take = bytes.size() < room ? bytes.size() : room;
        std::memcpy(buffer_.get() + used_, bytes.data(), take);
        used_ += take;
        bytes.remove_prefix(take);
        if (used_ == kBufferSize) Flush();
    }
}

void TextFileWriter::WriteChar(char c) {
    CheckWritable();
    buffer_[used_++] = c;
    if (used_ == kBufferSize) Flush();
}

void TextFileWriter::WriteLine() {
    Write("\r\n");
}

void TextFileWriter::Flush() {
    size_t size = used_;
    used_ = 0;
    WriteToFile(buffer_.get(), size);
}

void TextFileWriter::WriteToFile(const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail(InOutCodeFromErrno(errno));
        }
        if (written == 0) Fail(InOutCodeFromErrno(EIO));
        data += written;
        size -= static_cast<size_t>(written);
        written_ += static_cast<unsigned long long>(written);
    }
    if (regular_ && written_ - submitted_ >= kWritebackChunk) WriteBehind();
}

// Starts the write-back of what was written since the last call and releases
// the range before that, whose write-back has had a chunk's time to finish.
// Pages still dirty or under write-back are kept by the system, so a slow
// disk only means fewer pages released. Both calls are advice: their
// failures change nothing about the file and are ignored.
void TextFileWriter::WriteBehind() {
    ::sync_file_range(fd_, static_cast<off_t>(submitted_),
                      static_cast<off_t>(written_ - submitted_), SYNC_FILE_RANGE_WRITE);
    if (submitted_ > released_)
        ::posix_fadvise(fd_, static_cast<off_t>(released_),
                        static_cast<off_t>(submitted_ - released_), POSIX_FADV_DONTNEED);
    released_ = submitted_;
    submitted_ = written_;
}

void TextFileWriter::Fail(int code) {
    failedCode_ = code;
    used_ = 0;
    throw InOutError(code);
}

void TextFileWriter::Close() {
    if (fd_ < 0) return;
    int firstError = failedCode_;
    if (firstError == 0 && used_ > 0) {
        try {
            Flush();
        } catch (const InOutError& e) {
            firstError = e.code;
        }
    }
    // close() is not retried on EINTR: on Linux the descriptor is gone then.
    int closed = ::close(fd_);
    int closeErrno = errno;
    fd_ = -1;
    used_ = 0;
    failedCode_ = 0;
    if (firstError != 0) throw InOutError(firstError);
    if (closed != 0 && closeErrno != EINTR) throw InOutError(InOutCodeFromErrno(closeErrno));
}

}  // namespace lv
