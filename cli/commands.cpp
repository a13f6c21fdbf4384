#include "cli/commands.h"

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli/grid_stream.h"
#include "core/displayline.h"
#include "core/errors.h"
#include "core/export.h"
#include "core/export/output_file.h"
#include "core/export/table_convert.h"
#include "core/gridcells.h"
#include "core/griddata.h"
#include "core/gridfill.h"
#include "core/gridload.h"
#include "core/gridsearch.h"
#include "core/gridsort.h"
#include "core/readahead.h"
#include "core/showntext.h"
#include "core/spssdio1.h"
#include "core/spssfio.h"
#include "core/summary.h"
#include "core/textcodec.h"
#include "core/textfile.h"
#include "core/textmatch.h"
#include "core/valuelabels.h"
#include "core/variablefacts.h"
#include "core/varlist.h"

namespace cli {
namespace {

using namespace spssdio1;

constexpr int kExitError = 1;

void Print(std::FILE* out, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

std::string Shown(const lv::DisplayLine& line, bool utf8) {
    return utf8 ? line.ToUtf8(lv::DisplayEncoding()) : line.Bytes();
}

// Prints each line as it arrives.
class StreamSink : public lv::ValueLabelSink {
  public:
    StreamSink(std::FILE* out, bool utf8) : out_(out), utf8_(utf8) {}
    void AddLine(const lv::DisplayLine& line) override {
        Print(out_, Shown(line, utf8_));
        Print(out_, "\n");
    }
    void SetVarName(std::string_view) override {}
    void SetVarLabel(std::string_view) override {}

  private:
    std::FILE* out_;
    bool utf8_;
};

class DiscardSink : public lv::LineSink {
  public:
    void AddLine(const lv::DisplayLine&) override {}
};

void Complain(Context& c, const std::string& path, const std::string& what) {
    std::fprintf(c.err, "lorivane-dump: %s: %s\n", path.c_str(), what.c_str());
}

// What the program does when a file is chosen: the summary (which sets the
// counts, the system-missing value and the encoding) and the variable list
// (which sets the per-variable display data). Their lines are not printed;
// their messages are.
bool ChooseFile(Context& c, const std::string& path, lv::LineSink* listSink = nullptr) {
    if (!CheckReadable(c, path)) return false;
    DataFileName = path;
    DiscardSink discard;
    lv::ShowFileSummaryLines(discard);
    lv::BuildVariableList(listSink ? *listSink : discard);
    return true;
}

int Status(Context& c, bool ok) {
    return ok && !c.dialogs.reported() ? 0 : kExitError;
}

// The line of a row that the load left without values: the separators alone.
std::string UnfilledLine(const lv::GridData& grid, lv::RowJoin join) {
    std::string line;
    grid.AppendRow(line, UINT32_MAX, lv::DictionaryOrder(grid.columnCount()), join);
    return line;
}

// Prints display rows first .. first + count - 1 of grid, one line each.
void PrintRows(Context& c, const lv::GridData& grid, uint32_t first, uint32_t count,
               std::span<const int> columns, lv::RowJoin join) {
    constexpr uint32_t kBlock = 64;
    std::vector<std::string> lines(kBlock);
    lv::ReadAheadWindow window(grid, columns, first, first + count);
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(kBlock, count - done);
        const std::span<std::string> block(lines.data(), n);
        for (std::string& line : block) line.clear();
        window.Cover(first + done, n);
        grid.AppendRows(block, first + done, columns, join);
        if (grid.lost()) {
            c.dialogs.ShowError("", lv::kLostActionText);
            return;
        }
        for (std::string& line : block) {
            if (c.options.utf8) line = lv::ToUtf8(line, lv::DisplayEncoding());
            line.push_back('\n');
            Print(c.out, line);
        }
        done += n;
    }
}

// A line of find: the case number, the variable's name and the cell's text
// without its padding (tabs and line breaks in it as blanks).
std::string FindLine(Context& c, long long caseNumber, const std::string& name,
                     std::string_view cell) {
    std::string text(lv::WithoutPadding(cell));
    for (char& ch : text)
        if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
    const auto shown = [&](const std::string& bytes) {
        return c.options.utf8 ? lv::ToUtf8(bytes, lv::DisplayEncoding()) : bytes;
    };
    return std::to_string(caseNumber) + "\t" + shown(name) + "\t" + shown(text) + "\n";
}

// The facts a streamed grid shows labels or print formats from, when asked.
const std::vector<lv::VariableFacts>* FactsShown(const Options& o,
                                                 const std::vector<lv::VariableFacts>& facts) {
    return o.labels || o.formatted ? &facts : nullptr;
}

GridShow Shown(const Options& o) {
    return GridShow{o.labels, o.formatted};
}

lv::RowJoin GridJoin(const Options& o) {
    return o.tsv ? lv::RowJoin{'\t', false} : lv::RowJoin{' ', true};
}

// The variable a name on the command line means: its short or long name,
// as the file holds it or in UTF-8; -1 when none.
int VariableNamed(const std::vector<lv::VariableFacts>& facts, const std::string& wanted) {
    for (size_t i = 0; i < facts.size(); ++i)
        if (facts[i].name == wanted || (!facts[i].longName.empty() && facts[i].longName == wanted))
            return static_cast<int>(i);
    for (size_t i = 0; i < facts.size(); ++i)
        if (lv::ShownText(facts[i].ShownName()) == wanted) return static_cast<int>(i);
    return -1;
}

// What --labels, --sort and --var need: the variables' facts and the sort
// keys by column. False (with the message printed) for an unknown name.
bool ReadGridOptions(Context& c, std::vector<lv::VariableFacts>& facts,
                     std::vector<lv::SortKey>& keys) {
    const Options& o = c.options;
    if (!o.labels && !o.formatted && o.sort.empty() && o.findVariable.empty()) return true;
    facts = lv::ReadVariableFacts(DataFileName, VarCount);
    for (const SortOption& key : o.sort) {
        const int column = VariableNamed(facts, key.variable);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + key.variable + "'");
            return false;
        }
        keys.push_back(lv::SortKey{column, key.descending});
    }
    return true;
}

