#include "core/condition/condition_words.h"

#include <cctype>

#include "core/condition/condition_functions.h"
#include "core/text/half_width.h"
#include "encoding/codec.h"

namespace lv {
namespace {

bool NameByte(unsigned char c) {
    return std::isalnum(c) || c == '.' || c == '_' || c == '$' || c == '#' || c == '@' || c >= 0x80;
}

}  // namespace

std::vector<std::string> ConditionWords(std::span<const ConditionVariable> variables,
                                        const std::string& encoding) {
    std::vector<std::string> words;
    words.reserve(variables.size() + 80);
    for (const DictVariable* v : variables) words.push_back(ToUtf8(v->longName, encoding));
    for (const char* f : {"MISSING", "SYSMIS", "VALUE", "ANY", "RANGE"})
        words.push_back(std::string(f) + "(");
    std::string names = ConditionFunctionNames();
    for (size_t at = 0; at < names.size();) {
        const size_t comma = names.find(", ", at);
        const std::string name = names.substr(at, comma - at);
        if (name != "MISSING" && name != "SYSMIS" && name != "VALUE" && name != "ANY" &&
            name != "RANGE")
            words.push_back(name + "(");
        at = comma == std::string::npos ? names.size() : comma + 2;
    }
    words.push_back("$CASENUM");
    words.push_back("$SYSMIS");
    return words;
}

size_t WordStart(std::string_view text, size_t cursor) {
    if (cursor > text.size()) cursor = text.size();
    // Inside a quoted string nothing is completed.
    char quote = 0;
    for (size_t i = 0; i < cursor; ++i) {
        char ascii = text[i];
        size_t length = FullWidthFormAt(text, i, &ascii);
        if (quote == 0 && (ascii == '\'' || ascii == '"'))
            quote = ascii;
        else if (quote != 0 && ascii == quote)
            quote = 0;
        if (length) i += length - 1;
    }
    if (quote) return cursor;
    size_t start = cursor;
    while (start > 0) {
        // Step back over one character: a full-width form reads as its ASCII.
        size_t before = start - 1;
        while (before > 0 && (static_cast<unsigned char>(text[before]) & 0xC0) == 0x80) --before;
        char ascii = text[before];
        if (FullWidthFormAt(text, before, &ascii) == 0) ascii = text[before];
        const auto c = static_cast<unsigned char>(ascii);
        if (!NameByte(c) || (c < 0x80 && std::isspace(c))) break;
        start = before;
    }
    // A number is no name.
    if (start < cursor && std::isdigit(static_cast<unsigned char>(text[start]))) return cursor;
    return start;
}

}  // namespace lv
