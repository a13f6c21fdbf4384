#include "file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace savio {
namespace {

class MappedFile : public FileBytes {
  public:
    MappedFile(void* map, size_t size, const FileIdentity& identity) : map_(map) {
        data_ = static_cast<const uint8_t*>(map);
        size_ = size;
        identity_ = identity;
        hasIdentity_ = true;
    }
    ~MappedFile() override {
        if (map_) munmap(map_, size_);
    }

    void Release(size_t offset) override {
        static const size_t kPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t end = std::min(offset, size_) / kPage * kPage;
        if (end <= released_) return;
        madvise(static_cast<uint8_t*>(map_) + released_, end - released_, MADV_DONTNEED);
        released_ = end;
    }

  private:
    void* map_;
    size_t released_ = 0;
};

// An empty file cannot be mapped; it still opens (and is then refused as
// too short by the header check).
class EmptyFile : public FileBytes {
  public:
    explicit EmptyFile(const FileIdentity& identity) {
        static const uint8_t kNothing = 0;
        data_ = &kNothing;
        identity_ = identity;
        hasIdentity_ = true;
    }
};

class OwnedBytes : public FileBytes {
  public:
    explicit OwnedBytes(std::string_view bytes) : bytes_(bytes) {
        data_ = reinterpret_cast<const uint8_t*>(bytes_.data());
        size_ = bytes_.size();
    }

  private:
    std::string bytes_;
};

}  // namespace

bool IdentityOf(int fd, FileIdentity* out) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out->size = static_cast<uint64_t>(st.st_size);
    out->mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out->inode = static_cast<uint64_t>(st.st_ino);
    out->device = static_cast<uint64_t>(st.st_dev);
    return true;
}

std::unique_ptr<FileBytes> MapFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    FileIdentity identity;
    if (!IdentityOf(fd, &identity)) {
        close(fd);
        return nullptr;
    }
    const size_t size = static_cast<size_t>(identity.size);
    if (size == 0) {
        close(fd);
        return std::make_unique<EmptyFile>(identity);
    }
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return nullptr;
    madvise(map, size, MADV_SEQUENTIAL);
    return std::make_unique<MappedFile>(map, size, identity);
}

std::unique_ptr<FileBytes> CopyBytes(std::string_view bytes) {
    return std::make_unique<OwnedBytes>(bytes);
}

}  // namespace savio
