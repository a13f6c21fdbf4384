// Specifier rendering: patterns such as "%8d", "%20.8f" or "%4d/%2.2d/%2.2d"
// applied to arguments, and the trimming of blanks. A specifier is "%", an
// optional "-" (left alignment), an optional width, an optional "." and
// precision, and a type letter d, s or f in either case; text outside
// specifiers is copied unchanged. A specifier that does not fit its argument
// raises ConversionError with the user's message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lv {

// One argument: a 32-bit integer (d), a floating value (f), a text or a
// single character (s). Texts are viewed, not copied: the argument must not
// outlive them.
class FormatArg {
  public:
    enum class Kind : uint8_t { Int, Float, Text, Char };

    FormatArg(int32_t v) : kind_(Kind::Int), int_(v) {}
    FormatArg(double v) : kind_(Kind::Float), float_(v) {}
    FormatArg(std::string_view v) : kind_(Kind::Text), text_{v.data(), v.size()} {}
    FormatArg(const std::string& v) : FormatArg(std::string_view(v)) {}
    // NUL-terminated; a null pointer is the empty text.
    FormatArg(const char* v);
    FormatArg(char v) : kind_(Kind::Char), char_(v) {}

    Kind kind() const { return kind_; }
    int32_t asInt() const { return int_; }
    double asFloat() const { return float_; }
    // The text of a Text or Char argument.
    std::string_view asText() const {
        return kind_ == Kind::Char ? std::string_view(&char_, 1)
                                   : std::string_view(text_.data, text_.size);
    }

  private:
    Kind kind_;
    union {
        int32_t int_;
        double float_;
        char char_;
        struct {
            const char* data;
            size_t size;
        } text_;
    };
};

// Renders pattern with args in order; throws ConversionError.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);
void AppendFormat(std::string& out, std::string_view pattern, std::span<const FormatArg> args);

// A pattern that is exactly one specifier, parsed once and applied many
// times. f texts use the separator the caller passes (DecimalSeparator() for
// the windows).
class Specifier {
  public:
    // Nothing unless the whole pattern is one specifier. The type byte is not
    // checked here: an unknown one fails when the specifier is applied.
    static std::optional<Specifier> Parse(std::string_view pattern);

    char type() const { return type_; }  // lower case
    bool left() const { return left_; }
    int width() const { return width_; }          // -1 when none
    int precision() const { return precision_; }  // -1 when none
    std::string_view text() const { return {text_, static_cast<size_t>(textLength_)}; }

    void AppendFloat(std::string& out, double v, char decimalSeparator) const;
    void AppendInt(std::string& out, int32_t v) const;
    void AppendText(std::string& out, std::string_view text) const;
    // Any argument; throws ConversionError when its kind does not fit.
    void Append(std::string& out, const FormatArg& arg, char decimalSeparator) const;

  private:
    friend struct SpecifierParser;
    [[noreturn]] void ThrowMismatch() const;

    bool left_ = false;
    char type_ = 0;
    uint8_t textLength_ = 0;
    int width_ = -1;
    int precision_ = -1;
    char text_[31] = {};  // as the error message shows it (cut to 31 bytes)
};

// "%<width>.<decimals>f" of v without parsing a pattern (width -1 for none;
// decimals outside 0..18 mean 2, as a precision does).
void AppendFixed(std::string& out, double v, int width, int decimals, char decimalSeparator);

// "%4d/%2.2d/%2.2d" of year, month and day.
void AppendDate(std::string& out, int year, int month, int day);

}  // namespace lv
