// Unaligned loads of the file's integers and floats in either byte order.
// Nothing in a system file is aligned, so every field goes through memcpy.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace savio {

inline uint32_t Swap32(uint32_t v) {
    return __builtin_bswap32(v);
}
inline uint64_t Swap64(uint64_t v) {
    return __builtin_bswap64(v);
}

inline int32_t LoadI32(const uint8_t* p, bool swap) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return static_cast<int32_t>(swap ? Swap32(v) : v);
}

inline int64_t LoadI64(const uint8_t* p, bool swap) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return static_cast<int64_t>(swap ? Swap64(v) : v);
}

inline double LoadF64(const uint8_t* p, bool swap) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return std::bit_cast<double>(swap ? Swap64(v) : v);
}

// The 8 bytes a double is stored as in a file of the given byte order.
inline uint64_t StoredBits(double d, bool swap) {
    const uint64_t v = std::bit_cast<uint64_t>(d);
    return swap ? Swap64(v) : v;
}

}  // namespace savio
