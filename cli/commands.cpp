#include "cli/commands.h"

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli/grid_stream.h"
#include "core/displayline.h"
#include "core/errors.h"
#include "core/export.h"
#include "core/gridcells.h"
#include "core/griddata.h"
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
    return utf8 ? line.ToUtf8(lv::CurrentFileEncoding()) : line.Bytes();
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

// Checks that path is a readable system file, with one clear message when not.
bool CheckReadable(Context& c, const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        Complain(c, path, std::strerror(errno));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        Complain(c, path, "is a directory");
        return false;
    }
    int h = 0;
    const int status = spssOpenRead(path.c_str(), &h);
    if (status != 0) {
        const char* why = status == SPSS_INVALID_FILE  ? "not an SPSS system file"
                          : status == SPSS_FILE_RERROR ? "damaged or truncated"
                          : status == SPSS_FILE_OERROR ? "cannot be opened"
                                                       : "cannot be read";
        Complain(c, path, std::string(why) + " (" + StatusName(status) + ")");
        return false;
    }
    spssCloseRead(h);
    return true;
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
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(kBlock, count - done);
        const std::span<std::string> block(lines.data(), n);
        for (std::string& line : block) line.clear();
        grid.AppendRows(block, first + done, columns, join);
        for (std::string& line : block) {
            if (c.options.utf8) line = lv::ToUtf8(line, lv::CurrentFileEncoding());
            line.push_back('\n');
            Print(c.out, line);
        }
        done += n;
    }
}

lv::RowJoin GridJoin(const Options& o) {
    return o.tsv ? lv::RowJoin{'\t', false} : lv::RowJoin{' ', true};
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
            text += c.options.utf8 ? lv::ToUtf8(name, lv::CurrentFileEncoding()) : name;
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
        if (note == wanted ||
            (!note.empty() && lv::ToUtf8(note, lv::CurrentFileEncoding()) == wanted))
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
    const lv::RowJoin join = GridJoin(o);
    BlockStream stream(o.firstRow, o.lastRow, nullptr, [&](const lv::GridData& block, long long) {
        PrintRows(c, block, 0, block.rowCount(), lv::DictionaryOrder(block.columnCount()), join);
    });
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
            const auto write = [&](const lv::GridData& grid, int rows) {
                lv::GridCellSource cells(grid, lv::DictionaryOrder(grid.columnCount()));
                lv::WriteAsDisplayed(out, cells, rows, grid.columnCount());
            };
            BlockStream stream(1, -1, nullptr, [&](const lv::GridData& block, long long) {
                write(block, static_cast<int>(block.rowCount()));
            });
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
    } catch (const std::exception& e) {
        c.dialogs.ShowError("", e.what());
    }
    return Status(c, true);
}

}  // namespace cli
