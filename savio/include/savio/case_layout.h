// The plain facts about a file's cases that the reader shares with its
// callers: how the data is compressed and laid out in 8-byte slots, where
// each variable's value lies in a decoded row and how it is read from there,
// a .zsav file's blocks, and what tells one state of a file from another.
// The case index (case_index.h) is built from these.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "savio/byte_order.h"

namespace savio {

enum class Compression { None, Bytecode, Zlib };

// What decoding the cases needs of the dictionary.
struct CaseShape {
    Compression compression = Compression::None;
    bool swap = false;
    double bias = 100.0;
    uint64_t dataOffset = 0;
    std::vector<uint8_t> slotIsString;  // per slot: 1 for string storage
    size_t slotCount() const { return slotIsString.size(); }
};

// Where a decoder stands between two cases: the stream offset of the
// command group it is in and how many of the group's command bytes it has
// used (0..7; a used-up group counts as the next one, unused).
struct StreamPosition {
    uint64_t group = 0;
    int used = 0;
};

// Where a variable's value lies in a decoded case row: a number in its one
// slot, a string in its slots (a very long string in its segments, 255
// bytes in each 256 of storage).
struct ValueSlots {
    int firstSlot = 0;
    int width = 0;  // 0 = numeric
    int segments = 1;
    bool isString() const { return width > 0; }
};

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

// A string wider than 255 bytes is stored as segments: string variables of
// which all but the last are declared 255 bytes wide (each holds 255 bytes of
// the value in its 256 of storage); how many there are and the last one's
// declared width come from 252 bytes a segment.
inline constexpr int kMaxStringWidth = 32767;
inline constexpr int kMaxSegmentWidth = 255;
inline int SegmentCount(int width) {
    return width > kMaxSegmentWidth ? (width + 251) / 252 : 1;
}
inline int SegmentDeclaredWidth(int width, int segment) {
    const int count = SegmentCount(width);
    if (count == 1) return width;
    return segment + 1 < count ? kMaxSegmentWidth : width - 252 * (count - 1);
}
// The 8-byte slots a value of this width takes (0 = a number).
inline int SlotCount(int width) {
    if (width == 0) return 1;
    int total = 0;  // not "slots": Qt's headers define that word
    for (int k = 0, n = SegmentCount(width); k < n; ++k)
        total += (SegmentDeclaredWidth(width, k) + 7) / 8;
    return total;
}

// One block of a .zsav file's data part.
struct ZlibBlock {
    uint64_t offset = 0;  // of the compressed bytes in the file
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
};

// One inflated block kept between two readers of the same file: a reader
// that starts in it takes its bytes instead of reading and inflating the
// block again, and leaves the last block it handed out in it.
struct InflatedBlock {
    size_t block = SIZE_MAX;  // none
    std::vector<uint8_t> bytes;
};

// What tells one state of a file on disk from another: a file rewritten,
// truncated or replaced by another differs in at least one of these.
struct FileIdentity {
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    uint64_t device = 0;
    bool operator==(const FileIdentity&) const = default;
};

}  // namespace savio
