#include "decrypting_reads.h"

#include <string.h>

#include "savio/spssfio.h"

namespace savio {
namespace {

// The count of padding bytes a last block ends with (1 to 16 bytes, each
// holding that count), or 0 when it holds no such padding: some writers pad
// with zeros instead, which are no-ops of the compressed data.
size_t PaddingOf(const uint8_t* last) {
    const uint8_t n = last[kCipherBlockSize - 1];
    if (n == 0 || n > kCipherBlockSize) return 0;
    for (size_t i = kCipherBlockSize - n; i < kCipherBlockSize; ++i)
        if (last[i] != n) return 0;
    return n;
}

}  // namespace

int DecryptingReads::Open(std::shared_ptr<RandomReads> encrypted, std::string_view password,
                          std::shared_ptr<RandomReads>* out) {
    const uint64_t size = encrypted->size();
    if (size < kEncryptedHeaderSize + kCipherBlockSize) return SPSS_INVALID_FILE;
    std::vector<uint8_t> scratch;
    const uint8_t* first = encrypted->Read(kEncryptedHeaderSize, kCipherBlockSize, scratch);
    if (!first) return SPSS_FILE_RERROR;
    const std::vector<uint8_t> firstBlock(first, first + kCipherBlockSize);

    // The password as given, else the one it encodes.
    auto right = [&](std::string_view candidate) -> std::unique_ptr<DecryptionKey> {
        auto key = std::make_unique<DecryptionKey>(candidate);
        uint8_t block[kCipherBlockSize];
        key->Decrypt(firstBlock.data(), block, kCipherBlockSize);
        const bool ok = LooksLikeSystemFileStart(block);
        explicit_bzero(block, sizeof block);
        return ok ? std::move(key) : nullptr;
    };
    std::unique_ptr<DecryptionKey> key = right(password);
    if (!key) {
        if (std::optional<std::string> decoded = DecodeEncodedPassword(password)) {
            key = right(*decoded);
            WipeText(*decoded);
        }
    }
    if (!key) return SPSS_WRONG_PASSWORD;

    std::shared_ptr<DecryptingReads> reads(
        new DecryptingReads(std::move(encrypted), std::move(key)));
    reads->blocks_ = (size - kEncryptedHeaderSize) / kCipherBlockSize;
    reads->size_ = reads->blocks_ * kCipherBlockSize;
    // Padding only ends a file that is all there.
    if ((size - kEncryptedHeaderSize) % kCipherBlockSize == 0) {
        const uint8_t* last = reads->Blocks(reads->blocks_ - 1, 1, scratch);
        if (!last) return SPSS_FILE_RERROR;
        reads->size_ -= PaddingOf(last);
        explicit_bzero(scratch.data(), scratch.size());
    }
    *out = std::move(reads);
    return 0;
}

const uint8_t* DecryptingReads::Blocks(uint64_t first, uint64_t count,
                                       std::vector<uint8_t>& scratch) {
    const size_t n = static_cast<size_t>(count * kCipherBlockSize);
    const uint8_t* in =
        encrypted_->Read(kEncryptedHeaderSize + first * kCipherBlockSize, n, scratch);
    if (!in) return nullptr;
    // A file read copies into scratch, decrypted where it lies; bytes in
    // memory are decrypted into scratch.
    if (in != scratch.data() && scratch.size() < n) scratch.resize(n);
    key_->Decrypt(in, scratch.data(), n);
    return scratch.data();
}

const uint8_t* DecryptingReads::Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) {
    if (offset > size_ || n > size_ - offset) return nullptr;
    if (n == 0) {
        if (scratch.empty()) scratch.resize(1);
        return scratch.data();
    }
    const uint64_t first = offset / kCipherBlockSize;
    const uint64_t end = (offset + n + kCipherBlockSize - 1) / kCipherBlockSize;
    const uint8_t* blocks = Blocks(first, end - first, scratch);
    return blocks ? blocks + (offset - first * kCipherBlockSize) : nullptr;
}

}  // namespace savio
