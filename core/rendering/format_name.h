// Print and write formats as their usual text: F8.2, A40, DATE11.
#pragma once

#include <string>
#include <string_view>

namespace lv {

// The name of a format type code (F, A, DATE, ...); empty for an unknown code.
std::string_view FormatTypeName(int type);

// The name and the width, then a point and the decimals where the format
// takes decimals (F8.0, DATETIME20.0) or has some (DATE11.2); strings, dates
// without a time and the hexadecimal forms have none (A40, DATE11, PIBHEX8).
// An unknown type is written as "?code?" (?99?8.0).
std::string FormatText(int type, int width, int decimals);

// True for the print-format types the grid renders as dates (20, 23, 24, 38, 39).
bool IsDateFormat(int printFormatType);

}  // namespace lv
