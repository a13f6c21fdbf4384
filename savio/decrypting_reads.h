// The system file inside an encrypted one, read as any other file is: each
// read fetches the encrypted blocks that hold the bytes wanted, from the one
// holding the first, and decrypts them into the caller's buffer. Nothing
// decrypted is kept beyond that buffer, and nothing is written anywhere.
#pragma once

#include <memory>
#include <string_view>

#include "password_key.h"
#include "random_reads.h"

namespace savio {

class DecryptingReads : public RandomReads {
  public:
    // The plain bytes of encrypted (header included) under password: 0 and
    // *out, or SPSS_WRONG_PASSWORD when the first block does not decrypt to
    // the start of a system file (under the password as given, nor under
    // the password it encodes when it is an encoded one), SPSS_INVALID_FILE
    // when there is no whole block to check, SPSS_FILE_RERROR when the
    // file cannot be read.
    static int Open(std::shared_ptr<RandomReads> encrypted, std::string_view password,
                    std::shared_ptr<RandomReads>* out);

    // The system file's bytes: the whole blocks there are, less the
    // padding at the end when the last block holds well-formed padding. A
    // file cut within a block reads as the system file cut there.
    uint64_t size() const override { return size_; }
    const uint8_t* Read(uint64_t offset, size_t n, std::vector<uint8_t>& scratch) override;
    bool copies() const override { return true; }
    const FileIdentity* identity() const override { return encrypted_->identity(); }
    bool Unchanged() const override { return encrypted_->Unchanged(); }

  private:
    DecryptingReads(std::shared_ptr<RandomReads> encrypted, std::unique_ptr<DecryptionKey> key)
        : encrypted_(std::move(encrypted)), key_(std::move(key)) {}
    // The blocks [first, first + count) decrypted into scratch; nullptr when
    // they cannot be read.
    const uint8_t* Blocks(uint64_t first, uint64_t count, std::vector<uint8_t>& scratch);

    std::shared_ptr<RandomReads> encrypted_;
    std::unique_ptr<DecryptionKey> key_;
    uint64_t blocks_ = 0;  // whole encrypted blocks in the file
    uint64_t size_ = 0;
};

}  // namespace savio
