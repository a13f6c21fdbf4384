#include "core/export/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

#include "core/export/output_file.h"
#include "core/state/errors.h"

namespace lv {

TextFileWriter::TextFileWriter() : buffer_(new char[kBufferSize]) {}

TextFileWriter::~TextFileWriter() = default;

void TextFileWriter::Create(const std::string& path) {
    if (out_) Close();
    failedCode_ = 0;
    used_ = 0;
    out_ = std::make_unique<OutputFile>(path == "-" ? "./-" : path, OutputErrors::InOut);
    struct stat st;
    regular_ = ::fstat(out_->fd(), &st) == 0 && S_ISREG(st.st_mode);
    written_ = submitted_ = released_ = 0;
}

void TextFileWriter::CheckWritable() const {
    if (failedCode_ != 0) throw InOutError(failedCode_);
    if (!out_) throw InOutError(kInOutNotOpen);
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
    try {
        out_->WriteNow(std::string_view(data, size));
    } catch (const InOutError& e) {
        Fail(e.code);
    }
    written_ += size;
    if (regular_ && written_ - submitted_ >= kWritebackChunk) WriteBehind();
}

// Starts the write-back of what was written since the last call and releases
// the range before that, whose write-back has had a chunk's time to finish.
// Pages still dirty or under write-back are kept by the system, so a slow
// disk only means fewer pages released. Both calls are advice: their
// failures change nothing about the file and are ignored.
void TextFileWriter::WriteBehind() {
    const int fd = out_->fd();
    ::sync_file_range(fd, static_cast<off_t>(submitted_), static_cast<off_t>(written_ - submitted_),
                      SYNC_FILE_RANGE_WRITE);
    if (submitted_ > released_)
        ::posix_fadvise(fd, static_cast<off_t>(released_),
                        static_cast<off_t>(submitted_ - released_), POSIX_FADV_DONTNEED);
    released_ = submitted_;
    submitted_ = written_;
}

void TextFileWriter::Fail(int code) {
    failedCode_ = code;
    used_ = 0;
    throw InOutError(code);
}

void TextFileWriter::Discard() {
    out_.reset();
    used_ = 0;
    failedCode_ = 0;
}

void TextFileWriter::Close() {
    if (!out_) return;
    int firstError = failedCode_;
    if (firstError == 0) {
        try {
            if (used_ > 0) Flush();
            out_->Commit();
        } catch (const InOutError& e) {
            firstError = e.code;
        }
    }
    Discard();
    if (firstError != 0) throw InOutError(firstError);
}

}  // namespace lv
