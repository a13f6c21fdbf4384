// The columns of a converted table: for each variable written, what its
// values are (numbers, dates, date-times, times, strings), its print format
// and its header text, and the cells of one row as the writers take them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/export/table_options.h"
#include "core/rendering/print_format.h"

namespace lv {

// Dates are written as dates by the print format's category: the days and
// periods (DATE, QYR...) as a date, DATETIME and YMDHMS as a date and time,
// the durations (TIME, DTIME, MTIME) as a time. Everything else numeric is
// a plain number.
enum class ValueKind : unsigned char { Number, Date, DateTime, Time, String };

struct TableColumn {
    int variable = 0;  // dictionary index
    ValueKind kind = ValueKind::Number;
    PrintFormat format;  // normalized print format
    std::string header;  // UTF-8
    const VariableFacts* facts = nullptr;
};

ValueKind ValueKindOf(const PrintFormat& format, bool isString);

// The columns options.columns asks for (all when empty), their headers
// decoded from encoding. facts outlives the columns.
std::vector<TableColumn> PlanColumns(const std::vector<VariableFacts>& facts,
                                     const TableOptions& options, std::string_view encoding);

// One cell as written: nothing, a number (for a date column, seconds as
// stored) or a text in UTF-8.
struct TableCell {
    enum class Kind : unsigned char { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string_view text;
};

// Writes a table: the header row, then the rows, then Commit. A writer
// destroyed before Commit leaves no file under the target's name.
class TableWriter {
  public:
    virtual ~TableWriter() = default;
    virtual void Header(std::span<const TableColumn> columns) = 0;
    virtual void Row(std::span<const TableCell> cells) = 0;
    virtual void Commit() = 0;
};

}  // namespace lv
