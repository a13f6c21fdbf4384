#include "core/formatname.h"

#include <array>

namespace lv {
namespace {

// Indexed by the format type code of the system-file format.
constexpr std::array<std::string_view, 42> kNames = {
    "",      "A",    "AHEX",  "COMMA", "DOLLAR",   "F",     "IB",    "PIBHEX", "P",
    "PIB",   "PK",   "RB",    "RBHEX", "",         "",      "Z",     "N",      "E",
    "",      "",     "DATE",  "TIME",  "DATETIME", "ADATE", "JDATE", "DTIME",  "WKDAY",
    "MONTH", "MOYR", "QYR",   "WKYR",  "PCT",      "DOT",   "CCA",   "CCB",    "CCC",
    "CCD",   "CCE",  "EDATE", "SDATE", "MTIME",    "YMDHMS"};

}  // namespace

std::string_view FormatTypeName(int type) {
    return type >= 0 && static_cast<size_t>(type) < kNames.size() ? kNames[type]
                                                                  : std::string_view();
}

std::string FormatText(int type, int width, int decimals) {
    const std::string_view name = FormatTypeName(type);
    std::string text = name.empty() ? std::string("?") : std::string(name);
    text += std::to_string(width);
    const bool isString = type == 1 || type == 2;
    if (!isString && decimals > 0) text += "." + std::to_string(decimals);
    return text;
}

}  // namespace lv
