// The whole dictionary as JSON (the schema is docs/dictionary-json.md):
// valid UTF-8, the file's texts decoded from the given encoding, key names
// and their order fixed.
#ifndef LORIVANE_CORE_DICTIONARY_JSON_H
#define LORIVANE_CORE_DICTIONARY_JSON_H

#include <string>
#include <string_view>

#include "core/dictionary/file_dictionary.h"

namespace lv {

// The JSON text, indented by two blanks, ending in a line end.
std::string DictionaryJson(const FileDictionary& dict, std::string_view encoding);

}  // namespace lv

#endif
