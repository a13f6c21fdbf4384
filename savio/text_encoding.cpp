#include "savio/text_encoding.h"

#include <string>

namespace savio {
namespace {

std::string Normalised(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_' || c == ' ') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

std::string CodePageName(int code) {
    switch (code) {
        case 1:
            return "IBM037";
        case 4:
            return "CP932";
        case 437:
            return "IBM437";
        case 850:
            return "IBM850";
        case 874:
            return "WINDOWS-874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "BIG5";
        case 10000:
            return "MACINTOSH";
        case 20127:
            return "US-ASCII";
        case 20932:
        case 51932:
            return "EUC-JP";
        case 28603:
            return "ISO-8859-13";
        case 28605:
            return "ISO-8859-15";
        case 51949:
            return "EUC-KR";
        case 54936:
            return "GB18030";
        case 65001:
            return "UTF-8";
        default:
            break;
    }
    if (code >= 1250 && code <= 1258) return "WINDOWS-" + std::to_string(code);
    if (code >= 28591 && code <= 28599) return "ISO-8859-" + std::to_string(code - 28590);
    return std::string();
}

// Length of the character that starts at text[i] (at least 1).
size_t CharLength(std::string_view text, size_t i, CharLayout layout) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t left = text.size() - i;
    size_t n = 1;
    switch (layout) {
        case CharLayout::SingleByte:
            break;
        case CharLayout::Utf8:
            if (b >= 0xF0 && b <= 0xF4)
                n = 4;
            else if (b >= 0xE0)
                n = 3;
            else if (b >= 0xC2 && b < 0xE0)
                n = 2;
            // Only count the bytes that really continue the character.
            for (size_t k = 1; k < n; ++k) {
                if (k >= left || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                    n = k;
                    break;
                }
            }
            return n;
        case CharLayout::ShiftJis:
            if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) n = 2;
            break;
        case CharLayout::DoubleByte:
            if (b >= 0x81 && b <= 0xFE) n = 2;
            break;
        case CharLayout::EucJp:
            if (b == 0x8F)
                n = 3;
            else if (b == 0x8E || (b >= 0xA1 && b <= 0xFE))
                n = 2;
            break;
        case CharLayout::Gb18030:
            if (b >= 0x81 && b <= 0xFE) {
                n = 2;
                if (left >= 2) {
                    const auto t = static_cast<unsigned char>(text[i + 1]);
                    if (t >= 0x30 && t <= 0x39) n = 4;
                }
            }
            break;
    }
    return n;
}

}  // namespace

std::string EncodingName(std::string_view encodingRecord, int characterCode) {
    if (!encodingRecord.empty()) return std::string(encodingRecord);
    return CodePageName(characterCode);
}

CharLayout LayoutOf(std::string_view encodingName, std::string_view sample) {
    const std::string n = Normalised(encodingName);
    if (n.empty()) return IsValidUtf8(sample) ? CharLayout::Utf8 : CharLayout::ShiftJis;
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

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        size_t n;
        if (b < 0x80)
            n = 1;
        else if (b >= 0xC2 && b < 0xE0)
            n = 2;
        else if (b >= 0xE0 && b < 0xF0)
            n = 3;
        else if (b >= 0xF0 && b <= 0xF4)
            n = 4;
        else
            return false;
        if (text.size() - i < n) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace savio
