#include "core/textfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/errors.h"

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
    }
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
