// libFuzzer target: the bytes as a finished PDF that the codebook's
// bookmarks are appended to (core/export/pdf_outline). A file it cannot
// extend is refused with PdfOutlineError; anything it accepts gets an update
// that ends the file, whatever the offsets and tables inside claim.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/export/pdf_outline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("pdf", 0);
    if (fd < 0) std::abort();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    const std::vector<lv::PdfMark> marks = {{0, 800}, {1, 400.5}};
    try {
        const std::string update = lv::PdfOutlineUpdate(fd, size, marks, [](size_t i) {
            return i ? std::string("\xE6\x97\xA5\xFF", 4) : std::string("a\x01(b)");
        });
        if (update.size() < 6 || update.compare(update.size() - 6, 6, "%%EOF\n") != 0) std::abort();
    } catch (const lv::PdfOutlineError&) {
    }
    return 0;
}
