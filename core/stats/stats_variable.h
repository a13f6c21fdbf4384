// What the statistics need to know of a variable: its position and the
// file's dictionary variable (names, label, type, measure, print format,
// user-missing values and value labels). Texts are the file's bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_words.h"
#include "core/dictionary/file_dictionary.h"

namespace lv {

struct StatsVariable {
    int index = 0;  // 0-based dictionary position
    const DictVariable* dict = nullptr;

    bool isString() const { return dict->isString(); }
    const std::string& name() const { return dict->name; }
    const std::string& longName() const { return dict->longName; }
    const MissingValues& missing() const { return dict->missingValues; }
    // The label of a value, or null.
    const std::string* LabelOf(double value) const { return dict->LabelOf(value); }
    const std::string* LabelOf(std::string_view valueWithoutBlanks) const {
        return dict->LabelOf(valueWithoutBlanks);
    }
};

StatsVariable MakeStatsVariable(const FileDictionary& dict, int index);

// The file's weight variable (numeric), or -1 when it names none.
int WeightVariableIndex(const FileDictionary& dict);

}  // namespace lv
