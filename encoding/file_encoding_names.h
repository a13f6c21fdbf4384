// Which encoding names a file may choose for its own texts.
#pragma once

#include <string_view>

namespace lv {

// Whether texts of a system file can be in the encoding a file names: one
// whose bytes are read one by one with every ASCII byte standing for itself
// and no shift state (single-byte code pages, UTF-8, the CJK multi-byte
// encodings), and that iconv converts.
bool IsAsciiCompatibleEncoding(std::string_view name);

}  // namespace lv
