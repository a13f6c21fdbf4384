// A count as messages write it: digits grouped by threes with commas
// ("40,000,000"), so that a large number reads at a glance.
#pragma once

#include <cstdint>
#include <string>

namespace lv {

std::string GroupedDigits(uint64_t count);
std::string GroupedDigits(int64_t count);

// The cases shown of all of them, as the grid's filter bar and the
// statistics windows say it: "12,345 / 1,000,000 ケース".
std::string CaseCountText(uint64_t shown, uint64_t total);

}  // namespace lv
