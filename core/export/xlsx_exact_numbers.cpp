#include "core/export/xlsx_exact_numbers.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/text/number_text.h"

namespace lv {

std::FILE* ExactNumberStream::Wrap(std::FILE* file) {
    cookie_io_functions_t io{};
    io.read = Read;
    io.write = Write;
    io.seek = Seek;
    io.close = Close;
    std::FILE* stream = fopencookie(this, "w+", io);
    if (stream) file_ = file;
    stream_ = stream;
    return stream;
}

void ExactNumberStream::Push(double value) {
    // Nothing to say for a value that is not a number; its text stays.
    if (std::isfinite(value)) {
        const size_t start = queued_.size();
        AppendNumberText(queued_, value);
        for (size_t i = start; i < queued_.size(); ++i)
            if (queued_[i] == 'e') queued_[i] = 'E';
    }
    queued_ += '\0';
}

void ExactNumberStream::Filter(std::string_view text, std::string& out) {
    size_t i = 0;
    while (i < text.size()) {
        if (inValue_) {
            // The library's digits, up to the "</v>" that follows them.
            const size_t end = text.find('<', i);
            if (keep_) out.append(text.substr(i, end == std::string_view::npos ? end : end - i));
            if (end == std::string_view::npos) return;
            inValue_ = false;
            i = end;
            continue;
        }
        if (matched_ == 0) {
            const size_t lt = text.find('<', i);
            const size_t stop = lt == std::string_view::npos ? text.size() : lt;
            out.append(text.substr(i, stop - i));
            i = stop;
            if (i == text.size()) return;
        }
        const char c = text[i++];
        out += c;
        if (c == '<') {
            matched_ = 1;
        } else if (matched_ == 1 && c == 'v') {
            matched_ = 2;
        } else if (matched_ == 2 && c == '>') {
            matched_ = 0;
            inValue_ = true;
            const size_t end = queued_.find('\0', next_);
            keep_ = end == std::string::npos || end == next_;
            if (end != std::string::npos) {
                out.append(queued_, next_, end - next_);
                next_ = end + 1;
                // The texts taken go once they are most of the queue (a
                // row the library has not written yet stays queued).
                if (next_ > 4096 && next_ * 2 > queued_.size()) {
                    queued_.erase(0, next_);
                    next_ = 0;
                }
            }
        } else {
            matched_ = 0;
        }
    }
}

ssize_t ExactNumberStream::Write(void* self, const char* bytes, size_t size) {
    auto* s = static_cast<ExactNumberStream*>(self);
    s->filtered_.clear();
    s->Filter(std::string_view(bytes, size), s->filtered_);
    if (std::fwrite(s->filtered_.data(), 1, s->filtered_.size(), s->file_) != s->filtered_.size()) {
        if (errno == 0) errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(size);
}

ssize_t ExactNumberStream::Read(void* self, char* bytes, size_t size) {
    auto* s = static_cast<ExactNumberStream*>(self);
    const size_t n = std::fread(bytes, 1, size, s->file_);
    return n == 0 && std::ferror(s->file_) ? -1 : static_cast<ssize_t>(n);
}

int ExactNumberStream::Seek(void* self, off64_t* offset, int whence) {
    auto* s = static_cast<ExactNumberStream*>(self);
    if (std::fflush(s->file_) != 0 || fseeko(s->file_, *offset, whence) != 0) return -1;
    *offset = ftello(s->file_);
    return *offset < 0 ? -1 : 0;
}

int ExactNumberStream::Close(void* self) {
    auto* s = static_cast<ExactNumberStream*>(self);
    std::FILE* file = s->file_;
    s->file_ = nullptr;
    s->stream_ = nullptr;
    return file && std::fclose(file) == 0 ? 0 : -1;
}

}  // namespace lv
