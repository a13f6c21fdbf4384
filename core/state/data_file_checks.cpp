#include "core/state/data_file_checks.h"

#include <sys/stat.h>

namespace lv {

DataFileKind KindOfDataFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return DataFileKind::Missing;
    if (S_ISREG(st.st_mode)) return DataFileKind::Regular;
    return S_ISDIR(st.st_mode) ? DataFileKind::Folder : DataFileKind::Other;
}

DataFileStamp StampOfDataFile(const std::string& path) {
    struct stat st {};
    DataFileStamp s;
    if (stat(path.c_str(), &st) != 0) return s;
    s.present = true;
    s.size = static_cast<uint64_t>(st.st_size);
    s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = static_cast<uint64_t>(st.st_ino);
    s.device = static_cast<uint64_t>(st.st_dev);
    return s;
}

}  // namespace lv
