// The rows of a conversion on their way into a table file: the cases'
// values, one per column written (RowSink), made into the cells the table
// writer takes (RowBuilder) and written (TableRows).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/export/table_columns.h"
#include "core/export/table_options.h"
#include "core/grid/grid_layout.h"

namespace lv {

// Takes a table's rows as the cases hold them: per row, value k for
// column k (a short row's missing values are empty). A value's text need
// last only until Row returns. Commit once every row is given.
class RowSink {
  public:
    virtual ~RowSink() = default;
    virtual void Row(std::span<const GridCell> values) = 0;
    virtual void Commit() = 0;
};

// Builds the cells of one row from the cases' values as the options say:
// user-missing values empty when asked, labels for labelled values when
// asked, strings without their trailing blanks and decoded to UTF-8 (bytes
// that do not decode become U+FFFD, NUL bytes are dropped).
class RowBuilder {
  public:
    RowBuilder(std::span<const TableColumn> columns, const TableOptions& options,
               std::string encoding);
    // The cells of a row; they last until the next Build.
    std::span<const TableCell> Build(std::span<const GridCell> values);

  private:
    void Set(size_t k, const GridCell& value);
    void SetText(size_t k, std::string_view bytes);

    std::span<const TableColumn> columns_;
    TableOptions options_;
    std::string encoding_;
    bool plainEncoding_;  // UTF-8: ASCII and valid UTF-8 need no decoding
    std::vector<TableCell> cells_;
    std::vector<size_t> textStart_, textSize_;
    std::string text_, decoded_;
};

// Each row built and given to a table writer whose header is written.
class TableRows final : public RowSink {
  public:
    TableRows(std::span<const TableColumn> columns, const TableOptions& options,
              std::string encoding, std::unique_ptr<TableWriter> writer);
    void Row(std::span<const GridCell> values) override;
    void Commit() override;

  private:
    RowBuilder builder_;
    std::unique_ptr<TableWriter> writer_;
};

}  // namespace lv
