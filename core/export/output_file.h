// The file a conversion writes. The bytes go to a temporary file beside the
// target, which takes the target's name only when everything was written:
// a cancelled or failed conversion leaves nothing under the chosen name
// (and an existing file there untouched). A target that is not a regular
// file (a device such as /dev/full, a pipe) is written directly, and "-"
// is standard output. Every failure throws ExportError with its message;
// nothing is reported as written that was not.
#pragma once

#include <string>
#include <string_view>

#include "core/state/message.h"

namespace lv {

struct ExportError : MessageError {
    using MessageError::MessageError;
};

// The message of a failed write of path with errno err.
Message WriteFailure(const std::string& path, int err);

class OutputFile {
  public:
    // Checks the target and opens the temporary file; throws ExportError
    // when the folder is missing, the target is a folder or read-only, or
    // the temporary file cannot be made.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless Commit succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::string_view bytes);
    // Writes out what is buffered, closes, and gives the file its name.
    void Commit();

    // For a library that writes the file by name itself: the name to write
    // (the temporary file, or the target when it is written directly);
    // Release closes this side's descriptor first, CommitWritten then
    // gives the written file its name.
    const std::string& writePath() const { return writePath_; }
    void Release();
    const std::string& path() const { return path_; }
    void CommitWritten();

    bool toStdout() const { return fd_ == 1 && direct_; }

  private:
    void Flush();
    void Fail(int err);

    std::string path_, writePath_;
    int fd_ = -1;
    bool direct_ = false;  // writing the target itself (no renaming)
    bool committed_ = false;
    std::string buffer_;
};

}  // namespace lv
