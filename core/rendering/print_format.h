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

namespace lv {

// The format type codes the files write.
namespace fmt {
inline constexpr int A = 1, AHEX = 2, COMMA = 3, DOLLAR = 4, F = 5, IB = 6, PIBHEX = 7, P = 8,
                     PIB = 9, PK = 10, RB = 11, RBHEX = 12, Z = 15, N = 16, E = 17, DATE = 20,
                     TIME = 21, DATETIME = 22, ADATE = 23, JDATE = 24, DTIME = 25, WKDAY = 26,
                     MONTH = 27, MOYR = 28, QYR = 29, WKYR = 30, PCT = 31, DOT = 32, CCA = 33,
                     CCE = 37, EDATE = 38, SDATE = 39, MTIME = 40, YMDHMS = 41;
}  // namespace fmt

struct PrintFormat {
    int type = fmt::F;
    int width = 8;
    int decimals = 2;
    bool operator==(const PrintFormat&) const = default;
};

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
    // bytes) or AHEX (two hexadecimal digits per byte).
    void AppendString(std::string& out, std::string_view stored, size_t blanks) const;

  private:
    PrintFormat format_;
    bool string_ = false;
    FormatSettings settings_;
    bool decimal_ = false;  // F, COMMA, DOT, DOLLAR, PCT, E, CCA..CCE: RenderDecimalFormat
    detail::DateLayout dateLayout_;
};

// True for the types whose values are seconds from 14 October 1582 (with a
// calendar date), and for those that hold durations in seconds.
bool IsCalendarFormat(int type);
bool IsDurationFormat(int type);

}  // namespace lv
