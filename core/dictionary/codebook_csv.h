// The codebook: one CSV row per variable (position, name, long name, label,
// type, width, print and write formats, measure, role, value labels as
// value=label joined by "; ", missing values), RFC 4180 quoting, UTF-8,
// CR LF line ends, a header row first.
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string CodebookCsv(const FileDictionary& dict, std::string_view encoding);

// One CSV field: quoted (quotes doubled) when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string& out, std::string_view field);

}  // namespace lv
