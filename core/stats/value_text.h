// The text a value of a variable is shown with in the statistics' tables:
// its print format's text (core/rendering/print_format.h), trimmed. Every
// table, window and tool output asks here.
#pragma once

#include <string>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string StatsValueText(const DictVariable& variable, double value);

}  // namespace lv
