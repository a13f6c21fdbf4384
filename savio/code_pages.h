// The character codes of the integer info record (subtype 3) and the
// encodings they stand for, both ways: the reader names the encoding of a
// file that has no encoding record, the writer fills the code in beside the
// record it writes.
#pragma once

#include <string>
#include <string_view>

namespace savio {

// The iconv name of a character code; empty for codes that name no
// encoding (2 and 3, "7-bit" and "8-bit ASCII", say nothing).
std::string CodePageEncoding(int code);

// The character code of an encoding named as iconv names it (case, '-', '_'
// and blanks aside); 2, the code that says nothing, for a name with none.
int EncodingCodePage(std::string_view encoding);

}  // namespace savio
