// The text of one grid cell, rendered on demand from the value the load
// read. The grid window and the command-line tool both call this, and the
// as-displayed export renders through it, so screen and file agree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/rendering/specifier_format.h"
#include "core/state/message.h"

namespace lv {

// How the values of one variable become cell texts, decided once at load
// from the variable's type, print-format type, display specifier and width.
class ColumnRender {
  public:
    enum class Kind : unsigned char { String, Number, Date };

    ColumnRender() = default;
    // columnWidth: the (widened) display width; decimalSeparator: captured
    // when the load starts, so later changes of the regional settings do
    // not change texts already on screen.
    static ColumnRender Make(int varType, int printFormatType, std::string displayFormat,
                             int columnWidth, char decimalSeparator);

    Kind kind() const { return kind_; }
    int width() const { return width_; }

    // Whether rendering a value of this column raises a rendering error,
    // and its message. The error depends only on the specifier and the kind
    // of argument, never on the value, so it is known before any case is
    // read. System-missing values are never rendered and never raise.
    bool raises() const { return static_cast<bool>(error_); }
    const Message& error() const { return error_; }

    // A number (or, for a date column, a date value): the specifier's text,
    // right-aligned to the width with at most ten spaces.
    void AppendValue(std::string& out, double value) const;
    // System-missing (or not-a-number): "." aligned the same way.
    void AppendSysmis(std::string& out) const;
    // A string value (the bytes up to its first NUL): the specifier's text.
    void AppendText(std::string& out, std::string_view text) const;
    // The same for the value stored followed by blanks spaces, without
    // building that text first.
    void AppendPaddedText(std::string& out, std::string_view stored, size_t blanks) const;

    // Any text right-aligned as values are (at most ten spaces).
    void AppendAligned(std::string& out, std::string_view text) const;

  private:
    // text laid into the specifier's field (fieldWidth, left or right), the
    // field then right-aligned to the column as AppendAligned does.
    void AppendField(std::string& out, const char* text, size_t length) const;
    void RenderNumber(std::string& out, double value) const;
    void RenderDate(std::string& out, double value) const;

    Kind kind_ = Kind::Number;
    int width_ = 0;
    char separator_ = '.';
    bool standardDate_ = false;
    std::string pattern_;
    std::optional<Specifier> single_;  // when the pattern is one specifier alone
    // Shortcuts decided at Make: a number column whose pattern is one f
    // specifier, a string column whose pattern is one s specifier.
    bool fixed_ = false;
    bool plainText_ = false;
    int decimals_ = 2;
    Message error_;
};

// True when value is shown as "." (equal to SysmisValue, or not a number).
bool IsShownAsSysmis(double value, double sysmisValue);

}  // namespace lv
