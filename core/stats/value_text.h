// The text a value of a variable is shown with in the statistics' tables:
// its print format's text (core/rendering/print_format.h), trimmed. Every
// table, window and tool output asks here.
#ifndef LORIVANE_CORE_STATS_VALUE_TEXT_H
#define LORIVANE_CORE_STATS_VALUE_TEXT_H

#include <string>

#include "core/dictionary/file_dictionary.h"

namespace lv {

std::string StatsValueText(const DictVariable& variable, double value);

}  // namespace lv

#endif
