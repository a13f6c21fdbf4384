// One field of a line of CSV or TSV, as every CSV and TSV the program
// writes has them (the converter's tables, the codebook, the describe
// table).
//
// CSV follows RFC 4180: a field holding a comma, a double quote, CR or LF
// is put in double quotes, a double quote in it doubled. TSV has no
// quoting: inside a field a tab is written as \t, LF as \n, CR as \r and a
// backslash as \\ (the convention of database bulk loaders).
//
// In both, a text that begins with =, +, -, @, a tab or CR gets an
// apostrophe in front (inside the quotes in CSV), so that a spreadsheet
// opening the file does not take it for a formula; a text that is a plain
// decimal number ("-1", "-1000.30") is left as it is, since a spreadsheet
// reads it as that number. Numbers are never prefixed (a negative number
// stays a number): they are the shortest text that reads back as the same
// double (NumberText).
#pragma once

#include <string>
#include <string_view>

#include "core/text/number_text.h"

namespace lv {

void AppendCsvText(std::string& out, std::string_view text);
void AppendTsvText(std::string& out, std::string_view text);

// expectedDecimals: see AppendNumberText.
inline void AppendDelimitedNumber(std::string& out, double value, int expectedDecimals = 0) {
    AppendNumberText(out, value, expectedDecimals);
}

}  // namespace lv
