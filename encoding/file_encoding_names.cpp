// A file's encoding name comes from its bytes, and iconv knows over a
// thousand names: wide encodings (UCS-4, UTF-16, WCHAR_T), stateful ones
// (ISO-2022-*, UTF-7, HZ, the EBCDIC DBCS pages), 7-bit national variants
// and EBCDIC would turn names, labels and blank padding into nonsense. A
// system file's layout needs blanks, digits and names in ASCII, so a name is
// accepted only when both tests pass:
//   1. it belongs to a family of encodings system files are written in (a
//      closed list: probing alone would accept odd charsets that happen to
//      pass, and the list alone would trust glibc's aliases blindly);
//   2. iconv converts it, each ASCII byte alone gives itself back (JIS-Roman
//      aside: Shift_JIS may read 0x5C and 0x7E as yen sign and overline),
//      and all of them in one run give what they gave alone (this catches
//      an alias that glibc maps to something else, and any shift state).
#include "encoding/file_encoding_names.h"

#include <iconv.h>

#include <array>
#include <cctype>
#include <string>

#include "encoding/charcut.h"

namespace lv {
namespace {

// Upper case, without '-', '_', blanks and dots.
std::string Folded(std::string_view name) {
    std::string out;
    for (unsigned char c : name)
        if (c != '-' && c != '_' && c != ' ' && c != '.') out += static_cast<char>(std::toupper(c));
    return out;
}

// "PREFIX" followed by one of numbers.
template <size_t N>
bool PrefixAndNumber(const std::string& folded, std::string_view prefix,
                     const std::array<int, N>& numbers) {
    if (folded.size() <= prefix.size() || folded.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = folded.substr(prefix.size());
    for (int n : numbers)
        if (rest == std::to_string(n)) return true;
    return false;
}

bool InFamily(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        // ASCII and Unicode
        "ASCII", "USASCII", "ANSIX341968", "UTF8",
        // single-byte code pages beyond the numbered families below
        "KOI8R", "KOI8U", "KOI8RU", "MACINTOSH", "MAC", "MACROMAN", "TIS620", "CP874", "WINDOWS874",
        // Japanese
        "SHIFTJIS", "SJIS", "MSKANJI", "CP932", "MS932", "WINDOWS31J", "EUCJP", "EUCJPMS",
        // Chinese
        "GBK", "CP936", "MS936", "GB2312", "EUCCN", "GB18030", "BIG5", "BIG5HKSCS", "CP950",
        "EUCTW",
        // Korean
        "EUCKR", "CP949", "UHC"};
    const std::string folded = Folded(name);
    for (std::string_view n : kNames)
        if (folded == n) return true;
    static constexpr std::array kIso = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16};
    static constexpr std::array kLatin = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    static constexpr std::array kWindows = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
    static constexpr std::array kDos = {437, 737, 775, 850, 852, 855, 857, 858,
                                        860, 861, 862, 863, 864, 865, 866, 869};
    return PrefixAndNumber(folded, "ISO8859", kIso) || PrefixAndNumber(folded, "LATIN", kLatin) ||
           PrefixAndNumber(folded, "WINDOWS", kWindows) ||
           PrefixAndNumber(folded, "CP", kWindows) || PrefixAndNumber(folded, "CP", kDos) ||
           PrefixAndNumber(folded, "IBM", kDos);
}

// Converts in with cd from its initial state into *out; false on any error.
bool Convert(iconv_t cd, const std::string& in, std::string* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out->assign(buffer, static_cast<size_t>(dst - buffer));
    return true;
}

bool AsciiMapsToItself(std::string_view name) {
    const iconv_t cd = iconv_open("UTF-8", std::string(name).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string all, alone, got;
    bool same = true;
    for (int b = 0; b < 0x80 && same; ++b) {
        const std::string one(1, static_cast<char>(b));
        same = Convert(cd, one, &got) &&
               (got == one || ((b == 0x5C || b == 0x7E) && got.size() >= 2 && got.size() <= 3));
        all += one;
        alone += got;
    }
    same = same && Convert(cd, all, &got) && got == alone;
    iconv_close(cd);
    return same;
}

}  // namespace

bool IsAsciiCompatibleEncoding(std::string_view name) {
    if (!InFamily(name)) return false;
    return LayoutOf(name) == CharLayout::Utf8 || AsciiMapsToItself(name);
}

}  // namespace lv
