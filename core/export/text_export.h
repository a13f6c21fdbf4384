// The grid's text export: one line per case, values separated by blanks,
// CR LF line ends, written through TextFileWriter. Two modes: the texts as
// the grid shows them, or the raw values read again from the data file.
#pragma once

#include <span>
#include <string>

#include "core/state/japanese_messages.h"  // kExportLostText
#include "core/state/progress.h"

namespace lv {

class TextFileWriter;

// The cell texts of the as-displayed export, by grid position: row 1 ..
// caseCount and column 1 .. varCount as they stand on screen (the window's
// model and view, or the tool's stream of cases).
class CellTextSource {
  public:
    virtual ~CellTextSource() = default;
    // Appends the bytes of the cell at (row, column) to out; an empty cell
    // appends nothing.
    virtual void AppendCell(std::string& out, int row, int column) = 0;
    // Appends the cells of row, columns 1 .. varCount, each followed by a
    // blank. Sources that can walk a row faster than cell by cell override it.
    virtual void AppendRow(std::string& out, int row, int varCount);
    // Rows firstRow .. firstRow + lines.size() - 1, each into its own
    // (empty) line as AppendRow gives it. Sources that store values by
    // column override it to walk a block of rows column by column.
    virtual void AppendRows(std::span<std::string> lines, int firstRow, int varCount);
    // The rows to write when a selection of cases narrows them (-1: every
    // case of the file).
    virtual int SelectedRows() const { return -1; }
    // True once cells could no longer be read (the data file changed since
    // the grid was loaded): the export then stops rather than write them
    // empty.
    virtual bool Lost() const { return false; }
};

enum class ExportMode { AsDisplayed, InternalForm };

// Rows 1 .. caseCount, each the cell texts of columns 1 .. varCount, each
// followed by a blank, then CR LF. When the cells are lost on the way it
// shows kExportLostText after the rows before and returns false. progress
// hears of the rows written, a block of rows apart; when it says stop the
// write ends there and returns false, without a message.
bool WriteAsDisplayed(TextFileWriter& out, CellTextSource& cells, int caseCount, int varCount,
                      Progress* progress = nullptr);
// One such row, built in line (a buffer the caller keeps between rows).
void WriteDisplayedRow(TextFileWriter& out, CellTextSource& cells, int row, int varCount,
                       std::string& line);

// Reads caseCount cases through the open data file with the shared
// VarHandles and writes each variable's raw value and a blank (strings as
// stored, numbers in the scientific form; a failed value read writes
// nothing), then CR LF. On a failed case read it shows the read-trouble
// message and returns false. progress hears of the cases written (a few
// thousand values apart); when it says stop the write ends there and returns
// false, without a message.
bool WriteInternalForm(TextFileWriter& out, int caseCount, int varCount,
                       Progress* progress = nullptr);

// The rows of the export in mode into out, which the caller created and
// closes; in the internal form the data file is opened and closed again on
// every path. Returns as WriteAsDisplayed and WriteInternalForm do.
bool WriteExport(TextFileWriter& out, ExportMode mode, CellTextSource* cells,
                 Progress* progress = nullptr);

// The export after its dialogs: writes path in mode (through an OutputFile,
// which takes the name when closed), closes the output and, in the internal
// form, the data file, on every path. Returns true when every line was
// written (the caller then beeps); input/output errors propagate as
// InOutError after the closing, and leave nothing under path. The lines
// before a read failure or a changed file are written, and false returned.
// cells is used only in the as-displayed mode. When progress says stop, the
// export closes what it opened, writes nothing under path (an existing file
// stays as it was) and returns false.
bool RunExport(const std::string& path, ExportMode mode, CellTextSource* cells,
               Progress* progress = nullptr);

}  // namespace lv
