#include "password_key.h"

#include <nettle/cmac.h>
#include <string.h>

#include <bit>
#include <cstring>

namespace savio {
namespace {

constexpr char kEncryptedMagic[] = "ENCRYPTEDSAV";
constexpr size_t kEncryptedMagicOffset = 8;

// The message whose CMAC, keyed by the padded password, gives the key.
constexpr uint8_t kKeyMessage[73] = {
    0x00, 0x00, 0x00, 0x01, 0x35, 0x27, 0x13, 0xcc, 0x53, 0xa7, 0x78, 0x89, 0x87, 0x53, 0x22,
    0x11, 0xd6, 0x5b, 0x31, 0x58, 0xdc, 0xfe, 0x2e, 0x7e, 0x94, 0xda, 0x2f, 0x00, 0xcc, 0x15,
    0x71, 0x80, 0x0a, 0x6c, 0x63, 0x53, 0x00, 0x38, 0xc3, 0x38, 0xac, 0x22, 0xf3, 0x63, 0x62,
    0x0e, 0xce, 0x85, 0x3f, 0xb8, 0x07, 0x4c, 0x4e, 0x2b, 0x77, 0xc7, 0x21, 0xf5, 0x1a, 0x80,
    0x1d, 0x67, 0xfb, 0xe1, 0xe1, 0x83, 0x07, 0xd8, 0x0d, 0x00, 0x00, 0x01, 0x00};
constexpr size_t kPasswordBytesUsed = 10;

// The encoded-password scheme: each character of a pair narrows the
// possible high and low nibbles of the byte to a set (a 16-bit mask); the
// two sets of a pair share exactly one nibble. Indexed by the high nibble of
// the character (2 to 7) ...
constexpr uint16_t kHighOfFirst[8] = {0, 0, 0x00cc, 0x0033, 0x3300, 0xcc00, 0xcc00, 0x3300};
constexpr uint16_t kHighOfSecond[8] = {0, 0, 0x0a0a, 0x0505, 0x5050, 0xa0a0, 0xa0a0, 0x5050};
// ... and by the group of its low nibble.
constexpr uint8_t kLowGroup[16] = {0, 1, 1, 0, 2, 3, 3, 2, 2, 3, 3, 2, 0, 1, 1, 0};
constexpr uint16_t kLowOfFirst[4] = {0x0033, 0x00cc, 0x3300, 0xcc00};
constexpr uint16_t kLowOfSecond[4] = {0x0505, 0x0a0a, 0x5050, 0xa0a0};
constexpr size_t kMaxEncodedPassword = 20;

// The one nibble a mask allows, or -1.
int OnlyNibble(uint16_t mask) {
    return std::popcount(mask) == 1 ? std::countr_zero(mask) : -1;
}

}  // namespace

bool IsEncryptedSavHeader(const uint8_t* header, size_t size) {
    const size_t n = sizeof kEncryptedMagic - 1;
    return size >= kEncryptedHeaderSize &&
           std::memcmp(header + kEncryptedMagicOffset, kEncryptedMagic, n) == 0;
}

SecretText::SecretText(std::string_view text)
    : data_(new char[text.size() + 1]), size_(text.size()) {
    std::memcpy(data_.get(), text.data(), text.size());
    data_[text.size()] = 0;
}

SecretText::~SecretText() {
    Clear();
}

SecretText::SecretText(SecretText&& other) noexcept
    : data_(std::move(other.data_)), size_(other.size_) {
    other.size_ = 0;
}

SecretText& SecretText::operator=(SecretText&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = std::move(other.data_);
        size_ = other.size_;
        other.size_ = 0;
    }
    return *this;
}

void SecretText::Clear() {
    if (data_) explicit_bzero(data_.get(), size_ + 1);
    data_.reset();
    size_ = 0;
}

void WipeText(std::string& text) {
    // The whole capacity: shorter texts may have been held there before.
    text.resize(text.capacity());
    explicit_bzero(text.data(), text.size());
    text.clear();
}

void DerivePasswordKey(std::string_view password, uint8_t key[32]) {
    uint8_t padded[32] = {};
    std::memcpy(padded, password.data(), std::min(password.size(), kPasswordBytesUsed));
    cmac_aes256_ctx cmac;
    cmac_aes256_set_key(&cmac, padded);
    cmac_aes256_update(&cmac, sizeof kKeyMessage, kKeyMessage);
    cmac_aes256_digest(&cmac, 16, key);
    std::memcpy(key + 16, key, 16);
    explicit_bzero(padded, sizeof padded);
    explicit_bzero(&cmac, sizeof cmac);
}

DecryptionKey::DecryptionKey(std::string_view password) {
    uint8_t key[32];
    DerivePasswordKey(password, key);
    aes256_set_decrypt_key(&context_, key);
    explicit_bzero(key, sizeof key);
}

DecryptionKey::~DecryptionKey() {
    explicit_bzero(&context_, sizeof context_);
}

void DecryptionKey::Decrypt(const uint8_t* in, uint8_t* out, size_t n) const {
    aes256_decrypt(&context_, n, out, in);
}

std::optional<std::string> DecodeEncodedPassword(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0 || text.size() > kMaxEncodedPassword)
        return std::nullopt;
    for (char c : text)
        if (c < 33 || c > 126) return std::nullopt;
    std::string decoded;
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto a = static_cast<uint8_t>(text[i]);
        const auto b = static_cast<uint8_t>(text[i + 1]);
        const int high = OnlyNibble(kHighOfFirst[a >> 4] & kHighOfSecond[b >> 4]);
        const int low =
            OnlyNibble(kLowOfFirst[kLowGroup[a & 15]] & kLowOfSecond[kLowGroup[b & 15]]);
        if (high < 0 || low < 0) {
            WipeText(decoded);
            return std::nullopt;
        }
        decoded.push_back(static_cast<char>(high << 4 | low));
    }
    return decoded;
}

bool LooksLikeSystemFileStart(const uint8_t block[kCipherBlockSize]) {
    return (std::memcmp(block, "$FL2@(#)", 8) == 0 || std::memcmp(block, "$FL3@(#)", 8) == 0);
}

}  // namespace savio
