// The whole dictionary as JSON (the schema is docs/dictionary-json.md):
// valid UTF-8, the file's texts decoded from the given encoding, key names
// and their order fixed.
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

// The JSON text, indented by two blanks, ending in a line end.
std::string DictionaryJson(const FileDictionary& dict, std::string_view encoding);

// The JSON of a file the reader refused: the status's name, the reader's
// reason and the fault's offset (null when it lies at no one place).
std::string RefusalJson(const std::string& path, int status, const FileDictionary& refused);

}  // namespace lv
