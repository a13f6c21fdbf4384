// What the grid's additions know of each variable beyond the shared state:
// its long name, its whole variable label, its print format, its
// user-missing values and its value labels: a view of the file's dictionary
// (file_dictionary.h) shaped for looking values up. Read once per grid with
// a file handle of its own, so the shared state (FileHandle, LastStatus)
// stays as the specified calls left it. Texts are the file's bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/state/progress.h"
#include "core/text/trim.h"

namespace lv {

// A variable's user-missing values: up to three discrete values, or a range
// (both ends included) with up to one discrete value beside it.
struct MissingValues {
    int count = 0;  // discrete values held in numbers / strings
    bool range = false;
    double numbers[3] = {};  // discrete values, then the range's low, high
    double low = 0, high = 0;
    std::string strings[3];  // string variables: without trailing blanks
    std::string lowText, highText;

    bool any() const { return count > 0 || range; }
    bool Holds(double value) const;
    // value without its trailing blanks.
    bool Holds(std::string_view value) const;
};

struct VariableFacts {
    std::string name;      // the short name, as the grid's header shows it
    std::string longName;  // empty when it is the short name
    std::string label;     // the whole variable label; empty when none
    bool isString = false;
    int formatType = 0, formatWidth = 0, formatDecimals = 0;  // print format
    MissingValues missing;
    // Value labels, sorted by value (strings without trailing blanks).
    std::vector<std::pair<double, std::string>> numberLabels;
    std::vector<std::pair<std::string, std::string>> stringLabels;

    // The label of a value, or null when it has none.
    const std::string* LabelOf(double value) const;
    const std::string* LabelOf(std::string_view valueWithoutBlanks) const;
    // The long name when there is one, else the short name.
    const std::string& ShownName() const { return longName.empty() ? name : longName; }
};

// Fills facts (whose name and isString the caller has set) from the
// dictionary's variable of that name: long name, label, print format,
// missing values and the value labels sorted by value.
void TakeFacts(const DictVariable& variable, VariableFacts& facts);

// A variable's user-missing values as the model holds them (strings without
// their trailing blanks).
MissingValues MissingValuesOf(const DictVariable& variable);

// Reads the facts of the first varCount variables of spssdio1's VarNames and
// VarTypes from path (opened, read and closed here). A variable the file
// does not answer for gets only its name; an unreadable file gives the names
// alone. progress hears of the variables read, a few dozen apart; when it
// says stop the reading ends there (the file is closed) and the rest keep
// their names alone: the caller, which asked its progress, drops them.
// dictionary, when given, receives the dictionary they came from when the
// file gave all of it (else null).
std::vector<VariableFacts> ReadVariableFacts(
    const std::string& path, int varCount, Progress* progress = nullptr,
    std::shared_ptr<const FileDictionary>* dictionary = nullptr);
// The same facts from a dictionary already read.
std::vector<VariableFacts> VariableFactsOf(const FileDictionary& dict, int varCount);

}  // namespace lv
