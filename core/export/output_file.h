// The one way the program writes a file the user named: every writer (the
// text export, the dictionary export, the table converter, the describe
// table) goes through OutputFile.
//
// The constructor checks the target before anything is written: a name,
// an existing folder, not a folder itself, a regular file that may be
// written. The bytes then go to a temporary file in the target's folder,
// which takes the target's name only in Commit, after the last byte and the
// close succeeded: a failed, cancelled or abandoned write leaves nothing
// under the name and an existing file there untouched.
//
// Where the filesystem allows, the temporary file has no name at all
// (O_TMPFILE): even a killed program leaves nothing. Commit links it under a
// short hidden name (.lorivane-XXXXXX, so that a target name near the
// length limit still works) and renames that onto the target. A filesystem
// without unnamed files gets such a short-named file from the start; a
// SIGINT, SIGTERM or SIGHUP that ends the program removes it
// (temporary_names.h). A symbolic link as the target is followed: the file
// it points to is replaced, the link stays.
//
// A target that is not a regular file (a device such as /dev/null, a pipe)
// is written directly, and "-" is standard output. So is a file the user
// may write in a folder where no other file may be made: it is written in
// place, after every check, and cut to its new length in Commit.
//
// Failures throw, worded as the writer's surface wants: ExportError with
// the converter's messages, or InOutError with the text export's codes.
#pragma once

#include <string>
#include <string_view>

#include "core/state/message.h"

namespace lv {

struct ExportError : MessageError {
    using MessageError::MessageError;
};

// The converter's message of a failed write of path with errno err.
Message WriteFailure(const std::string& path, int err);

enum class OutputErrors { Export, InOut };

class OutputFile {
  public:
    // Checks the target and makes the temporary file; throws when the name
    // is empty or a folder, the folder is missing, the target is read-only,
    // or the temporary file cannot be made.
    explicit OutputFile(std::string path, OutputErrors errors = OutputErrors::Export);
    // Without Commit: the temporary file goes, the target stays as it was.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Buffered.
    void Write(std::string_view bytes);
    // Writes out what is buffered, then bytes, unbuffered: for a writer
    // that keeps a buffer of its own.
    void WriteNow(std::string_view bytes);
    // Writes out what is buffered, closes, and gives the file its name.
    void Commit();

    // For a library that writes the file by name itself: the name to open
    // (the temporary file, or the target when it is written directly),
    // and then CommitWritten instead of Commit.
    const std::string& writePath() const { return writePath_; }
    void CommitWritten();

    const std::string& path() const { return path_; }
    // The descriptor written (for advice such as write-behind); -1 once
    // committed.
    int fd() const { return fd_; }
    bool toStdout() const { return fd_ == 1 && direct_; }

    // Failure as this file's surface words it; never returns.
    [[noreturn]] void Fail(int err) const;

  private:
    [[noreturn]] void Refuse(MessageCode code, const std::string& subject, int err) const;
    void Flush();
    void WriteAll(const char* data, size_t size);
    void CloseDescriptor();

    std::string path_;    // as the user named it, for messages
    std::string target_;  // where the file goes (a link followed)
    std::string folder_;  // the target's folder
    std::string writePath_;
    OutputErrors errors_;
    int fd_ = -1;
    int slot_ = -1;         // the temporary name's entry in temporary_names
    bool direct_ = false;   // writing the target itself (no renaming)
    bool unnamed_ = false;  // O_TMPFILE: no name until Commit
    bool inPlace_ = false;  // writing over an existing file (no other way)
    bool committed_ = false;
    std::string tempName_;  // the named temporary file, when there is one
    std::string buffer_;
};

// For the tests: false makes every later OutputFile use a named temporary
// file, as on a filesystem without unnamed files.
void AllowUnnamedTemporaries(bool allow);

}  // namespace lv
