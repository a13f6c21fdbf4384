#include "code_pages.h"

#include <cctype>

namespace savio {
namespace {

struct Named {
    int code;
    std::string_view name;  // as iconv names it
};

// The codes read and written under one name each; a code listed twice reads
// as its first name.
constexpr Named kCodePages[] = {
    {1, "IBM037"},        {4, "CP932"},           {437, "IBM437"},        {850, "IBM850"},
    {874, "WINDOWS-874"}, {932, "CP932"},         {936, "CP936"},         {949, "CP949"},
    {950, "BIG5"},        {10000, "MACINTOSH"},   {20127, "US-ASCII"},    {20932, "EUC-JP"},
    {51932, "EUC-JP"},    {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {51949, "EUC-KR"},
    {54936, "GB18030"},   {65001, "UTF-8"},
};

// Other spellings of the names above, folded.
constexpr Named kAliases[] = {
    {65001, "UTF8"},        {932, "SHIFTJIS"},  {932, "SJIS"},       {932, "MSKANJI"},
    {932, "WINDOWS31J"},    {932, "MS932"},     {936, "GBK"},        {936, "MS936"},
    {949, "UHC"},           {950, "CP950"},     {950, "BIG5HKSCS"},  {20127, "ASCII"},
    {20127, "ANSIX341968"}, {10000, "MAC"},     {10000, "MACROMAN"}, {874, "CP874"},
    {874, "TIS620"},        {51932, "EUCJPMS"}, {936, "GB2312"},     {936, "EUCCN"},
};

// Upper case, without '-', '_', blanks and dots.
std::string Folded(std::string_view name) {
    std::string out;
    for (unsigned char c : name)
        if (c != '-' && c != '_' && c != ' ' && c != '.') out += static_cast<char>(std::toupper(c));
    return out;
}

// The number after prefix in folded, or -1.
int NumberAfter(const std::string& folded, std::string_view prefix) {
    if (folded.size() <= prefix.size() || folded.compare(0, prefix.size(), prefix) != 0) return -1;
    int n = 0;
    for (size_t i = prefix.size(); i < folded.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(folded[i])) || n > 100000) return -1;
        n = n * 10 + (folded[i] - '0');
    }
    return n;
}

}  // namespace

std::string CodePageEncoding(int code) {
    for (const Named& c : kCodePages)
        if (c.code == code) return std::string(c.name);
    if (code >= 1250 && code <= 1258) return "WINDOWS-" + std::to_string(code);
    if (code >= 28591 && code <= 28599) return "ISO-8859-" + std::to_string(code - 28590);
    return std::string();
}

int EncodingCodePage(std::string_view encoding) {
    const std::string folded = Folded(encoding);
    for (const Named& c : kCodePages)
        if (Folded(c.name) == folded && c.code != 4 && c.code != 20932) return c.code;
    for (const Named& c : kAliases)
        if (c.name == folded) return c.code;
    for (const char* prefix : {"WINDOWS", "CP"}) {
        const int n = NumberAfter(folded, prefix);
        if (n >= 1250 && n <= 1258) return n;
        if (n == 437 || n == 850) return n;
    }
    const int dos = NumberAfter(folded, "IBM");
    if (dos == 437 || dos == 850) return dos;
    const int iso = NumberAfter(folded, "ISO8859");
    if (iso >= 1 && iso <= 9) return 28590 + iso;
    if (iso == 13) return 28603;
    if (iso == 15) return 28605;
    // Latin-1 to Latin-5 and Latin-9 are ISO-8859-1..4, -9 and -15.
    static constexpr int kLatin[] = {0, 28591, 28592, 28593, 28594, 28599, 0, 28603, 0, 28605};
    const int latin = NumberAfter(folded, "LATIN");
    if (latin >= 1 && latin <= 9 && kLatin[latin]) return kLatin[latin];
    return 2;
}

}  // namespace savio
