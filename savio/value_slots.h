// Where a variable's value lies in a decoded case row, and how it is read
// from there: a number from its one slot, a string from its slots (a very
// long string from its segments, 255 bytes in each 256 of storage).
#ifndef LORIVANE_SAVIO_VALUE_SLOTS_H
#define LORIVANE_SAVIO_VALUE_SLOTS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "savio/byte_order.h"
#include "savio/dictionary.h"

namespace savio {

struct ValueSlots {
    int firstSlot = 0;
    int width = 0;  // 0 = numeric
    int segments = 1;
    bool isString() const { return width > 0; }
};

inline ValueSlots SlotsOf(const Variable& v) {
    return {v.firstSlot, v.width, v.segments};
}

inline double SlotNumber(const uint8_t* row, const ValueSlots& v, bool swap) {
    return LoadF64(row + static_cast<size_t>(v.firstSlot) * 8, swap);
}

// Calls put(bytes, n) for the pieces of a string value in order; together
// they are the value's width bytes.
template <class Put>
void ForEachStringPiece(const uint8_t* row, const ValueSlots& v, Put&& put) {
    const uint8_t* first = row + static_cast<size_t>(v.firstSlot) * 8;
    if (v.segments == 1) {
        put(first, static_cast<size_t>(v.width));
        return;
    }
    for (int k = 0; k < v.segments; ++k) {
        const int used = std::clamp(v.width - 255 * k, 0, 255);
        put(first + static_cast<size_t>(k) * 256, static_cast<size_t>(used));
    }
}

}  // namespace savio

#endif
