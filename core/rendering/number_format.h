// The numeric print formats (F, COMMA, DOT, DOLLAR, PCT, E, CCA..CCE, N, Z
// and the hexadecimal PIBHEX and RBHEX) for FormatRender.
#pragma once

#include "core/rendering/print_format.h"

namespace lv::detail {

// Each writes exactly format.width bytes into buf (kMaxNumberText) and
// returns the length written.
int RenderDecimalFormat(const PrintFormat& format, char decimal, double value, char* buf);
int RenderN(const PrintFormat& format, double value, char* buf);
int RenderZ(const PrintFormat& format, double value, char* buf);
int RenderPibHex(const PrintFormat& format, double value, char* buf);
int RenderRbHex(const PrintFormat& format, double value, char* buf);

// Missing: blanks with a "." where the decimal point would stand.
int RenderMissing(const PrintFormat& format, char* buf);
// Asterisks over the whole width.
int RenderOverflow(const PrintFormat& format, char* buf);

}  // namespace lv::detail
