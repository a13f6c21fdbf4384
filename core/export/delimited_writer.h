// CSV and TSV, UTF-8, with LF or CR LF line ends and an optional byte-order
// mark: fields separated by commas or tabs, each written as
// core/text/delimited_field.h says (quoting or escapes, the formula guard,
// numbers as the shortest text that reads back). Dates are ISO 8601 texts
// that keep the stored value, whatever the print format shows of it:
// yyyy-mm-dd for a whole day (a date format's value with a time of day gets
// the date-time form), yyyy-mm-ddThh:mm:ss[.f...] and [-]hh:mm:ss[.f...]
// (hours beyond 24 for durations), with the fraction of a second the value
// holds, as few digits as read back exactly (calendar.h's ExactSeconds).
//
// A row of a single empty field (a one-column table's missing value, or an
// empty header) is written as "" in CSV and in TSV alike, never as an empty
// line, which readers skip. A reader that takes TSV quotes as quotes (R,
// pandas, Python's csv, spreadsheets) reads it as an empty field; TSV has
// no other quoting, so a text that is exactly "" reads the same.
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
    void EndLine(size_t fields);

    OutputFile out_;
    bool tsv_, crlf_;
    std::vector<TableColumn> columns_;
    std::string line_;
};

// The text of a time of seconds, also for the tests.
void AppendIsoTime(std::string& out, double seconds);

}  // namespace lv
