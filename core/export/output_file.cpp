#include "core/export/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "core/export/temporary_names.h"
#include "core/state/errors.h"

namespace lv {
namespace {

constexpr size_t kBufferBytes = 1 << 20;
constexpr int kNameTries = 100;

std::atomic<bool> gAllowUnnamed{true};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A symbolic link is followed to the file it names, so that the rename
// replaces that file and the link stays.
std::string Resolved(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string out(real);
    std::free(real);
    return out;
}

}  // namespace

Message WriteFailure(const std::string& path, int err) {
    if (err == ENOSPC || err == EDQUOT) return Message{MessageCode::OutputDiskFull, {path}};
    if (err == ENOENT || err == ENOTDIR) return Message{MessageCode::OutputFolderMissing, {path}};
    if (err == EACCES || err == EPERM || err == EROFS)
        return Message{MessageCode::OutputNotWritable, {path}};
    return Message{MessageCode::OutputFailed, {path}, {}, err};
}

void AllowUnnamedTemporaries(bool allow) {
    gAllowUnnamed = allow;
}

void OutputFile::Fail(int err) const {
    if (errors_ == OutputErrors::InOut) throw InOutError(InOutCodeFromErrno(err));
    throw ExportError(WriteFailure(path_, err));
}

void OutputFile::Refuse(MessageCode code, const std::string& subject, int err) const {
    if (errors_ == OutputErrors::InOut) throw InOutError(InOutCodeFromErrno(err));
    throw ExportError(Message{code, {subject}});
}

OutputFile::OutputFile(std::string path, OutputErrors errors)
    : path_(std::move(path)), errors_(errors) {
    if (path_ == "-") {
        fd_ = 1;
        direct_ = true;
        writePath_ = "/dev/stdout";
        return;
    }
    if (path_.empty()) Refuse(MessageCode::OutputHasNoName, path_, ENOENT);
    if (path_.back() == '/') Refuse(MessageCode::OutputHasNoName, path_, EISDIR);
    target_ = Resolved(path_);
    folder_ = FolderOf(target_);
    struct stat st {};
    if (stat(folder_.c_str(), &st) != 0) Refuse(MessageCode::OutputFolderMissing, folder_, errno);
    if (!S_ISDIR(st.st_mode)) Refuse(MessageCode::OutputFolderMissing, folder_, ENOTDIR);
    bool existing = false;
    mode_t mode = 0666;
    if (stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) Refuse(MessageCode::OutputIsFolder, path_, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe: written as it is.
            do {
                fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
            } while (fd_ < 0 && errno == EINTR);
            if (fd_ < 0) Fail(errno);
            direct_ = true;
            writePath_ = target_;
            return;
        }
        // A file without write permission stays as it is, even where the
        // folder would let it be replaced.
        if ((st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0)
            Refuse(MessageCode::OutputReadOnly, path_, EACCES);
        existing = true;
        mode = st.st_mode & 07777;
    }
    if (gAllowUnnamed && access("/proc/self/fd", X_OK) == 0) {
        fd_ = open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            unnamed_ = true;
            writePath_ = "/proc/self/fd/" + std::to_string(fd_);
        }
        // Otherwise (a filesystem without unnamed files, or an error the
        // named file meets again and reports) a named one.
    }
    for (int tries = 0; fd_ < 0; ++tries) {
        std::string name = ShortTemporaryName(folder_);
        fd_ = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            tempName_ = std::move(name);
            slot_ = RememberTemporary(tempName_);
            writePath_ = tempName_;
        } else if (existing && (errno == EACCES || errno == EPERM)) {
            // A file the user may write in a folder where no other file may
            // be made: written in place, cut to its new length at the end.
            do {
                fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
            } while (fd_ < 0 && errno == EINTR);
            if (fd_ < 0) Fail(errno);
            direct_ = inPlace_ = true;
            writePath_ = target_;
            return;
        } else if (errno != EEXIST || tries == kNameTries) {
            Fail(errno);
        }
    }
    if (existing) fchmod(fd_, mode);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0 && fd_ != 1) close(fd_);
    if (!committed_ && !tempName_.empty()) unlink(tempName_.c_str());
    ForgetTemporary(slot_);
}

void OutputFile::WriteAll(const char* p, size_t left) {
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
}

void OutputFile::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferBytes) {
        Flush();
        if (bytes.size() > kBufferBytes) {
            WriteAll(bytes.data(), bytes.size());
            return;
        }
    }
    if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
    buffer_.append(bytes);
}

void OutputFile::WriteNow(std::string_view bytes) {
    Flush();
    WriteAll(bytes.data(), bytes.size());
}

void OutputFile::Flush() {
    if (buffer_.empty()) return;
    try {
        WriteAll(buffer_.data(), buffer_.size());
    } catch (...) {
        buffer_.clear();  // dropped with the file
        throw;
    }
    buffer_.clear();
}

void OutputFile::Commit() {
    Flush();
    if (inPlace_) {
        const off_t end = lseek(fd_, 0, SEEK_CUR);
        if (end < 0 || ftruncate(fd_, end) != 0) Fail(errno);
    }
    CommitWritten();
}

void OutputFile::CloseDescriptor() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (fd == 1) return;
    // close() is not retried on EINTR: on Linux the descriptor is gone then.
    if (close(fd) != 0 && errno != EINTR) Fail(errno);
}

void OutputFile::CommitWritten() {
    if (committed_) return;
    if (direct_) {
        CloseDescriptor();
        committed_ = true;
        return;
    }
    if (unnamed_) {
        // A name first, then the target's by a rename, which replaces an
        // existing file in one step.
        for (int tries = 0; tempName_.empty(); ++tries) {
            std::string name = ShortTemporaryName(folder_);
            if (linkat(AT_FDCWD, writePath_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                tempName_ = std::move(name);
                slot_ = RememberTemporary(tempName_);
            } else if (errno != EEXIST || tries == kNameTries) {
                Fail(errno);
            }
        }
    }
    CloseDescriptor();
    if (rename(tempName_.c_str(), target_.c_str()) != 0) Fail(errno);
    committed_ = true;
    ForgetTemporary(slot_);
    slot_ = -1;
}

}  // namespace lv
