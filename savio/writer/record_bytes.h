// Bytes of records in the order the writer stores them: little-endian
// integers and doubles whatever the machine's order, texts as given or
// padded to a field.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "savio/byte_order.h"

namespace savio::writer {

inline constexpr bool kSwapToLittle = std::endian::native == std::endian::big;

inline void StoreI32(uint8_t* p, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    if (kSwapToLittle) u = Swap32(u);
    std::memcpy(p, &u, 4);
}

inline void StoreI64(uint8_t* p, int64_t v) {
    uint64_t u = static_cast<uint64_t>(v);
    if (kSwapToLittle) u = Swap64(u);
    std::memcpy(p, &u, 8);
}

inline void StoreF64(uint8_t* p, double d) {
    const uint64_t u = StoredBits(d, kSwapToLittle);
    std::memcpy(p, &u, 8);
}

class RecordBytes {
  public:
    void I32(int32_t v) {
        uint8_t b[4];
        StoreI32(b, v);
        bytes_.append(reinterpret_cast<const char*>(b), 4);
    }
    void I64(int64_t v) {
        uint8_t b[8];
        StoreI64(b, v);
        bytes_.append(reinterpret_cast<const char*>(b), 8);
    }
    void F64(double d) {
        uint8_t b[8];
        StoreF64(b, d);
        bytes_.append(reinterpret_cast<const char*>(b), 8);
    }
    void Text(std::string_view text) { bytes_.append(text); }
    // text, then pad up to size bytes (text is never longer).
    void Padded(std::string_view text, size_t size, char pad = ' ') {
        bytes_.append(text);
        bytes_.append(size - text.size(), pad);
    }
    void Byte(uint8_t b) { bytes_.push_back(static_cast<char>(b)); }
    size_t size() const { return bytes_.size(); }
    const std::string& bytes() const { return bytes_; }
    std::string& bytes() { return bytes_; }

  private:
    std::string bytes_;
};

}  // namespace savio::writer