// Every case in a grid, as the window keeps them (read back from the file
// on demand), with labels as asked and its rows sorted; a rendering error is
// reported and the grid keeps the cases before it, as the window does.
// False when the file changed before the sort could read it.
bool LoadSortedGrid(Context& c, lv::GridData& grid, std::vector<lv::VariableFacts> facts,
                    const std::vector<lv::SortKey>& keys) {
    lv::GridFill fill(grid);
    try {
        lv::LoadGrid(fill);
    } catch (const lv::ConversionError& e) {
        c.dialogs.ShowError("", e.what());
    }
    if (!grid.loaded()) return true;
    grid.SetFacts(std::move(facts));
    grid.SetShowLabels(c.options.labels);
    grid.SetShowFormatted(c.options.formatted);
    if (lv::SortRows(grid, keys) || !grid.lost()) return true;
    c.dialogs.ShowError("", lv::kLostActionText);
    return false;
}

// Obtains the variable handles as the grid load does, and nothing more.
class HandlesOnly : public lv::GridLoadConsumer {
  public:
    void Layout(const lv::GridLayout&) override {}
    void EditingOn() override { throw StopLoad{}; }
    void Case(int, std::span<const lv::GridCell>) override {}
};

bool RefuseMatrixData(Context& c) {
    if (CaseCount != -1) return false;
    c.dialogs.ShowMessage("このデータは読めません:Matrix DATA です");
    return true;
}

}  // namespace

bool CheckPath(Context& c, const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        Complain(c, path, std::strerror(errno));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        Complain(c, path, "is a directory");
        return false;
    }
    return true;
}

void ReportUnreadable(Context& c, const std::string& path, int status) {
    const char* why = status == SPSS_INVALID_FILE  ? "not an SPSS system file"
                      : status == SPSS_FILE_RERROR ? "damaged or truncated"
                      : status == SPSS_FILE_OERROR ? "cannot be opened"
                                                   : "cannot be read";
    Complain(c, path, std::string(why) + " (" + StatusName(status) + ")");
}

bool CheckReadable(Context& c, const std::string& path) {
    if (!CheckPath(c, path)) return false;
    int h = 0;
    const int status = spssOpenRead(path.c_str(), &h);
    if (status != 0) {
        ReportUnreadable(c, path, status);
        return false;
    }
    spssCloseRead(h);
    return true;
}

int RunSummary(Context& c) {
    bool ok = true;
    StreamSink sink(c.out, c.options.utf8);
    for (const std::string& path : c.options.files) {
        DataFileName = path;
        sink.AddLine(lv::FileNameLine());
        if (!CheckReadable(c, path)) {
            ok = false;
            // The summary still says what the window would say.
        }
        lv::ShowFileSummaryLines(sink);
    }
    return Status(c, ok);
}

