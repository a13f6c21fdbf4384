// The text of a value in its print format, as the statistics package shows
// it: numbers with grouping, currency and percent signs, scientific
// notation, zero-padded and zoned digits, dates, times, week days, months,
// strings and their hexadecimal form. Every text fills exactly the format's
// width (blank-padded); a value that does not fit loses decimals, then goes
// to scientific notation, and else shows asterisks. The decimal point comes
// from FormatSettings, never from the locale.
//
// A FormatRender is made once per variable and then renders into the
// caller's buffer without allocating.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/rendering/date_layout.h"
#include "core/rendering/format_traits.h"
#include "encoding/charcut.h"

namespace lv {

struct FormatSettings {
    // ',' gives every number format a decimal comma and "." grouping (DOT,
    // whose roles are always the other way, then shows "." and ",").
    char decimal = '.';
    // The first year a two-digit year stands for; 0 means 69 years before
    // the current year, as the package sets it.
    int epoch = 0;
};

// Enough for the text of any numeric format (at most 40 wide, with affixes).
inline constexpr int kMaxNumberText = 64;

class FormatRender {
  public:
    // The format a variable of varWidth bytes (0: numeric) is shown in, from
    // what the file wrote: width and decimals brought into what the type
    // allows (widening first to keep decimals); a type that is unknown or
    // does not fit the variable gives F8.2 for numbers, A<varWidth> for
    // strings. The binary formats (IB, PIB, P, PK, RB) show as F.
    static PrintFormat Normalize(PrintFormat written, int varWidth);

    FormatRender() = default;
    FormatRender(PrintFormat written, int varWidth, const FormatSettings& settings = {});

    const PrintFormat& format() const { return format_; }
    bool isString() const { return string_; }

    // A numeric value's text (format().width bytes) into buf, which holds
    // kMaxNumberText bytes; returns the length. Not-a-number and infinities
    // show as the package shows them.
    int RenderNumber(double value, char* buf) const;
    // System-missing: a "." where the format's decimal point would be.
    int RenderSysmis(char* buf) const;
    void AppendNumber(std::string& out, double value) const;
    void AppendSysmis(std::string& out) const;
    // A string value: stored followed by blanks spaces, shown as A (the
    // bytes) or AHEX (two hexadecimal digits per byte). A value longer than
    // an A format's width is cut between two characters of an encoding
    // laid out as chars (blanks then fill the width), never inside one.
    void AppendString(std::string& out, std::string_view stored, size_t blanks,
                      CharLayout chars = CharLayout::SingleByte) const;

  private:
    PrintFormat format_{fmt::F, 8, 2};
    bool string_ = false;
    FormatSettings settings_;
    bool decimal_ = false;  // F, COMMA, DOT, DOLLAR, PCT, E, CCA..CCE: RenderDecimalFormat
    detail::DateLayout dateLayout_;
};

}  // namespace lv
