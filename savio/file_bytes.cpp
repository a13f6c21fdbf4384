#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace savio {

bool IdentityOf(int fd, FileIdentity* out) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out->size = static_cast<uint64_t>(st.st_size);
    out->mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out->inode = static_cast<uint64_t>(st.st_ino);
    out->device = static_cast<uint64_t>(st.st_dev);
    return true;
}

int OpenRegularFile(const std::string& path, FileIdentity* identity) {
    // O_NONBLOCK: an open of a FIFO returns at once instead of waiting for
    // a writer (it is then refused below); reads of a regular file ignore it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    if (!IdentityOf(fd, identity)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace savio
