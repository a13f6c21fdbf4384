#include "core/text/text_match.h"

#include <locale.h>
#include <wctype.h>

#include "core/text/shown_text.h"
#include "encoding/utf8.h"

namespace lv {
namespace {

// The C library's Unicode character data (present in every glibc).
locale_t UnicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    return locale;
}

// The code point of a valid UTF-8 character.
char32_t CodePoint(std::string_view unit) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(unit[k]); };
    const size_t n = unit.size();
    char32_t cp = n == 1 ? byte(0) : byte(0) & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (byte(k) & 0x3F);
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

void FoldInto(std::string& out, std::string_view text, bool ascii) {
    out.clear();
    if (ascii) {
        out.resize(text.size());
        for (size_t i = 0; i < text.size(); ++i) out[i] = AsciiLower(text[i]);
        return;
    }
    const locale_t locale = UnicodeLocale();
    while (!text.empty()) {
        bool valid = false;
        const size_t n = Utf8Unit(text, &valid);
        const std::string_view unit = text.substr(0, n);
        text.remove_prefix(n);
        if (!valid) {
            out.append(unit);  // as it is: it matches only itself
        } else if (n == 1) {
            out.push_back(AsciiLower(unit[0]));
        } else {
            const char32_t cp = CodePoint(unit);
            const wint_t lower = locale ? towlower_l(static_cast<wint_t>(cp), locale) : cp;
            AppendUtf8(out, static_cast<char32_t>(lower));
        }
    }
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    FoldInto(out, text, IsAscii(text));
    return out;
}

std::string_view WithoutPadding(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

TextMatcher::TextMatcher(std::string_view query, FindOptions options) : options_(options) {
    if (options.wholeCell) query = WithoutPadding(query);
    query_ = options.matchCase ? std::string(query) : FoldCase(query);
    asciiQuery_ = IsAscii(query_);
    trimmable_ = !query_.empty() && query_.front() != ' ' && query_.back() != ' ';
}

bool TextMatcher::MatchesFolded(std::string_view text) const {
    if (options_.wholeCell) return text == query_;
    return text.find(query_) != std::string_view::npos;
}

bool TextMatcher::MatchesShown(std::string_view text) const {
    if (query_.empty()) return false;
    if (options_.wholeCell) text = WithoutPadding(text);
    if (options_.matchCase) return MatchesFolded(text);
    FoldInto(folded_, text, IsAscii(text));
    return MatchesFolded(folded_);
}

bool TextMatcher::Matches(std::string_view bytes) const {
    if (query_.empty()) return false;
    // Padding cannot hold a part of a query that neither starts nor ends
    // with a blank: long padded strings are searched in their few bytes.
    if (options_.wholeCell || trimmable_) bytes = WithoutPadding(bytes);
    if (IsAscii(bytes)) {
        // An ASCII text cannot hold a query with other characters.
        if (!asciiQuery_) return false;
        if (options_.matchCase) return MatchesFolded(bytes);
        FoldInto(folded_, bytes, true);
        return MatchesFolded(folded_);
    }
    scratch_.clear();
    AppendShownText(scratch_, bytes);
    return MatchesShown(scratch_);
}

}  // namespace lv
