// Variable handles: identity * 2^24 + dictionary index, an exact integer in
// a double that survives a close and re-open of the same file.
#pragma once

#include <cstdint>

#include "sav_file.h"

namespace savio {

inline constexpr double kHandleIndexRange = 16777216.0;

inline double VarHandleOf(const SavFile& f, int index) {
    return static_cast<double>(f.identity()) * kHandleIndexRange + index;
}

// The dictionary index of the variable a handle names in f, or -1 when it
// is not one of f's. Every value call makes one: a whole number in range
// converts to an integer and back unchanged.
inline int VariableIndexOf(const SavFile& f, double handle) {
    if (!(handle >= 0.0 && handle < 9007199254740992.0)) return -1;
    const auto bits = static_cast<uint64_t>(static_cast<int64_t>(handle));
    if (static_cast<double>(static_cast<int64_t>(bits)) != handle) return -1;
    if ((bits >> 24) != f.identity()) return -1;
    const size_t index = bits & 0xFFFFFF;
    return index < f.valueSlots().size() ? static_cast<int>(index) : -1;
}

}  // namespace savio
