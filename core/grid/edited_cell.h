// What the user's edit of a cell stands for: in a numeric column the number
// its text reads as (blank or "." system-missing; a decimal comma taken when
// there is no point), else the text as typed. The export writes edits so,
// and the grid warns when a numeric cell gets a text that reads as none.
#pragma once

#include <string>

#include "core/grid/grid_layout.h"

namespace lv {

// cell.text views edit, which must outlive it.
GridCell EditedCell(const std::string& edit, bool numeric);
// Whether edit stands for a number (or system-missing) in a numeric column.
bool ReadsAsNumber(const std::string& edit);

}  // namespace lv
