#include "core/export/pdf_outline.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "encoding/utf8.h"

namespace lv {
namespace {

// An object of the page tree or the catalog is read whole; none that Qt
// writes comes near this, and a damaged offset cannot make a huge read.
constexpr uint64_t kLargestObject = 64u << 20;

[[noreturn]] void Refuse(const std::string& why) {
    throw PdfOutlineError(why);
}

std::string ReadAt(int fd, uint64_t size, uint64_t offset, uint64_t length) {
    if (offset > size) Refuse("an offset beyond the end");
    length = std::min(length, size - offset);
    std::string bytes(length, '\0');
    size_t done = 0;
    while (done < length) {
        const ssize_t n =
            pread(fd, bytes.data() + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Refuse(std::string("reading it back: ") + std::strerror(errno));
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

// The unsigned number at text[pos] after white space; pos moves past it.
std::optional<uint64_t> NumberAt(std::string_view text, size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    pos = static_cast<size_t>(end - text.data());
    return value;
}

// The object number of "KEY n g R" in a dictionary's text.
std::optional<uint64_t> ReferenceOf(std::string_view dict, std::string_view key) {
    size_t at = 0;
    while ((at = dict.find(key, at)) != std::string_view::npos) {
        size_t pos = at + key.size();
        at = pos;
        if (pos < dict.size() && !IsSpace(dict[pos])) continue;  // a longer name
        const auto number = NumberAt(dict, pos);
        const auto generation = NumberAt(dict, pos);
        while (pos < dict.size() && IsSpace(dict[pos])) ++pos;
        if (number && generation && pos < dict.size() && dict[pos] == 'R') return number;
    }
    return std::nullopt;
}

struct CrossReference {
    uint64_t offset = 0;  // of the "xref" keyword
    std::string trailer;  // the trailer's dictionary
};

CrossReference LastCrossReference(int fd, uint64_t size) {
    const uint64_t tailLength = std::min<uint64_t>(size, 1024);
    const std::string tail = ReadAt(fd, size, size - tailLength, tailLength);
    const size_t start = tail.rfind("startxref");
    if (start == std::string::npos) Refuse("no startxref");
    size_t pos = start + 9;
    const auto offset = NumberAt(tail, pos);
    if (!offset || *offset >= size) Refuse("no cross-reference offset");
    CrossReference x;
    x.offset = *offset;
    const std::string head = ReadAt(fd, size, x.offset, 4);
    if (head != "xref") Refuse("no classic cross-reference table");
    return x;
}

constexpr uint64_t kNoObject = UINT64_MAX;

// The offset of object number in the table at xref (kNoObject: none), and
// the trailer after the table.
uint64_t ObjectOffset(int fd, uint64_t size, CrossReference& x, uint64_t number) {
    uint64_t position = x.offset + 4;
    std::optional<uint64_t> found;
    for (int sections = 0;; ++sections) {
        if (sections > 100000) Refuse("too many cross-reference sections");
        const std::string header = ReadAt(fd, size, position, 64);
        size_t pos = 0;
        while (pos < header.size() && IsSpace(header[pos])) ++pos;
        if (header.compare(pos, 7, "trailer") == 0) {
            const uint64_t start = position + pos + 7;
            std::string text = ReadAt(fd, size, start, 4096);
            const size_t end = text.find("startxref");
            x.trailer = text.substr(0, end == std::string::npos ? text.size() : end);
            break;
        }
        const auto first = NumberAt(header, pos);
        const auto count = NumberAt(header, pos);
        if (!first || !count || *count > size / 20) Refuse("a damaged cross-reference table");
        while (pos < header.size() && header[pos] != '\n' && header[pos] != '\r') ++pos;
        while (pos < header.size() && (header[pos] == '\n' || header[pos] == '\r')) ++pos;
        const uint64_t entries = position + pos;
        if (number >= *first && number - *first < *count) {
            const std::string entry = ReadAt(fd, size, entries + 20 * (number - *first), 20);
            size_t at = 0;
            const auto offset = NumberAt(entry, at);
            if (entry.size() < 18 || entry[17] != 'n' || !offset) Refuse("a free object");
            found = offset;
        }
        position = entries + 20 * *count;
    }
    if (number == kNoObject) return 0;
    if (!found || *found >= size) Refuse("an object missing from the table");
    return *found;
}

// The text of object number between "obj" and "endobj".
std::string ObjectText(int fd, uint64_t size, CrossReference& x, uint64_t number) {
    const uint64_t offset = ObjectOffset(fd, size, x, number);
    std::string text = ReadAt(fd, size, offset, kLargestObject);
    const size_t start = text.find("obj");
    const size_t end = text.find("endobj");
    if (start == std::string::npos || end == std::string::npos || end < start)
        Refuse("an object without its end");
    size_t pos = 0;
    const auto stated = NumberAt(text, pos);
    if (!stated || *stated != number) Refuse("an object that is not where the table says");
    return text.substr(start + 3, end - start - 3);
}

std::vector<uint64_t> PageObjects(std::string_view pages) {
    const size_t kids = pages.find("/Kids");
    if (kids == std::string_view::npos) Refuse("a page tree without pages");
    const size_t open = pages.find('[', kids), close = pages.find(']', kids);
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        Refuse("a damaged page list");
    const std::string_view list = pages.substr(open + 1, close - open - 1);
    std::vector<uint64_t> out;
    size_t pos = 0;
    while (true) {
        const auto number = NumberAt(list, pos);
        if (!number) break;
        const auto generation = NumberAt(list, pos);
        while (pos < list.size() && IsSpace(list[pos])) ++pos;
        if (!generation || pos >= list.size() || list[pos] != 'R') Refuse("a damaged page list");
        ++pos;
        out.push_back(*number);
    }
    // A flat tree counts as many pages as it lists.
    const size_t count = pages.find("/Count");
    size_t pos2 = count == std::string_view::npos ? pages.size() : count + 6;
    if (NumberAt(pages, pos2) != out.size()) Refuse("a page tree of more than one level");
    return out;
}

void AppendReference(std::string& out, uint64_t number) {
    out += std::to_string(number);
    out += " 0 R";
}

}  // namespace

std::string PdfTextString(std::string_view utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    auto unit = [&](uint32_t u) {
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
    };
    while (!utf8.empty()) {
        bool valid = false;
        const size_t length = Utf8Unit(utf8, &valid);
        uint32_t code = 0xFFFD;
        if (valid) {
            const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
            if (length == 1) code = b[0];
            if (length == 2) code = (b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu);
            if (length == 3) code = (b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu);
            if (length == 4)
                code = (b[0] & 0x07u) << 18 | (b[1] & 0x3Fu) << 12 | (b[2] & 0x3Fu) << 6 |
                       (b[3] & 0x3Fu);
        }
        if (code < 0x20) code = 0xFFFD;
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
        utf8.remove_prefix(length);
    }
    return out + ">";
}

std::string PdfOutlineUpdate(int fd, uint64_t size, const std::vector<PdfMark>& marks,
                             const std::function<std::string(size_t)>& title) {
    CrossReference x = LastCrossReference(fd, size);
    ObjectOffset(fd, size, x, kNoObject);  // reads the trailer
    const std::string trailer = x.trailer;
    const auto root = ReferenceOf(trailer, "/Root");
    uint64_t objects = 0;
    {
        const size_t at = trailer.find("/Size");
        size_t pos = at == std::string::npos ? trailer.size() : at + 5;
        objects = NumberAt(trailer, pos).value_or(0);
    }
    if (!root || objects == 0 || objects > size) Refuse("a trailer without its catalog");
    const std::string catalog = ObjectText(fd, size, x, *root);
    if (catalog.find("/Outlines") != std::string::npos) Refuse("it has bookmarks already");
    const auto pagesNumber = ReferenceOf(catalog, "/Pages");
    if (!pagesNumber) Refuse("a catalog without pages");
    const std::vector<uint64_t> pages = PageObjects(ObjectText(fd, size, x, *pagesNumber));
    for (const PdfMark& m : marks)
        if (m.page >= pages.size()) Refuse("a bookmark to a page it does not have");

    const size_t close = catalog.rfind(">>");
    if (close == std::string::npos) Refuse("a catalog that is not a dictionary");

    std::string out = "\n";
    std::vector<uint64_t> offsets;  // of the new objects, the outline's first
    const uint64_t first = objects;
    auto begin = [&](uint64_t number) {
        offsets.push_back(size + out.size());
        out += std::to_string(number) + " 0 obj\n";
    };
    const size_t n = marks.size();
    begin(first);
    out += "<< /Type /Outlines /Count " + std::to_string(n);
    if (n) {
        out += " /First ";
        AppendReference(out, first + 1);
        out += " /Last ";
        AppendReference(out, first + n);
    }
    out += " >>\nendobj\n";
    char number[64];
    for (size_t i = 0; i < n; ++i) {
        begin(first + 1 + i);
        out += "<< /Title " + PdfTextString(title(i)) + " /Parent ";
        AppendReference(out, first);
        if (i > 0) {
            out += " /Prev ";
            AppendReference(out, first + i);
        }
        if (i + 1 < n) {
            out += " /Next ";
            AppendReference(out, first + 2 + i);
        }
        out += " /Dest [";
        AppendReference(out, pages[marks[i].page]);
        // to_chars, not printf: a point whatever the locale says.
        const double top = std::isfinite(marks[i].top) ? marks[i].top : 0;
        const auto written =
            std::to_chars(number, number + sizeof number, top, std::chars_format::fixed, 2);
        out += " /XYZ 0 ";
        out.append(number, written.ec == std::errc() ? written.ptr : number);
        out += " 0] >>\nendobj\n";
    }
    const uint64_t catalogOffset = size + out.size();
    out += std::to_string(*root) + " 0 obj\n" + catalog.substr(0, close);
    out += "/Outlines ";
    AppendReference(out, first);
    out += "\n/PageMode /UseOutlines\n" + catalog.substr(close) + "endobj\n";

    const uint64_t xref = size + out.size();
    auto entry = [&](uint64_t offset) {
        std::snprintf(number, sizeof number, "%010" PRIu64 " 00000 n \n", offset);
        out += number;
    };
    out += "xref\n0 1\n0000000000 65535 f \n";
    out += std::to_string(*root) + " 1\n";
    entry(catalogOffset);
    out += std::to_string(first) + " " + std::to_string(offsets.size()) + "\n";
    for (uint64_t offset : offsets) entry(offset);
    out += "trailer\n<< /Size " + std::to_string(first + offsets.size()) + " /Root ";
    AppendReference(out, *root);
    if (const auto info = ReferenceOf(trailer, "/Info")) {
        out += " /Info ";
        AppendReference(out, *info);
    }
    out += " /Prev " + std::to_string(x.offset) + " >>\nstartxref\n" + std::to_string(xref) +
           "\n%%EOF\n";
    return out;
}

}  // namespace lv
