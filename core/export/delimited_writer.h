// CSV and TSV, UTF-8, with LF or CR LF line ends and an optional byte-order
// mark: fields separated by commas or tabs, each written as
// core/text/delimited_field.h says (quoting or escapes, the formula guard,
// numbers as the shortest text that reads back). Dates are ISO 8601 texts:
// yyyy-mm-dd, yyyy-mm-ddThh:mm:ss[.fff] and [-]hh:mm:ss[.fff] (hours beyond
// 24 for durations), with the print format's decimals of the second.
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
