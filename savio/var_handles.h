// Variable handles: identity * 2^24 + dictionary index, an exact integer in
// a double that survives a close and re-open of the same file.
#ifndef LORIVANE_SAVIO_VAR_HANDLES_H
#define LORIVANE_SAVIO_VAR_HANDLES_H

#include <cmath>
#include <cstdint>

#include "savio/sav_file.h"

namespace savio {

inline constexpr double kHandleIndexRange = 16777216.0;

inline double VarHandleOf(const SavFile& f, int index) {
    return static_cast<double>(f.identity()) * kHandleIndexRange + index;
}

// The dictionary index of the variable a handle names in f, or -1 when it
// is not one of f's.
inline int VariableIndexOf(const SavFile& f, double handle) {
    if (!(handle >= 0.0 && handle < 9007199254740992.0)) return -1;
    if (std::floor(handle) != handle) return -1;
    const auto bits = static_cast<uint64_t>(handle);
    if ((bits >> 24) != f.identity()) return -1;
    const size_t index = bits & 0xFFFFFF;
    return index < f.dict().variables.size() ? static_cast<int>(index) : -1;
}

}  // namespace savio

#endif
