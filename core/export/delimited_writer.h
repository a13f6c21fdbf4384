// CSV and TSV, UTF-8, with LF or CR LF line ends and an optional byte-order
// mark.
//
// CSV follows RFC 4180: fields separated by commas; a field holding a
// comma, a double quote, CR or LF is put in double quotes, a double quote
// in it doubled.
//
// TSV has no quoting: fields are separated by tabs, and inside a value a
// tab is written as \t, LF as \n, CR as \r and a backslash as \\ (the
// convention of database bulk loaders; nothing else is escaped).
//
// In both, a text field that begins with =, +, -, @, a tab or CR gets an
// apostrophe in front, so that a spreadsheet opening the file does not take
// it for a formula. Numbers are never prefixed (a negative number stays a
// number): they are the shortest text that reads back as the same double,
// in plain digits unless very large or very small (NumberText).
// Dates are ISO 8601 texts: yyyy-mm-dd, yyyy-mm-ddThh:mm:ss[.fff] and
// [-]hh:mm:ss[.fff] (hours beyond 24 for durations), with the print
// format's decimals of the second.
#pragma once

#include <string>

#include "core/export/output_file.h"
#include "core/export/table_columns.h"

namespace lv {

class DelimitedWriter final : public TableWriter {
  public:
    DelimitedWriter(const std::string& path, const TableOptions& options);

    void Header(std::span<const TableColumn> columns) override;
    void Row(std::span<const TableCell> cells) override;
    void Commit() override;

  private:
    void AppendText(std::string_view text);
    void AppendValue(const TableCell& cell, const TableColumn& column);
    void EndLine();

    OutputFile out_;
    bool tsv_, crlf_;
    std::vector<TableColumn> columns_;
    std::string line_;
};

// The text of a time of seconds, also for the tests.
void AppendIsoTime(std::string& out, double seconds, int decimals);

}  // namespace lv
