#include "core/text/display_line.h"

#include "core/text/display_encoding.h"

namespace lv {

DisplayLine& DisplayLine::Literal(std::string_view utf8) {
    if (!pieces_.empty() && !pieces_.back().fromFile) {
        pieces_.back().bytes.append(utf8);
    } else if (!utf8.empty()) {
        pieces_.push_back({std::string(utf8), false});
    }
    return *this;
}

DisplayLine& DisplayLine::FromFile(std::string_view bytes) {
    if (!pieces_.empty() && pieces_.back().fromFile) {
        pieces_.back().bytes.append(bytes);
    } else if (!bytes.empty()) {
        pieces_.push_back({std::string(bytes), true});
    }
    return *this;
}

DisplayLine& DisplayLine::Append(const DisplayLine& other) {
    for (const LinePiece& p : other.pieces_) {
        if (p.fromFile) {
            FromFile(p.bytes);
        } else {
            Literal(p.bytes);
        }
    }
    return *this;
}

std::string DisplayLine::Bytes() const {
    std::string out;
    out.reserve(ByteSize());
    for (const LinePiece& p : pieces_) out += p.bytes;
    return out;
}

size_t DisplayLine::ByteSize() const {
    size_t n = 0;
    for (const LinePiece& p : pieces_) n += p.bytes.size();
    return n;
}

std::string DisplayLine::ToUtf8(std::string_view encoding) const {
    std::string out;
    for (const LinePiece& p : pieces_) out += p.fromFile ? lv::ToUtf8(p.bytes, encoding) : p.bytes;
    return out;
}

std::vector<std::string> LineCollector::Bytes() const {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const DisplayLine& l : lines) out.push_back(l.Bytes());
    return out;
}

}  // namespace lv
