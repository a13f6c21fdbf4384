// The encoding a file's texts are in, as the file states it or, when it
// states none that can be read, as its texts show it.
#pragma once

#include <string>
#include <string_view>

#include "dictionary.h"

namespace savio {

// The iconv name of the encoding the file declares: the encoding record when
// present, else the integer-info character code; empty when it declares none.
std::string EncodingName(std::string_view encodingRecord, int characterCode);

// The encoding of the dictionary's texts: the declared one when it can be
// read, else the fallback judged from all its names and labels.
std::string TextEncodingOf(const Dictionary& dict);

}  // namespace savio
