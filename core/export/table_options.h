// What a conversion of the data into a table file (CSV, TSV, .xlsx) writes:
// the choices the window's dialog and lorivane-dump convert both offer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

enum class TableFormat { Csv, Tsv, Xlsx };

// The header row: short names (the 8-byte names of the dictionary), long
// names (the short name where there is none), or variable labels (the long
// name where there is none).
enum class HeaderText { Names, LongNames, Labels };

struct TableOptions {
    TableFormat format = TableFormat::Csv;
    bool labels = false;  // a labelled value is written as its label
    HeaderText header = HeaderText::LongNames;
    bool missingEmpty = false;  // user-missing values as empty cells
    bool bom = false;           // CSV/TSV: a UTF-8 byte-order mark first
    bool crlf = false;          // CSV/TSV: CR LF line ends (else LF)
    // Variables by dictionary index in the order written; empty: all, in
    // dictionary order.
    std::vector<int> columns;
    // Cases first .. last (1-based, inclusive; last -1: to the end), counted
    // in the order the cases are read (the file's, or the grid's).
    long long firstRow = 1, lastRow = -1;
};

// The format an output name's extension stands for (.csv, .tsv, .tab,
// .txt, .xlsx, in any case); nothing for any other.
std::optional<TableFormat> TableFormatOfPath(std::string_view path);
// "csv", "tsv", "xlsx" -> the format; nothing for any other word.
std::optional<TableFormat> TableFormatNamed(std::string_view word);

}  // namespace lv
