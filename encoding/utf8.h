// The program's one judgement of UTF-8: what a valid character is, and how
// far an invalid sequence reaches (on display each becomes one U+FFFD).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lv {

// The length of the unit at the start of s (not empty): a whole valid
// character, or else the longest start of one that the next byte does not
// continue correctly (at least one byte); *valid says which. Overlong forms,
// surrogates and code points above U+10FFFF are never valid.
size_t Utf8Unit(std::string_view s, bool* valid);

bool IsValidUtf8(std::string_view s);

// s with each invalid unit replaced by one U+FFFD.
std::string ValidUtf8(std::string_view s);

// s for a line of a terminal: valid characters as they are, each byte of an
// invalid unit and each control character (a line break, a tab, DEL) as
// \xhh, so that a message stays one readable line.
std::string EscapedUtf8(std::string_view s);

}  // namespace lv
