// What is checked about a data file by its path alone, without opening it:
// whether it is a file the reader can take (a regular file, or a symbolic
// link to one; opening a FIFO would wait for a writer), and the stamp that
// tells whether it changed between two moments.
#pragma once

#include <cstdint>
#include <string>

#include "core/state/japanese_messages.h"  // kNotRegularFileText

namespace lv {

enum class DataFileKind { Regular, Missing, Folder, Other };

// What path names, following symbolic links.
DataFileKind KindOfDataFile(const std::string& path);

// Size, modification time and inode of the file at path; a missing file
// has a stamp of its own (present false).
struct DataFileStamp {
    bool present = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    uint64_t device = 0;
    bool operator==(const DataFileStamp&) const = default;
};

DataFileStamp StampOfDataFile(const std::string& path);

}  // namespace lv
