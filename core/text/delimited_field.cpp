#include "core/text/delimited_field.h"

namespace lv {
namespace {

bool LooksLikeFormula(std::string_view text) {
    if (text.empty()) return false;
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
