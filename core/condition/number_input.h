// NUMBER's side of the condition language: a text read as a value of a
// numeric input format, as a statistics package reads a data field. The
// field is the text's first width bytes; blanks around it are skipped, and
// a blank field is system-missing.
#pragma once

#include <string_view>

#include "core/rendering/format_traits.h"

namespace lv {

// Whether NUMBER reads values of format type: F, COMMA, DOT, DOLLAR, PCT,
// E, N, and the dates and times ReadsFormattedDate reads.
bool ReadsNumberInput(int type);

// text read in format (one ReadsNumberInput reads); kConditionMissing
// (-DBL_MAX) when it is blank or is no value of the format. F, COMMA, DOT,
// DOLLAR, PCT and E take a sign, digits with the format's grouping
// character, a decimal point and an exponent (1e3, 1.5E-2, 1.5+2); COMMA,
// DOLLAR and PCT also a leading dollar sign or a trailing percent sign. N
// takes digits only. A number written without a point or an exponent has
// the format's decimals implied: "123" in F8.2 is 1.23.
double ReadFormattedNumber(std::string_view text, const PrintFormat& format);

}  // namespace lv
