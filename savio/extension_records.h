// Readers of the extension records that carry the rest of the dictionary:
// display parameters, attributes and roles, multiple-response sets and
// variable sets. Each reads only inside the record's body, records what it
// skips as a warning of the dictionary, and never fails the file.
#pragma once

#include <string_view>
#include <vector>

#include "dictionary.h"
#include "name_match.h"
#include "raw_dictionary.h"

namespace savio {

// Subtype 11: a group of 3 (measure, width, alignment) or 2 (no width) int32
// per variable record that is not a continuation. variableOfRecord gives,
// per such record, the variable it starts, or -1 for the later segments of a
// very long string (whose groups are passed over).
void ApplyDisplayParameters(const ExtensionBody& ext, bool swap,
                            const std::vector<int>& variableOfRecord, Dictionary* dict);

// Subtype 17: the file's attributes.
void ReadFileAttributes(const ExtensionBody& ext, Dictionary* dict);

// Subtype 18: "longname:attributes/..." ; the attribute $@Role sets the role.
void ApplyVariableAttributes(const ExtensionBody& ext, const NameIndex& longNames,
                             Dictionary* dict);

// Subtypes 7 and 19: one set per line, variables by short name.
// A member named more than once is kept once, with a warning.
void ReadMultipleResponseSets(const ExtensionBody& ext, const NameIndex& shortNames,
                              Dictionary* dict);

// Subtype 5: "name= member member" per line, members by long name (older
// writers put short names, which are tried next).
void ReadVariableSets(std::string_view body, const NameIndex& longNames,
                      const NameIndex& shortNames, Dictionary* dict);

}  // namespace savio
