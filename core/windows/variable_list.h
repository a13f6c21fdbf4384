// The variable list's build: one fixed-column line per variable (name, type,
// value-label flag, missing-value flag, variable label) and, on the way, the
// per-variable part of the shared state that the grid, the value-label window
// and the export read: VarCount, VarNames, VarTypes, PrintFormatTypes,
// DisplayFormats and ColumnWidths. Messages go through lv::CurrentDialogs().
#pragma once

#include <string>
#include <string_view>

#include "core/state/progress.h"
#include "core/text/display_line.h"

namespace lv {

// The display specifier of the date formats.
inline constexpr std::string_view kDateSpecifier = "%4d/%2.2d/%2.2d";

// Lists the variables of spssdio1::DataFileName into sink, one line per
// variable in dictionary order; each line's note holds the variable's long
// name when it differs from the short one. Opens and closes the file.
// Returns false (and makes no library call) when DataFileName is empty.
// progress hears of the variables listed, a few dozen apart; when it says
// stop the list ends there (the file is closed), and the caller, which asked
// its progress, must not take the list or the per-variable state as whole.
bool BuildVariableList(LineSink& sink, Progress* progress = nullptr);

// "N" when the library says the variable has no value labels (-8 or -9),
// else "L". String variables are asked with the string-valued call.
// Stores the status in spssdio1::LastStatus.
std::string ValueLabelFlag(const char* name, bool isString);

// "m" when the variable has missing values of any kind, else "N" (also on a
// failed query). Stores the status in spssdio1::LastStatus.
std::string MissingValueFlag(const char* name, bool isString);

// The first two fields of a line: the name padded to 10 bytes and the type
// field ("num    " or "str" + "%3d" of the length + " ").
std::string NameField(std::string_view name);
std::string TypeField(int varType);

// The variable's name as the double click reads it back from a line: its
// first 8 bytes without blanks at either end.
std::string NameFromLine(std::string_view lineBytes);

// The words the window heads its columns with (UTF-8): name, type, value
// labels, missing values, variable label.
inline constexpr std::string_view kVariableListHeadings[] = {"変数名", "タイプ", "値ラベル",
                                                             "欠損値", "変数ラベル"};

// The fields of a line BuildVariableList made, without their padding: the
// name and the label as the file's bytes, the type ("num", "str 32") and the
// two flags. Empty fields for a line of another shape.
struct VariableListFields {
    std::string name, type, labelFlag, missingFlag, label;
};
VariableListFields FieldsOfLine(const DisplayLine& line);

}  // namespace lv
