// The two sinks: a file descriptor and the caller's functions.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "savio/sav_writer.h"

namespace savio::writer {

void Sink::Rewrite(uint64_t, const uint8_t*, size_t) {
    throw WriteError(ErrorCode::SinkNotRewritable, {"rewrite"});
}

FdSink::FdSink(int fd) : fd_(fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
    const off_t at = lseek(fd, 0, SEEK_CUR);
    if (at >= 0) start_ = at;
}

void FdSink::Append(const uint8_t* bytes, size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd_, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0)
            throw WriteError(ErrorCode::WriteFailed,
                             {"write", done < 0 ? std::strerror(errno) : "nothing written"});
        bytes += done;
        n -= size_t(done);
    }
}

void FdSink::Rewrite(uint64_t offset, const uint8_t* bytes, size_t n) {
    if (start_ < 0) Sink::Rewrite(offset, bytes, n);
    uint64_t at = uint64_t(start_) + offset;
    while (n > 0) {
        const ssize_t done = ::pwrite(fd_, bytes, n, off_t(at));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0)
            throw WriteError(ErrorCode::WriteFailed,
                             {"rewrite", done < 0 ? std::strerror(errno) : "nothing written"});
        bytes += done;
        n -= size_t(done);
        at += uint64_t(done);
    }
}

CallbackSink::CallbackSink(AppendFn append, RewriteFn rewrite)
    : append_(std::move(append)), rewrite_(std::move(rewrite)) {}

void CallbackSink::Append(const uint8_t* bytes, size_t n) {
    if (!append_ || !append_(bytes, n))
        throw WriteError(ErrorCode::WriteFailed, {"append", "refused"});
}

void CallbackSink::Rewrite(uint64_t offset, const uint8_t* bytes, size_t n) {
    if (!rewrite_) Sink::Rewrite(offset, bytes, n);
    if (!rewrite_(offset, bytes, n))
        throw WriteError(ErrorCode::WriteFailed, {"rewrite", "refused"});
}

}  // namespace savio::writer
