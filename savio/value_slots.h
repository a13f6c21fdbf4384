// Where a variable's value lies in a decoded case row, and how it is read
// from there: a number from its one slot, a string from its slots (a very
// long string from its segments, 255 bytes in each 256 of storage).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "dictionary.h"
#include "savio/byte_order.h"
#include "savio/case_layout.h"

namespace savio {

inline ValueSlots SlotsOf(const Variable& v) {
    return {v.firstSlot, v.width, v.segments};
}

}  // namespace savio
