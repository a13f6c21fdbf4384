// The text a user sees for the file's bytes: decoded as the windows decode
// them (lv::DisplayEncoding: the user's choice, else the detected encoding).
// Sorting, searching and copying compare and hand out this text, never raw
// bytes.
#pragma once

#include <string>
#include <string_view>

namespace lv {

// True when every byte is below 0x80 (such bytes read the same in every
// encoding a system file uses).
bool IsAscii(std::string_view bytes);

// Appends bytes decoded to UTF-8.
void AppendShownText(std::string& out, std::string_view bytes);
std::string ShownText(std::string_view bytes);

}  // namespace lv
