// What the grid's additions know of each variable beyond the shared state:
// its long name, its whole variable label and its print format as the grid
// shows them, and the file's dictionary variable itself, where its
// user-missing values and value labels are looked up. Read once per grid
// with a file handle of its own, so the shared state (FileHandle,
// LastStatus) stays as the specified calls left it. Texts are the file's
// bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/state/progress.h"
#include "core/text/trim.h"

namespace lv {

struct VariableFacts {
    std::string name;      // the short name, as the grid's header shows it
    std::string longName;  // empty when it is the short name
    std::string label;     // the whole variable label; empty when none
    bool isString = false;
    PrintFormat format;  // print format (type 0: none)
    // The dictionary's variable; one the file did not answer for holds the
    // name and type alone.
    DictVariable variable;

    const MissingValues& missing() const { return variable.missingValues; }
    bool hasValueLabels() const { return !variable.labelOrder.empty(); }
    // The label of a value (a string without its trailing blanks), or null.
    const std::string* LabelOf(double value) const { return variable.LabelOf(value); }
    const std::string* LabelOf(std::string_view valueWithoutBlanks) const {
        return variable.LabelOf(valueWithoutBlanks);
    }
    // The long name when there is one, else the short name.
    const std::string& ShownName() const { return longName.empty() ? name : longName; }
};

// Fills facts (whose name and isString the caller has set) from the
// dictionary's variable of that name.
void TakeFacts(const DictVariable& variable, VariableFacts& facts);

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
