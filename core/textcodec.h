// Decoding of the file's bytes for display (and encoding of typed text back
// into the file's encoding). Names, labels and string values travel through
// the program as the file's own bytes; only display converts them.
#ifndef LORIVANE_CORE_TEXTCODEC_H
#define LORIVANE_CORE_TEXTCODEC_H

#include <optional>
#include <string>
#include <string_view>

namespace lv {

// The encoding to decode a file's texts with: declared (from the library's
// spssGetFileEncoding) when it names one, else UTF-8 when sample is valid
// UTF-8, else CP932.
std::string ChooseDisplayEncoding(std::string_view declared, std::string_view sample);

// bytes in encoding -> UTF-8. A sequence that does not decode becomes U+FFFD
// for that character only. "UTF-8" input is validated the same way.
std::string ToUtf8(std::string_view bytes, std::string_view encoding);

// UTF-8 -> encoding. Nothing when a character has no form in encoding (or
// utf8 is not valid UTF-8); *unencodable then receives that character.
std::optional<std::string> FromUtf8(std::string_view utf8, std::string_view encoding,
                                    std::string* unencodable = nullptr);

// The encoding of the file most recently summarised (set by the summary,
// read by the windows to decode what they show). "UTF-8" at start.
const std::string& CurrentFileEncoding();
void SetCurrentFileEncoding(std::string encoding);

}  // namespace lv

#endif
