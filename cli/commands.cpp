#include "cli/commands.h"

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/displayline.h"
#include "core/errors.h"
#include "core/export.h"
#include "core/gridload.h"
#include "core/spssdio1.h"
#include "core/spssfio.h"
#include "core/summary.h"
#include "core/textcodec.h"
#include "core/textfile.h"
#include "core/valuelabels.h"
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

// Ends a load early, once the rows wanted have been seen.
struct StopLoad {};

// Renders one case's cells as the grid shows them.
void AppendCellText(std::string& out, const lv::GridColumnLayout& column, const lv::GridCell& cell,
                    bool utf8) {
    switch (cell.kind) {
        case lv::GridCell::Kind::Unread:
            return;
        case lv::GridCell::Kind::Sysmis:
            column.render.AppendSysmis(out);
            return;
        case lv::GridCell::Kind::Number:
            column.render.AppendValue(out, cell.number);
            return;
        case lv::GridCell::Kind::Text:
            if (!utf8) {
                column.render.AppendText(out, cell.text);
            } else {
                std::string text;
                column.render.AppendText(text, cell.text);
                out += lv::ToUtf8(text, lv::DisplayEncoding());
            }
            return;
    }
}

class GridPrinter : public lv::GridLoadConsumer {
  public:
    GridPrinter(Context& c) : c_(c) {}
    void Layout(const lv::GridLayout& layout) override { layout_ = layout; }
    void EditingOn() override {}
    void Case(int row, std::span<const lv::GridCell> cells) override {
        const Options& o = c_.options;
        delivered_ = row;
        if (row < o.firstRow) return;
        if (o.lastRow != -1 && row > o.lastRow) throw StopLoad{};
        line_.clear();
        for (int v = 0; v < layout_.varCount; ++v) {
            if (o.tsv && v > 0) line_.push_back('\t');
            if (v < static_cast<int>(cells.size()))
                AppendCellText(line_, layout_.columns[v], cells[v], o.utf8);
            if (!o.tsv) line_.push_back(' ');
        }
        line_.push_back('\n');
        Print(c_.out, line_);
    }
    // Rows the load left without values print as empty cells, as the
    // as-displayed export writes them.
    void PrintUnfilledRows() {
        const Options& o = c_.options;
        long long last = CaseCount;
        if (o.lastRow != -1 && o.lastRow < last) last = o.lastRow;
        std::string empty;
        for (int v = 0; v < layout_.varCount; ++v) {
            if (o.tsv && v > 0) empty.push_back('\t');
            if (!o.tsv) empty.push_back(' ');
        }
        empty.push_back('\n');
        for (long long r = std::max<long long>(delivered_ + 1, o.firstRow); r <= last; ++r)
            Print(c_.out, empty);
    }

  private:
    Context& c_;
    lv::GridLayout layout_;
    int delivered_ = 0;
    std::string line_;
};

// One case at a time as the as-displayed export's source: row 1 is the case
// in hand.
class CaseCellSource : public lv::CellTextSource, public lv::GridLoadConsumer {
  public:
    explicit CaseCellSource(lv::TextFileWriter& out) : out_(out) {}
    void Layout(const lv::GridLayout& layout) override { layout_ = layout; }
    void EditingOn() override {}
    void Case(int row, std::span<const lv::GridCell> cells) override {
        cells_ = cells;
        lv::WriteDisplayedRow(out_, *this, 1, layout_.varCount, line_);
        written_ = row;
    }
    void AppendCell(std::string& out, int, int column) override {
        if (column - 1 < static_cast<int>(cells_.size()))
            AppendCellText(out, layout_.columns[column - 1], cells_[column - 1], false);
    }
    void AppendRow(std::string& out, int, int varCount) override {
        const int filled = std::min(varCount, static_cast<int>(cells_.size()));
        for (int v = 0; v < filled; ++v) {
            AppendCellText(out, layout_.columns[v], cells_[v], false);
            out.push_back(' ');
        }
        out.append(static_cast<size_t>(varCount - filled), ' ');
    }
    void WriteUnfilledRows() {
        cells_ = {};
        if (CaseCount > written_)
            lv::WriteAsDisplayed(out_, *this, CaseCount - written_, layout_.varCount);
    }

  private:
    lv::TextFileWriter& out_;
    lv::GridLayout layout_;
    std::span<const lv::GridCell> cells_;
    std::string line_;
    int written_ = 0;
};

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
    GridPrinter printer(c);
    try {
        lv::LoadGrid(printer);
        printer.PrintUnfilledRows();
    } catch (const StopLoad&) {
        LastStatus = spssCloseRead(FileHandle);
    } catch (const std::exception& e) {
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

int RunExportCommand(Context& c) {
    if (!ChooseFile(c, c.options.files[0])) return kExitError;
    if (RefuseMatrixData(c)) return kExitError;
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
            lv::TextFileWriter out;
            out.Create(c.options.output);
            CaseCellSource source(out);
            try {
                lv::LoadGrid(source);
            } catch (const lv::ConversionError& e) {
                c.dialogs.ShowError("", e.what());
            }
            source.WriteUnfilledRows();
            out.Close();
        }
    } catch (const std::exception& e) {
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

}  // namespace cli
