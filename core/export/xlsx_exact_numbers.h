// The data sheet's rows on their way to libxlsxwriter's temporary file,
// with every number written exactly. The library writes a number cell's
// value with printf's "%.16G": 16 significant digits (3.4339872044851463
// becomes 3.433987204485146), and the decimal point of the C locale in
// force, a comma under a German LC_NUMERIC, which no reader takes. This
// stream sits between the library and its temporary file (fopencookie) and
// replaces the text of each <v>...</v> with the shortest text that reads
// back as the double given to Push, in the order the numbers were written
// (the library writes a row's cells in column order, rows in order, and
// in a sheet of numbers and inline strings only number cells have a <v>).
// Texts are XML-escaped, so a string cannot hold "<v>".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lv {

class ExactNumberStream {
  public:
    // A stream that writes to file (and reads, seeks and closes it); null
    // when no stream can be made. The stream must not outlive this object.
    std::FILE* Wrap(std::FILE* file);

    // The stream Wrap made while it is open (the library closes it when it
    // writes the workbook, but not when it fails first).
    std::FILE* stream() const { return stream_; }

    // The value of the next number cell the library writes.
    void Push(double value);

    // The filter itself: text as the library writes it, the result onto
    // out (for the tests).
    void Filter(std::string_view text, std::string& out);

  private:
    static ssize_t Write(void* self, const char* bytes, size_t size);
    static ssize_t Read(void* self, char* bytes, size_t size);
    static int Seek(void* self, off64_t* offset, int whence);
    static int Close(void* self);

    std::FILE* file_ = nullptr;
    std::FILE* stream_ = nullptr;
    std::string queued_;  // texts of the numbers to come, each ended by '\0'
    size_t next_ = 0;     // where the next one starts
    int matched_ = 0;     // characters of "<v>" just seen
    bool inValue_ = false;
    bool keep_ = false;  // the library's own text stands (a value not queued)
    std::string filtered_;
};

}  // namespace lv
