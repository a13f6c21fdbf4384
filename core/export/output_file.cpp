#include "core/export/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace lv {
namespace {

constexpr size_t kBufferBytes = 1 << 20;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

Message WriteFailure(const std::string& path, int err) {
    if (err == ENOSPC || err == EDQUOT) return Message{MessageCode::OutputDiskFull, {path}};
    if (err == ENOENT || err == ENOTDIR) return Message{MessageCode::OutputFolderMissing, {path}};
    if (err == EACCES || err == EPERM || err == EROFS)
        return Message{MessageCode::OutputNotWritable, {path}};
    return Message{MessageCode::OutputFailed, {path}, {}, err};
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    buffer_.reserve(kBufferBytes);
    if (path_ == "-") {
        fd_ = 1;
        direct_ = true;
        writePath_ = "/dev/stdout";
        return;
    }
    if (path_.empty() || path_.back() == '/')
        throw ExportError(Message{MessageCode::OutputHasNoName, {path_}});
    const std::string folder = FolderOf(path_);
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw ExportError(Message{MessageCode::OutputFolderMissing, {folder}});
    mode_t mode = 0666 & ~CurrentUmask();
    if (stat(path_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw ExportError(Message{MessageCode::OutputIsFolder, {path_}});
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe: written as it is.
            fd_ = open(path_.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd_ < 0) throw ExportError(WriteFailure(path_, errno));
            direct_ = true;
            writePath_ = path_;
            return;
        }
        // A file without write permission stays as it is, even where the
        // folder would let it be replaced.
        if ((st.st_mode & 0222) == 0 || access(path_.c_str(), W_OK) != 0)
            throw ExportError(Message{MessageCode::OutputReadOnly, {path_}});
        mode = st.st_mode & 07777;
    }
    std::string name = folder + "/." + path_.substr(path_.find_last_of('/') + 1) + ".XXXXXX";
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) throw ExportError(WriteFailure(path_, errno));
    writePath_ = name;
    fchmod(fd_, mode);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0 && fd_ != 1) close(fd_);
    if (!committed_ && !direct_ && !writePath_.empty()) unlink(writePath_.c_str());
}

void OutputFile::Fail(int err) {
    throw ExportError(WriteFailure(path_, err));
}

void OutputFile::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferBytes) {
        Flush();
        if (bytes.size() > kBufferBytes) {
            buffer_.assign(bytes);
            Flush();
            return;
        }
    }
    buffer_.append(bytes);
}

void OutputFile::Flush() {
    const char* p = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        if (n == 0) Fail(ENOSPC);
        p += n;
        left -= static_cast<size_t>(n);
    }
    buffer_.clear();
}

void OutputFile::Commit() {
    Flush();
    Release();
    CommitWritten();
}

void OutputFile::Release() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (fd == 1) return;
    if (close(fd) != 0) Fail(errno);
}

void OutputFile::CommitWritten() {
    if (!direct_ && rename(writePath_.c_str(), path_.c_str()) != 0) Fail(errno);
    committed_ = true;
}

}  // namespace lv
