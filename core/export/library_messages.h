// What a C library prints on standard error by itself (libxlsxwriter's
// "[ERROR] ..." lines), kept off the terminal: the program reports the
// failure in its own words. While a QuietLibrary lives on a thread,
// whatever that thread writes through stdio's stderr is dropped; other
// threads' messages, and everything written to std::cerr or straight to
// file descriptor 2, pass as before.
#pragma once

namespace lv {

class QuietLibrary {
  public:
    QuietLibrary();
    ~QuietLibrary();
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;
};

}  // namespace lv