int RunVars(Context& c) {
    lv::LineCollector lines;
    if (!ChooseFile(c, c.options.files[0], &lines)) return kExitError;
    for (const lv::DisplayLine& line : lines.lines) {
        std::string text = Shown(line, c.options.utf8);
        if (c.options.longNames) {
            text += '\t';
            const std::string& longName = line.note();
            const std::string shortName = lv::NameFromLine(line.Bytes());
            const std::string& name = longName.empty() ? shortName : longName;
            text += c.options.utf8 ? lv::ToUtf8(name, lv::DisplayEncoding()) : name;
        }
        text += '\n';
        Print(c.out, text);
    }
    return Status(c, true);
}

int RunLabels(Context& c) {
    lv::LineCollector lines;
    if (!ChooseFile(c, c.options.files[0], &lines)) return kExitError;
    const std::string& wanted = c.options.variable;
    int found = -1;
    for (int i = 0; i < VarCount && found < 0; ++i)
        if (SlotText(VarNames[i]) == wanted) found = i;
    for (int i = 0; i < static_cast<int>(lines.lines.size()) && found < 0; ++i) {
        const std::string& note = lines.lines[i].note();
        if (note == wanted || (!note.empty() && lv::ToUtf8(note, lv::DisplayEncoding()) == wanted))
            found = i;
    }
    if (found < 0) {
        Complain(c, c.options.files[0], "no variable named '" + wanted + "'");
        return kExitError;
    }
    SelectedVarIndex = found;
    CurrentVarName = std::string(lv::Trim(SlotText(VarNames[found])));
    StreamSink sink(c.out, c.options.utf8);
    try {
        lv::FillValueLabelWindow(sink);
    } catch (const std::exception& e) {
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

int RunGrid(Context& c) {
    if (!ChooseFile(c, c.options.files[0])) return kExitError;
    if (RefuseMatrixData(c)) return kExitError;
    const Options& o = c.options;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (!ReadGridOptions(c, facts, keys)) return kExitError;
    const lv::RowJoin join = GridJoin(o);
    if (!keys.empty()) {
        // Sorted rows need every case first; rows A:B are the sorted ones.
        lv::GridData grid;
        if (!LoadSortedGrid(c, grid, std::move(facts), keys)) return kExitError;
        const long long rows = std::max(CaseCount, 0);
        const long long last = o.lastRow == -1 ? rows : std::min(o.lastRow, rows);
        if (last >= o.firstRow)
            PrintRows(c, grid, static_cast<uint32_t>(o.firstRow - 1),
                      static_cast<uint32_t>(last - o.firstRow + 1),
                      lv::DictionaryOrder(grid.columnCount()), join);
        return Status(c, true);
    }
    BlockStream stream(
        o.firstRow, o.lastRow, FactsShown(o, facts),
        [&](const lv::GridData& block, long long) {
            PrintRows(c, block, 0, block.rowCount(), lv::DictionaryOrder(block.columnCount()),
                      join);
        },
        Shown(o));
    try {
        lv::LoadGrid(stream);
        stream.Flush();
        // Rows the load left without values print as empty cells, as the
        // as-displayed export writes them.
        long long last = CaseCount;
        if (o.lastRow != -1 && o.lastRow < last) last = o.lastRow;
        const std::string empty = UnfilledLine(stream.grid(), join) + "\n";
        for (long long r = std::max<long long>(stream.delivered() + 1, o.firstRow); r <= last; ++r)
            Print(c.out, empty);
    } catch (const StopLoad&) {
        stream.Flush();
        LastStatus = spssCloseRead(FileHandle);
    } catch (const std::exception& e) {
        stream.Flush();
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

// The as-displayed export, streamed a block of cases at a time, or from
// the whole grid when its rows are sorted.
void ExportDisplayed(Context& c, std::vector<lv::VariableFacts> facts,
                     const std::vector<lv::SortKey>& keys) {
    lv::TextFileWriter out;
    out.Create(c.options.output);
    const auto write = [&](const lv::GridData& grid, int rows) {
        lv::GridCellSource cells(grid, lv::DictionaryOrder(grid.columnCount()));
        lv::WriteAsDisplayed(out, cells, rows, grid.columnCount());
    };
    if (!keys.empty()) {
        lv::GridData grid;
        if (LoadSortedGrid(c, grid, std::move(facts), keys)) write(grid, std::max(CaseCount, 0));
        out.Close();
        return;
    }
    BlockStream stream(
        1, -1, FactsShown(c.options, facts),
        [&](const lv::GridData& block, long long) {
            write(block, static_cast<int>(block.rowCount()));
        },
        Shown(c.options));
    try {
        lv::LoadGrid(stream);
    } catch (const lv::ConversionError& e) {
        c.dialogs.ShowError("", e.what());
    }
    stream.Flush();
    // Rows the load left without values: empty cells.
    if (CaseCount > stream.delivered())
        write(stream.grid(), static_cast<int>(CaseCount - stream.delivered()));
    out.Close();
}

int RunExportCommand(Context& c) {
    if (!ChooseFile(c, c.options.files[0])) return kExitError;
    if (RefuseMatrixData(c)) return kExitError;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (!ReadGridOptions(c, facts, keys)) return kExitError;
    try {
        if (c.options.raw) {
            HandlesOnly handles;
            try {
                lv::LoadGrid(handles);
            } catch (const StopLoad&) {
                LastStatus = spssCloseRead(FileHandle);
            }
            lv::RunExport(c.options.output, lv::ExportMode::InternalForm, nullptr);
        } else {
            ExportDisplayed(c, std::move(facts), keys);
        }
    } catch (const std::exception& e) {
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

// The table the convert command writes: the choices of its options, with
// --vars turned into columns. False (with the message) for an unknown name.
bool TableChoices(Context& c, const std::vector<lv::VariableFacts>& facts, lv::TableOptions& t) {
    const Options& o = c.options;
    t.format = o.tableFormat.empty() ? *lv::TableFormatOfPath(o.output)
                                     : *lv::TableFormatNamed(o.tableFormat);
    t.labels = o.labels;
    t.header = o.header == "long"     ? lv::HeaderText::LongNames
               : o.header == "labels" ? lv::HeaderText::Labels
                                      : lv::HeaderText::Names;
    t.missingEmpty = o.missing == "empty";
    t.bom = o.bom;
    t.crlf = o.crlf;
    t.firstRow = o.firstRow;
    t.lastRow = o.lastRow;
    for (const std::string& name : o.vars) {
        const int column = VariableNamed(facts, name);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + name + "'");
            return false;
        }
        t.columns.push_back(column);
    }
    return true;
}

int RunConvert(Context& c) {
    if (!ChooseFile(c, c.options.files[0])) return kExitError;
    if (RefuseMatrixData(c)) return kExitError;
    const Options& o = c.options;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (!ReadGridOptions(c, facts, keys)) return kExitError;
    if (facts.empty()) facts = lv::ReadVariableFacts(DataFileName, VarCount);
    lv::TableOptions table;
    if (!TableChoices(c, facts, table)) return kExitError;
    try {
        if (keys.empty()) {
            lv::ConvertFileCases(facts, table, o.output);
        } else {
            lv::GridData grid;
            // A sort that could not read every case writes nothing.
            if (!LoadSortedGrid(c, grid, facts, keys) || c.dialogs.reported()) return kExitError;
            lv::ConvertGridRows(grid, table, o.output);
        }
    } catch (const std::exception& e) {
        std::fprintf(c.err, "lorivane-dump: %s\n", e.what());
        return kExitError;
    }
    return Status(c, true);
}

int RunFind(Context& c) {
    constexpr int kFound = 0, kNone = 1, kTrouble = 2;
    if (!ChooseFile(c, c.options.files[0])) return kTrouble;
    if (RefuseMatrixData(c)) return kTrouble;
    const Options& o = c.options;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (!ReadGridOptions(c, facts, keys)) return kTrouble;
    std::vector<int> columns = lv::DictionaryOrder(std::max(VarCount, 0));
    if (!o.findVariable.empty()) {
        const int column = VariableNamed(facts, o.findVariable);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + o.findVariable + "'");
            return kTrouble;
        }
        columns = {column};
    }
    const lv::TextMatcher matcher(o.text, lv::FindOptions{o.matchCase, o.wholeCell});
    bool found = false;
    std::string line, text;
    BlockStream stream(
        1, -1, FactsShown(o, facts),
        [&](const lv::GridData& block, long long firstCase) {
            lv::ForEachMatch(block, matcher, columns, 0, block.rowCount(), [&](lv::GridPlace p) {
                found = true;
                const int column = columns[p.column];
                text.clear();
                block.AppendCell(text, p.row, column);
                line = FindLine(c, firstCase + p.row, block.Name(column), text);
                Print(c.out, line);
                return true;
            });
        },
        Shown(o));
    try {
        lv::LoadGrid(stream);
        stream.Flush();
    } catch (const std::exception& e) {
        stream.Flush();
        c.dialogs.ShowError("", e.what());
    }
    if (c.dialogs.reported()) return kTrouble;
    return found ? kFound : kNone;
}

}  // namespace cli
