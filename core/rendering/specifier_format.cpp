#include "core/rendering/specifier_format.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/rendering/decimal_separator.h"
#include "core/rendering/format_digits.h"
#include "core/rendering/format_fixed.h"
#include "core/state/errors.h"
#include "encoding/charcut.h"

namespace lv {

FormatArg::FormatArg(const char* v) : kind_(Kind::Text), text_{v, v ? std::strlen(v) : 0} {
    if (v == nullptr) text_.data = "";
}

namespace {

constexpr size_t kMessageSpecifierBytes = 31;

// The specifier (its first length bytes of fromPercent) as the error
// messages show it: at most 31 bytes, cut between two characters of the
// message's text (UTF-8, as the error box shows it), judged on the pattern
// so that a character begun by the 31st byte goes whole.
std::string_view MessageSpecifier(std::string_view fromPercent, size_t length) {
    if (length < kMessageSpecifierBytes) return fromPercent.substr(0, length);
    return fromPercent.substr(
        0, CutAtCharBoundary(fromPercent, kMessageSpecifierBytes, CharLayout::Utf8));
}

[[noreturn]] void ThrowInvalid(std::string_view specifier) {
    throw ConversionError(Message{MessageCode::SpecifierMismatch, {std::string(specifier)}});
}

[[noreturn]] void ThrowMissing(std::string_view specifier) {
    throw ConversionError(Message{MessageCode::SpecifierMissingArgument, {std::string(specifier)}});
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal digits from pattern[pos], saturating instead of overflowing.
int ParseNumber(std::string_view pattern, size_t& pos) {
    int value = 0;
    while (pos < pattern.size() && IsDigit(pattern[pos])) {
        int digit = pattern[pos++] - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
    return value;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

void Pad(std::string& out, const char* text, size_t length, int width, bool left) {
    if (width <= 0 || static_cast<size_t>(width) <= length) {
        out.append(text, length);
        return;
    }
    // One append of the whole field, then the text copied into it.
    size_t start = out.size();
    out.append(static_cast<size_t>(width), ' ');
    std::memcpy(out.data() + start + (left ? 0 : width - length), text, length);
}

void AppendDecimal(std::string& out, int32_t v, int width, int precision, bool left) {
    char digits[24];
    char* end = digits + sizeof digits;
    uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    int minDigits = precision >= 0 && precision <= 15 ? std::max(precision, 1) : 1;
    char* first = detail::WriteDigitsBackward(end, magnitude, minDigits);
    if (v < 0) *--first = '-';
    Pad(out, first, end - first, width, left);
}

}  // namespace

// Reads one specifier starting at its "%"; complete is false when the
// pattern ends before the type byte.
struct SpecifierParser {
    static size_t ParseAt(std::string_view pattern, size_t pos, Specifier& spec, bool& complete) {
        size_t start = pos++;
        if (pos < pattern.size() && pattern[pos] == '-') {
            spec.left_ = true;
            ++pos;
        }
        if (pos < pattern.size() && IsDigit(pattern[pos])) spec.width_ = ParseNumber(pattern, pos);
        if (pos < pattern.size() && pattern[pos] == '.') {
            ++pos;
            spec.precision_ = ParseNumber(pattern, pos);
        }
        complete = pos < pattern.size();
        if (complete) spec.type_ = LowerAscii(pattern[pos++]);
        std::string_view shown = MessageSpecifier(pattern.substr(start), pos - start);
        std::memcpy(spec.text_, shown.data(), shown.size());
        spec.textLength_ = static_cast<uint8_t>(shown.size());
        return pos;
    }
};

std::optional<Specifier> Specifier::Parse(std::string_view pattern) {
    if (pattern.empty() || pattern[0] != '%') return std::nullopt;
    Specifier spec;
    bool complete = false;
    size_t end = SpecifierParser::ParseAt(pattern, 0, spec, complete);
    if (!complete || end != pattern.size()) return std::nullopt;
    return spec;
}

void Specifier::ThrowMismatch() const {
    ThrowInvalid(text());
}

void Specifier::AppendFloat(std::string& out, double v, char decimalSeparator) const {
    if (type_ != 'f') ThrowMismatch();
    char text[detail::kFixedMaxChars];
    int length = detail::RenderFixed(text, v, detail::FixedDecimals(precision_), decimalSeparator);
    Pad(out, text, length, width_, left_);
}

void Specifier::AppendInt(std::string& out, int32_t v) const {
    if (type_ != 'd') ThrowMismatch();
    AppendDecimal(out, v, width_, precision_, left_);
}

void Specifier::AppendText(std::string& out, std::string_view text) const {
    if (type_ != 's') ThrowMismatch();
    if (precision_ >= 0 && static_cast<size_t>(precision_) < text.size())
        text = text.substr(0, precision_);
    Pad(out, text.data(), text.size(), width_, left_);
}

void Specifier::Append(std::string& out, const FormatArg& arg, char decimalSeparator) const {
    switch (arg.kind()) {
        case FormatArg::Kind::Int:
            AppendInt(out, arg.asInt());
            return;
        case FormatArg::Kind::Float:
            AppendFloat(out, arg.asFloat(), decimalSeparator);
            return;
        case FormatArg::Kind::Text:
        case FormatArg::Kind::Char:
            AppendText(out, arg.asText());
            return;
    }
}

void AppendFormat(std::string& out, std::string_view pattern, std::span<const FormatArg> args) {
    char separator = DecimalSeparator();
    size_t next = 0;
    size_t pos = 0;
    while (pos < pattern.size()) {
        size_t percent = pattern.find('%', pos);
        if (percent == std::string_view::npos) {
            out.append(pattern.substr(pos));
            return;
        }
        out.append(pattern.substr(pos, percent - pos));
        Specifier spec;
        bool complete = false;
        pos = SpecifierParser::ParseAt(pattern, percent, spec, complete);
        char type = spec.type();
        if (!complete || (type != 'd' && type != 's' && type != 'f')) ThrowInvalid(spec.text());
        if (next >= args.size()) ThrowMissing(spec.text());
        spec.Append(out, args[next++], separator);
    }
}

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    AppendFormat(out, pattern, std::span<const FormatArg>(args.begin(), args.size()));
    return out;
}

void AppendFixed(std::string& out, double v, int width, int decimals, char decimalSeparator) {
    char text[detail::kFixedMaxChars];
    int length = detail::RenderFixed(text, v, detail::FixedDecimals(decimals), decimalSeparator);
    Pad(out, text, length, width, false);
}

void AppendDate(std::string& out, int year, int month, int day) {
    AppendDecimal(out, year, 4, -1, false);
    out += '/';
    AppendDecimal(out, month, 2, 2, false);
    out += '/';
    AppendDecimal(out, day, 2, 2, false);
}

}  // namespace lv
