// The full-width forms of ASCII that an input method types (＝ ＞ （ １ Ａ
// ＇) and the ideographic space, read as the ASCII characters they stand
// for: what a condition and a variable's name are read with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lv {

// The length in bytes (3) of the full-width form that starts at utf8[i], and
// in *ascii the ASCII character it stands for (a blank for the ideographic
// space); 0 when no such form starts there.
size_t FullWidthFormAt(std::string_view utf8, size_t i, char* ascii);

// utf8 with every full-width form replaced by its ASCII character.
std::string ToHalfWidth(std::string_view utf8);

}  // namespace lv
