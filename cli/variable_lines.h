// The lines of `vars`: the variable list window's columns under its
// headings, padded by their width on a terminal.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/text/display_line.h"

namespace lv::cli {

// lines: as BuildVariableList made them. shown: a text of the file as
// printed (decoded to UTF-8, or the bytes); utf8: whether it decodes, so
// that widths count columns (a wide character two) rather than bytes.
// longNames: a tab and the long name after each line, the labels padded
// to one width before it.
std::string VariableListText(const std::vector<lv::DisplayLine>& lines,
                             const std::function<std::string(const std::string&)>& shown, bool utf8,
                             bool longNames);

}  // namespace lv::cli
