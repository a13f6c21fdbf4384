// Where the characters of a text in a given encoding begin, so that a text
// is cut only between characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace lv {

// How the bytes of an encoding group into characters.
enum class CharLayout { SingleByte, Utf8, ShiftJis, DoubleByte, EucJp, Gb18030 };

// The layout of an encoding named as iconv names it (case, '-', '_' and
// blanks aside); encodings not known to have multi-byte characters are
// single-byte.
CharLayout LayoutOf(std::string_view encoding);

// The length of the character that starts at text[i] (at least 1). In UTF-8
// an invalid sequence counts as the one character the display shows for it.
size_t CharLength(std::string_view text, size_t i, CharLayout layout);

// The length of the longest prefix of text, at most maxBytes long, that
// ends between two characters.
size_t CutAtCharBoundary(std::string_view text, size_t maxBytes, CharLayout layout);

}  // namespace lv
