// Byte-order-aware reads and writes of fixture bytes.
#include <cstring>
#include <stdexcept>

#include "tests/support/savfixture.h"

namespace fixture {
namespace {

template <typename T>
void Put(std::string& bytes, size_t offset, T value, Endian endian) {
    if (offset + sizeof(T) > bytes.size()) throw std::out_of_range("fixture: patch past the end");
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i) {
        size_t from = endian == Endian::Little ? i : sizeof(T) - 1 - i;
        bytes[offset + i] = static_cast<char>(raw[from]);
    }
}

template <typename T>
T Get(const std::string& bytes, size_t offset, Endian endian) {
    if (offset + sizeof(T) > bytes.size()) throw std::out_of_range("fixture: read past the end");
    unsigned char raw[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) {
        size_t from = endian == Endian::Little ? i : sizeof(T) - 1 - i;
        raw[i] = static_cast<unsigned char>(bytes[offset + from]);
    }
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

}  // namespace

void PutInt32(std::string& b, size_t o, int32_t v, Endian e) {
    Put(b, o, v, e);
}
void PutInt64(std::string& b, size_t o, int64_t v, Endian e) {
    Put(b, o, v, e);
}
void PutDouble(std::string& b, size_t o, double v, Endian e) {
    Put(b, o, v, e);
}
int32_t GetInt32(const std::string& b, size_t o, Endian e) {
    return Get<int32_t>(b, o, e);
}
int64_t GetInt64(const std::string& b, size_t o, Endian e) {
    return Get<int64_t>(b, o, e);
}
double GetDouble(const std::string& b, size_t o, Endian e) {
    return Get<double>(b, o, e);
}

}  // namespace fixture
