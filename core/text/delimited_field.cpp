#include "core/text/delimited_field.h"

namespace lv {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number ("-1", "+2.5", "-1000.30", "-1e-5"): a spreadsheet
// reads it as that number, never as a formula.
bool IsPlainNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && IsDigit(text[i]);) ++i, ++digits;
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        const size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == start) return false;
    }
    return i == text.size();
}

bool LooksLikeFormula(std::string_view text) {
    if (text.empty() || IsPlainNumber(text)) return false;
    switch (text.front()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
            return true;
        default:
            return false;
    }
}

// Whether text holds a byte that CSV must quote or TSV must escape.
bool NeedsCare(std::string_view text, bool tsv) {
    for (const char c : text) {
        if (c == '\n' || c == '\r') return true;
        if (tsv ? (c == '\t' || c == '\\') : (c == ',' || c == '"')) return true;
    }
    return false;
}

}  // namespace

void AppendCsvText(std::string& out, std::string_view text) {
    const bool prefix = LooksLikeFormula(text);
    if (!prefix && !NeedsCare(text, false)) {
        out += text;
        return;
    }
    out += '"';
    if (prefix) out += '\'';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendTsvText(std::string& out, std::string_view text) {
    const bool prefix = LooksLikeFormula(text);
    if (!prefix && !NeedsCare(text, true)) {
        out += text;
        return;
    }
    if (prefix) out += '\'';
    for (const char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace lv
