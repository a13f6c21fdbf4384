// The text a value of a variable is shown with in the statistics' tables:
// for now the data grid's rendering of its print format, trimmed. Every
// table, window and tool output asks here, so that another renderer can
// take its place in one spot.
#ifndef LORIVANE_CORE_STATS_VALUE_TEXT_H
#define LORIVANE_CORE_STATS_VALUE_TEXT_H

#include <string>

#include "core/file_dictionary.h"

namespace lv {

std::string StatsValueText(const DictVariable& variable, double value);

}  // namespace lv

#endif
