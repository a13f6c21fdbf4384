// A count as messages write it: digits grouped by threes with commas
// ("40,000,000"), so that a large number reads at a glance.
#pragma once

#include <cstdint>
#include <string>

namespace lv {

std::string GroupedDigits(uint64_t count);
std::string GroupedDigits(int64_t count);

}  // namespace lv
