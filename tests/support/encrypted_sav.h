// Encrypted system files for the tests, made from plain ones as the format
// describes them: a 36-byte header, then the system file padded to whole
// 16-byte blocks and encrypted block by block with AES-256, keyed by the
// password. Written here independently of the reader's decryption.
#pragma once

#include <string>
#include <string_view>

namespace fixture {

enum class Padding { Counted, Zeros };

// The encrypted file holding the system file plain under password. Counted
// padding adds 1 to 16 bytes each holding their count; Zeros pads with as
// few zero bytes as make whole blocks (as some writers do).
std::string Encrypt(std::string_view plain, std::string_view password,
                    Padding padding = Padding::Counted);

// The same from the file at from to the file at to, a megabyte at a time
// (large files for the benchmarks); false when either cannot be used.
bool EncryptFile(const std::string& from, const std::string& to, std::string_view password);

}  // namespace fixture
