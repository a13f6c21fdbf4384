// The file's character encoding: its name for the display layer, and where
// its characters begin, so that a text is never cut inside a character.
#ifndef LORIVANE_SAVIO_TEXT_ENCODING_H
#define LORIVANE_SAVIO_TEXT_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

namespace savio {

// How the bytes of an encoding group into characters.
enum class CharLayout { SingleByte, Utf8, ShiftJis, DoubleByte, EucJp, Gb18030 };

// The iconv name of the file's encoding: the encoding record when present,
// else the integer-info character code; empty when the file does not say.
std::string EncodingName(std::string_view encodingRecord, int characterCode);

// The layout of a named encoding; for an unknown one (empty name), UTF-8 when
// sample is valid UTF-8, else Shift_JIS (the usual legacy encoding here).
CharLayout LayoutOf(std::string_view encodingName, std::string_view sample);

// The longest prefix of text, at most maxBytes long, that ends on a
// character boundary.
size_t CutAtCharBoundary(std::string_view text, size_t maxBytes, CharLayout layout);

bool IsValidUtf8(std::string_view text);

}  // namespace savio

#endif
