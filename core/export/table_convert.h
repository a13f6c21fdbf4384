// Converts cases into a table file (CSV, TSV or .xlsx) while they are read:
// either one pass over the chosen data file, held open, through the grid
// load (the tool), or the rows of a loaded grid in the order they stand
// (the window). Memory does not grow with the case count.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/export/table_columns.h"
#include "core/export/table_options.h"
#include "core/export/table_rows.h"
#include "core/grid/grid_load.h"
#include "core/state/message.h"
#include "core/state/progress.h"

namespace lv {

class GridData;

enum class ConvertOutcome { Written, Cancelled };

// The rows of a table of columns in options.format at path, its header
// written: each row built as options say (texts decoded from encoding),
// on another thread when the machine has more than one core. The target is
// opened now: its errors throw ExportError here. An .xlsx workbook's
// dictionary sheet describes the columns' variables from dictionary (which
// must outlive the rows): without one, or when it lacks a column's variable,
// no workbook is written.
std::unique_ptr<RowSink> OpenTableRows(std::span<const TableColumn> columns,
                                       const TableOptions& options, const std::string& path,
                                       const std::string& encoding,
                                       const FileDictionary* dictionary);

// The case rows to write out of caseCount, and the message when a table of
// them (with its header row) and columns does not fit the format (an .xlsx
// sheet holds 1,048,576 rows and 16,384 columns); none when it fits.
uint64_t RowsWanted(const TableOptions& options, uint64_t caseCount);
Message TableLimitProblem(TableFormat format, uint64_t rows, size_t columns);

// The chosen data file (the shared state a summary set up), held open as
// file, read once through the grid load, options' rows and columns written
// to path. facts: the file's variables, and dictionary its whole dictionary
// (null when it could not be read whole: see OpenTableRows), both read
// through file. Failures throw ExportError (nothing is then left under
// path), a rendering error of the load its ConversionError. cases: only
// those (0-based, ascending; a selection's), options' rows then counting
// them; null for every case.
ConvertOutcome ConvertFileCases(const ReaderHandle& file, const FileDictionary* dictionary,
                                const std::vector<VariableFacts>& facts,
                                const TableOptions& options, const std::string& path,
                                Progress* progress = nullptr,
                                const std::vector<uint32_t>* cases = nullptr);

// Which rows ConvertGridRows counts and writes, in which order: those the
// grid shows, as it shows them (sorted, moved), or every case in the file's
// order (a selection of cases left aside).
enum class GridRowOrder { Display, File };

// The loaded grid's rows options.firstRow .. lastRow (1-based) in the order
// asked, options.columns in the order given, to path. The grid's facts
// must be set (and for .xlsx its dictionary). Failures as above; a grid
// whose values can no longer be read throws ExportError.
ConvertOutcome ConvertGridRows(const GridData& grid, const TableOptions& options,
                               const std::string& path, Progress* progress = nullptr,
                               GridRowOrder order = GridRowOrder::Display);

}  // namespace lv
