// Conversion of a file's texts to UTF-8 for display and of typed text back
// into the file's encoding, and the choice of that encoding. Names, labels
// and string values travel through the program as the file's own bytes;
// only display converts them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lv {

// Whether texts in encoding can be read: a UTF-8 name, or one iconv converts.
bool CanDecode(std::string_view encoding);

// The encoding a file's texts are in: declared (from the encoding record or
// the character code) when iconv can convert it, else UTF-8 when sample (the
// file's texts) is valid UTF-8, else CP932.
std::string ChooseEncoding(std::string_view declared, std::string_view sample);

// bytes in encoding -> UTF-8. A sequence that does not decode becomes one
// U+FFFD. An encoding iconv does not know is read as UTF-8.
std::string ToUtf8(std::string_view bytes, std::string_view encoding);

// UTF-8 -> encoding. Nothing when a character has no form in encoding (or
// utf8 is not valid UTF-8); *unencodable then receives that character.
std::optional<std::string> FromUtf8(std::string_view utf8, std::string_view encoding,
                                    std::string* unencodable = nullptr);

}  // namespace lv
