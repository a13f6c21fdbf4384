#include "core/text/encoding_choices.h"

#include <array>
#include <cctype>

namespace lv {
namespace {

// All names glibc's iconv knows. Where Windows extends an older standard
// (CP932 over Shift_JIS, CP949 over EUC-KR, CP950 over Big5, GB18030 over
// GBK, CP874 over TIS-620) the extension is the one offered, as it decodes
// both.
constexpr std::array kChoices = {
    EncodingChoice{"UTF-8", "UTF-8", "UTF8", 0},
    EncodingChoice{"CP932", "Shift_JIS (CP932)", "Shift_JIS SJIS Windows-31J MS932", 1},
    EncodingChoice{"EUC-JP", "EUC-JP", "", 1},
    EncodingChoice{"GB18030", "GBK / GB18030", "GBK GB2312 CP936 EUC-CN", 2},
    EncodingChoice{"CP950", "Big5 (CP950)", "Big5", 2},
    EncodingChoice{"CP949", "EUC-KR (CP949)", "EUC-KR UHC", 2},
    EncodingChoice{"WINDOWS-1252", "windows-1252", "CP1252", 3},
    EncodingChoice{"ISO-8859-1", "ISO-8859-1", "Latin1", 3},
    EncodingChoice{"ISO-8859-15", "ISO-8859-15", "Latin9", 3},
    EncodingChoice{"MACINTOSH", "Mac OS Roman", "MacRoman", 3},
    EncodingChoice{"WINDOWS-1250", "windows-1250", "CP1250", 4},
    EncodingChoice{"ISO-8859-2", "ISO-8859-2", "Latin2", 4},
    EncodingChoice{"WINDOWS-1257", "windows-1257", "CP1257", 4},
    EncodingChoice{"WINDOWS-1251", "windows-1251", "CP1251", 5},
    EncodingChoice{"KOI8-R", "KOI8-R", "", 5},
    EncodingChoice{"KOI8-U", "KOI8-U", "", 5},
    EncodingChoice{"ISO-8859-5", "ISO-8859-5", "", 5},
    EncodingChoice{"WINDOWS-1253", "windows-1253", "CP1253", 6},
    EncodingChoice{"ISO-8859-7", "ISO-8859-7", "", 6},
    EncodingChoice{"WINDOWS-1254", "windows-1254", "CP1254", 6},
    EncodingChoice{"ISO-8859-9", "ISO-8859-9", "Latin5", 6},
    EncodingChoice{"WINDOWS-1255", "windows-1255", "CP1255", 7},
    EncodingChoice{"ISO-8859-8", "ISO-8859-8", "", 7},
    EncodingChoice{"WINDOWS-1256", "windows-1256", "CP1256", 7},
    EncodingChoice{"CP874", "TIS-620 (windows-874)", "TIS-620 windows-874", 8},
    EncodingChoice{"WINDOWS-1258", "windows-1258", "CP1258", 8},
};

std::string Folded(std::string_view name) {
    std::string folded;
    for (unsigned char c : name)
        if (c != '-' && c != '_' && c != ' ') folded += static_cast<char>(std::tolower(c));
    return folded;
}

bool AliasMatches(std::string_view aliases, const std::string& folded) {
    while (!aliases.empty()) {
        const size_t blank = aliases.find(' ');
        if (Folded(aliases.substr(0, blank)) == folded) return true;
        if (blank == std::string_view::npos) break;
        aliases.remove_prefix(blank + 1);
    }
    return false;
}

}  // namespace

std::span<const EncodingChoice> EncodingChoices() {
    return kChoices;
}

std::optional<std::string> ParseEncodingName(std::string_view name) {
    const std::string folded = Folded(name);
    if (folded.empty()) return std::nullopt;
    if (folded == "auto") return std::string();
    for (const EncodingChoice& choice : kChoices) {
        if (Folded(choice.name) == folded || AliasMatches(choice.aliases, folded))
            return std::string(choice.name);
    }
    return std::nullopt;
}

std::string AcceptedEncodingNames() {
    std::string names = "auto";
    for (const EncodingChoice& choice : kChoices) {
        names += ", ";
        names += choice.name;
        if (choice.aliases.empty()) continue;
        names += " (";
        for (char c : choice.aliases) names += c == ' ' ? std::string(", ") : std::string(1, c);
        names += ')';
    }
    return names;
}

}  // namespace lv
