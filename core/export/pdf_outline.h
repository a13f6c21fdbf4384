// The bookmarks (the outline) of a PDF another library has written, added
// afterwards as an incremental update: the file's own bytes stay as they
// are, and what is appended holds the outline's items, a new version of
// the document catalog that names them, and a cross-reference section that
// points back at the file's own. The file must have a classic
// cross-reference table and a flat page tree (as Qt's PDF writer makes
// them); anything else is refused with a PdfOutlineError, never guessed.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lv {

struct PdfOutlineError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where an item leads: a page (0-based, in page order) and the height on
// it, in points from the page's bottom edge.
struct PdfMark {
    uint32_t page = 0;
    double top = 0;
};

// The bytes to append to the PDF of size bytes readable at fd (by pread)
// for one top-level outline item per mark, titled title(i) (UTF-8). Throws
// PdfOutlineError when the file is not one it can extend.
std::string PdfOutlineUpdate(int fd, uint64_t size, const std::vector<PdfMark>& marks,
                             const std::function<std::string(size_t)>& title);

// text (UTF-8) as a PDF text string: UTF-16BE with its byte-order mark,
// in hexadecimal; a byte that is not UTF-8 stands for U+FFFD.
std::string PdfTextString(std::string_view utf8);

}  // namespace lv
