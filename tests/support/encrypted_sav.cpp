#include "tests/support/encrypted_sav.h"

#include <nettle/aes.h>
#include <nettle/cmac.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace fixture {
namespace {

constexpr uint8_t kHeader[36] = {0x1c, 0,   0,   0,   0,   0,   0,   0,   'E', 'N', 'C',
                                 'R',  'Y', 'P', 'T', 'E', 'D', 'S', 'A', 'V', 0x15};

constexpr uint8_t kConstant[73] = {
    0x00, 0x00, 0x00, 0x01, 0x35, 0x27, 0x13, 0xcc, 0x53, 0xa7, 0x78, 0x89, 0x87, 0x53, 0x22,
    0x11, 0xd6, 0x5b, 0x31, 0x58, 0xdc, 0xfe, 0x2e, 0x7e, 0x94, 0xda, 0x2f, 0x00, 0xcc, 0x15,
    0x71, 0x80, 0x0a, 0x6c, 0x63, 0x53, 0x00, 0x38, 0xc3, 0x38, 0xac, 0x22, 0xf3, 0x63, 0x62,
    0x0e, 0xce, 0x85, 0x3f, 0xb8, 0x07, 0x4c, 0x4e, 0x2b, 0x77, 0xc7, 0x21, 0xf5, 0x1a, 0x80,
    0x1d, 0x67, 0xfb, 0xe1, 0xe1, 0x83, 0x07, 0xd8, 0x0d, 0x00, 0x00, 0x01, 0x00};

}  // namespace

namespace {

// The AES-256 encryption context of password.
aes256_ctx KeyOf(std::string_view password) {
    uint8_t padded[32] = {};
    std::memcpy(padded, password.data(), std::min<size_t>(password.size(), 10));
    cmac_aes256_ctx cmac;
    cmac_aes256_set_key(&cmac, padded);
    cmac_aes256_update(&cmac, sizeof kConstant, kConstant);
    uint8_t key[32];
    cmac_aes256_digest(&cmac, 16, key);
    std::memcpy(key + 16, key, 16);
    aes256_ctx aes;
    aes256_set_encrypt_key(&aes, key);
    return aes;
}

// Pads the end of a file's bytes to whole blocks.
void Pad(std::string& body, Padding padding) {
    if (padding == Padding::Counted) {
        const size_t n = 16 - body.size() % 16;
        body.append(n, static_cast<char>(n));
    } else {
        body.append((16 - body.size() % 16) % 16, '\0');
    }
}

void EncryptInPlace(const aes256_ctx& aes, std::string& body) {
    auto* p = reinterpret_cast<uint8_t*>(body.data());
    aes256_encrypt(&aes, body.size(), p, p);
}

}  // namespace

std::string Encrypt(std::string_view plain, std::string_view password, Padding padding) {
    const aes256_ctx aes = KeyOf(password);
    std::string body(plain);
    Pad(body, padding);
    EncryptInPlace(aes, body);
    return std::string(reinterpret_cast<const char*>(kHeader), sizeof kHeader) + body;
}

bool EncryptFile(const std::string& from, const std::string& to, std::string_view password) {
    const aes256_ctx aes = KeyOf(password);
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out) return false;
    out.write(reinterpret_cast<const char*>(kHeader), sizeof kHeader);
    std::string chunk(1 << 20, '\0');
    for (;;) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        std::string body = chunk.substr(0, static_cast<size_t>(in.gcount()));
        const bool last = body.size() < chunk.size();
        if (last) Pad(body, Padding::Counted);
        EncryptInPlace(aes, body);
        out.write(body.data(), static_cast<std::streamsize>(body.size()));
        if (last) break;
    }
    return static_cast<bool>(out.flush());
}

}  // namespace fixture
