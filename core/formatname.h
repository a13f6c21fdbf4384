// Print formats as their usual text: F8.2, A40, DATE11.
#ifndef LORIVANE_CORE_FORMATNAME_H
#define LORIVANE_CORE_FORMATNAME_H

#include <string>
#include <string_view>

namespace lv {

// The name of a format type code (F, A, DATE, ...); empty for an unknown code.
std::string_view FormatTypeName(int type);

// The name, the width and, for numbers with decimals, a point and the
// decimals. An unknown type gives "?" and the numbers.
std::string FormatText(int type, int width, int decimals);

}  // namespace lv

#endif
