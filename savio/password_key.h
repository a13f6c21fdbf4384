// The key of an encrypted system file: AES-256, derived from the password.
// The file is a 36-byte header followed by the whole system file with every
// 16-byte block encrypted on its own (ECB), so that any block can be
// decrypted without the ones before it.
#pragma once

#include <nettle/aes.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace savio {

inline constexpr size_t kEncryptedHeaderSize = 36;
inline constexpr size_t kCipherBlockSize = 16;

// True when the header bytes (at least kEncryptedHeaderSize) are those of an
// encrypted system file.
bool IsEncryptedSavHeader(const uint8_t* header, size_t size);

// Text that must not outlive its use: held in one allocation that is never
// copied and is overwritten with zeros when released.
class SecretText {
  public:
    SecretText() = default;
    explicit SecretText(std::string_view text);
    ~SecretText();
    SecretText(SecretText&& other) noexcept;
    SecretText& operator=(SecretText&& other) noexcept;
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    std::string_view view() const { return {data_.get(), size_}; }

  private:
    void Clear();
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

// Overwrites text with zeros (for the caller's own copies of a password).
void WipeText(std::string& text);

// The decryption key of a password, ready to decrypt blocks; its key
// schedule is overwritten with zeros when released. Decrypt may be called
// from several threads at once.
class DecryptionKey {
  public:
    // The key as the format derives it: the password's first 10 bytes,
    // padded with zeros to 32, key a CMAC (AES-256) of a fixed 73-byte
    // constant; that 16-byte CMAC twice is the AES-256 key.
    explicit DecryptionKey(std::string_view password);
    ~DecryptionKey();
    DecryptionKey(const DecryptionKey&) = delete;
    DecryptionKey& operator=(const DecryptionKey&) = delete;

    // Decrypts n bytes (a multiple of 16) from in to out; in == out is fine.
    void Decrypt(const uint8_t* in, uint8_t* out, size_t n) const;

  private:
    aes256_ctx context_;
};

// The 32-byte AES key of a password (for the tests' encryption).
void DerivePasswordKey(std::string_view password, uint8_t key[32]);

// The password an "encoded password" stands for: the format's fixed,
// reversible scheme in which each pair of printable characters stands for
// one byte (at most 20 characters). Nothing when text is not of that form.
std::optional<std::string> DecodeEncodedPassword(std::string_view text);

// True when the first decrypted block begins as a system file does
// ("$FL2@(#)" or "$FL3@(#)"): the check that the password is right.
bool LooksLikeSystemFileStart(const uint8_t block[kCipherBlockSize]);

}  // namespace savio
