// A new system file's dictionary made from a file's whole dictionary: the
// variables kept in their chosen order, every part of the dictionary that
// describes them (labels, missing values, formats, display parameters,
// roles, attributes, the weight when kept), the file's documents,
// attributes and product info, and the multiple-response and variable sets
// cut to the variables kept. Texts are turned into UTF-8, or kept in the
// source's own encoding.
#pragma once

#include <string>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "savio/sav_writer.h"

namespace lv {

struct SavDictionary {
    savio::writer::FileSpec spec;
    // The sets left without enough members to stay (their names), dropped.
    std::vector<std::string> droppedSets;
    // Whether string values are turned into UTF-8 (from sourceEncoding).
    bool convertsValues = false;
};

// columns: indices into dict.variables (empty: all, in file order);
// sourceEncoding: the encoding the dictionary's texts are in.
SavDictionary PlanSavDictionary(const FileDictionary& dict, const std::vector<int>& columns,
                                const std::string& sourceEncoding, bool keepEncoding);

// Widens the kept string variable at index (into spec.variables) to hold
// bytes, its A or AHEX formats with it; never narrows.
void WidenString(savio::writer::FileSpec& spec, size_t index, int bytes);

}  // namespace lv
