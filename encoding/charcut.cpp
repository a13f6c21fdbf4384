#include "encoding/charcut.h"

#include <string>

#include "encoding/utf8.h"

namespace lv {
namespace {

std::string Normalised(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_' || c == ' ') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

}  // namespace

CharLayout LayoutOf(std::string_view encoding) {
    const std::string n = Normalised(encoding);
    if (n == "UTF8") return CharLayout::Utf8;
    if (n == "SHIFTJIS" || n == "SJIS" || n == "CP932" || n == "WINDOWS31J" || n == "MSKANJI" ||
        n == "MS932")
        return CharLayout::ShiftJis;
    if (n == "GBK" || n == "CP936" || n == "BIG5" || n == "BIG5HKSCS" || n == "CP950" ||
        n == "EUCKR" || n == "CP949" || n == "KSC5601" || n == "KSC56011987" || n == "UHC" ||
        n == "GB2312" || n == "EUCCN" || n == "EUCTW")
        return CharLayout::DoubleByte;
    if (n == "EUCJP") return CharLayout::EucJp;
    if (n == "GB18030") return CharLayout::Gb18030;
    return CharLayout::SingleByte;
}

size_t CharLength(std::string_view text, size_t i, CharLayout layout) {
    const auto b = static_cast<unsigned char>(text[i]);
    switch (layout) {
        case CharLayout::SingleByte:
            return 1;
        case CharLayout::Utf8: {
            bool valid = true;
            return Utf8Unit(text.substr(i), &valid);
        }
        case CharLayout::ShiftJis:
            return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
        case CharLayout::DoubleByte:
            return b >= 0x81 && b <= 0xFE ? 2 : 1;
        case CharLayout::EucJp:
            if (b == 0x8F) return 3;
            return b == 0x8E || (b >= 0xA1 && b <= 0xFE) ? 2 : 1;
        case CharLayout::Gb18030:
            if (b < 0x81 || b > 0xFE) return 1;
            if (text.size() - i >= 2) {
                const auto t = static_cast<unsigned char>(text[i + 1]);
                if (t >= 0x30 && t <= 0x39) return 4;
            }
            return 2;
    }
    return 1;
}

size_t CutAtCharBoundary(std::string_view text, size_t maxBytes, CharLayout layout) {
    if (text.size() <= maxBytes) return text.size();
    size_t i = 0;
    while (i < text.size()) {
        const size_t n = CharLength(text, i, layout);
        if (i + n > maxBytes) break;
        i += n;
    }
    return i;
}

}  // namespace lv
