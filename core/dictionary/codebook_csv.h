// The codebook: one CSV row per variable (position, name, long name, label,
// type, width, print and write formats, measure, role, value labels as
// value=label joined by "; ", missing values), UTF-8, CR LF line ends, a
// header row first; each field as core/text/delimited_field.h writes it
// (RFC 4180 quoting, a text that looks like a formula behind an apostrophe).
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string CodebookCsv(const FileDictionary& dict, std::string_view encoding);

}  // namespace lv
