#include "cli/commands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/grid_stream.h"
#include "cli/password_source.h"
#include "cli/tool_messages.h"
#include "cli/variable_lines.h"
#include "core/compute/computed_variables.h"
#include "core/compute/grid_computed.h"
#include "core/condition/condition.h"
#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/reader_handle.h"
#include "core/dictionary/variable_facts.h"
#include "core/dictionary/variable_name.h"
#include "core/export/grid_cells.h"
#include "core/export/output_file.h"
#include "core/export/sav_convert.h"
#include "core/export/table_convert.h"
#include "core/export/text_export.h"
#include "core/export/text_file.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_load.h"
#include "core/grid/grid_search.h"
#include "core/grid/grid_sort.h"
#include "core/grid/read_ahead.h"
#include "core/selection/file_selection.h"
#include "core/selection/grid_selection.h"
#include "core/state/data_file_checks.h"
#include "core/state/english_messages.h"
#include "core/state/errors.h"
#include "core/state/progress.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/text/display_line.h"
#include "core/text/shown_text.h"
#include "core/text/text_match.h"
#include "core/text/trim.h"
#include "core/windows/summary.h"
#include "core/windows/value_labels.h"
#include "core/windows/variable_list.h"
#include "savio/file_passwords.h"
#include "savio/spssfio.h"

namespace lv::cli {
namespace {

// A progress that stops the work once done() says so (the tool's way of
// ending a load early: the load stops before its next block of cases).
class StopWhen final : public lv::Progress {
  public:
    explicit StopWhen(std::function<bool()> done) : done_(std::move(done)) {}
    bool Step(uint64_t, uint64_t) override { return !done_(); }

  private:
    std::function<bool()> done_;
};

using namespace spssdio1;

constexpr int kExitError = 1;
constexpr int kExitBadCondition = 2;

void Print(std::FILE* out, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

// The file's bytes as printed: decoded to UTF-8 unless --bytes.
std::string Shown(const Options& o, std::string bytes) {
    if (!o.utf8() || lv::IsAscii(bytes)) return bytes;
    return lv::ToUtf8(bytes, lv::DisplayEncoding());
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
    PrintMessage(c.err, path, what);
}

std::string ConditionText(const lv::ConditionError& error) {
    return lv::EnglishAtCharacter(error.position, error.message);
}

// The chosen file as it was before anything was read from it: a pass over
// its cases that finds it different afterwards read another file, or parts
// of two.
lv::DataFileStamp gChosenStamp;

// After a pass over the cases: false, with the grid's message for a file
// changed under it, when the file is no longer the one chosen.
bool StillChosenFile(Context& c) {
    if (lv::StampOfDataFile(DataFileName) == gChosenStamp) return true;
    c.dialogs.Tell(lv::Message{lv::MessageCode::GridFileChanged});
    return false;
}

// What the program does when a file is chosen: the summary (which sets the
// counts, the system-missing value and the encoding) and the variable list
// (which sets the per-variable display data). Their lines are not printed;
// their messages are. They read the file at its path: it must have been the
// command's open file all along, or what they set would describe another.
bool ChooseFile(Context& c, const std::string& path, lv::LineSink* listSink = nullptr) {
    gChosenStamp = lv::StampOfDataFile(path);
    if (!CheckReadable(c, path)) return false;
    DataFileName = path;
    DiscardSink discard;
    lv::ShowFileSummaryLines(discard);
    lv::BuildVariableList(listSink ? *listSink : discard);
    if (c.file.Holds(gChosenStamp)) return StillChosenFile(c);
    c.dialogs.Tell(lv::Message{lv::MessageCode::GridFileChanged});
    return false;
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
            c.dialogs.Tell(lv::Message{lv::MessageCode::GridFileChanged});
            return;
        }
        for (std::string& line : block) {
            if (c.options.utf8() && !lv::IsAscii(line))
                line = lv::ToUtf8(line, lv::DisplayEncoding());
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
    return std::to_string(caseNumber) + "\t" + Shown(c.options, name) + "\t" +
           Shown(c.options, std::move(text)) + "\n";
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

// The variables named on the command line are found by variable_name.h's
// rule, decoded with the encoding in force.
lv::VariableNameIndex NameIndex(const std::vector<lv::VariableFacts>& facts) {
    return lv::VariableNameIndex(lv::NamesOf(facts), lv::DisplayEncoding());
}

// What --labels, --sort and --var need: the variables' facts and the sort
// keys by column. False (with the message printed) for an unknown name.
bool ReadGridOptions(Context& c, std::vector<lv::VariableFacts>& facts,
                     std::vector<lv::SortKey>& keys) {
    const Options& o = c.options;
    if (!o.labels && !o.formatted && o.sort.empty() && o.findVariable.empty() && o.where.empty())
        return true;
    if (facts.empty()) facts = lv::VariableFactsOf(DictionaryOf(c), VarCount);
    const lv::VariableNameIndex names = NameIndex(facts);
    for (const SortOption& key : o.sort) {
        const int column = names.Find(key.variable);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + key.variable + "'");
            return false;
        }
        keys.push_back(lv::SortKey{column, key.descending});
    }
    return true;
}

// The command's dictionary when it was read whole: what a workbook's
// dictionary sheet describes.
std::shared_ptr<const lv::FileDictionary> WholeDictionary(Context& c) {
    DictionaryOf(c);
    return c.dictionaryStatus == 0 ? c.dictionary : nullptr;
}

// Every case in a grid, as the window keeps them (read back on demand from
// the command's open file), with labels as asked and its rows sorted; a
// rendering error is reported and the grid keeps the cases before it, as
// the window does. False when the file changed before the sort could read
// it.
bool LoadSortedGrid(Context& c, lv::GridData& grid, std::vector<lv::VariableFacts> facts,
                    const std::vector<lv::SortKey>& keys) {
    lv::GridFill fill(grid, {}, lv::ReadBackFrom::LoadedFile);
    try {
        lv::LoadGridFrom(c.file, fill);
    } catch (const lv::ConversionError& e) {
        c.dialogs.Report(e);
    }
    if (!grid.loaded()) return true;
    // The file's own variables; those of --compute become the grid's
    // computed columns, as the window adds them.
    if (facts.size() > size_t(grid.columnCount())) facts.resize(size_t(grid.columnCount()));
    grid.SetFacts(std::move(facts), WholeDictionary(c));
    if (!c.options.compute.empty()) {
        std::vector<lv::ComputeSpec> specs;
        if (!ComputeSpecs(c, specs)) return false;
        if (const auto error = lv::SetGridComputed(grid, specs, lv::DisplayEncoding())) {
            Complain(c, DataFileName,
                     "--compute " + specs[error->spec].name + ": " + ConditionText(error->error));
            return false;
        }
    }
    grid.SetShowLabels(c.options.labels);
    grid.SetShowFormatted(c.options.formatted);
    if (keys.empty() || lv::SortRows(grid, keys) || !grid.lost()) return true;
    c.dialogs.Tell(lv::Message{lv::MessageCode::GridFileChanged});
    return false;
}

// Narrows a loaded grid to the cases of --where (if given). False, with the
// message and the condition's position printed, for a bad condition.
bool ApplyWhere(Context& c, lv::GridData& grid) {
    if (c.options.where.empty() || !grid.loaded()) return true;
    const lv::GridSelection selection =
        lv::ApplyCondition(grid, c.options.where, lv::DisplayEncoding());
    if (selection.status == lv::GridSelection::Status::BadCondition) {
        Complain(c, DataFileName, "--where: " + ConditionText(selection.error));
        return false;
    }
    if (selection.status == lv::GridSelection::Status::Stopped)
        c.dialogs.Tell(lv::Message{lv::MessageCode::GridFileChanged});
    return true;
}

// The condition of --where (if given) checked against the variables before
// any case is read or any output made. False, with the message and the
// condition's position printed, for a bad condition.
bool CheckCondition(Context& c, const std::vector<lv::VariableFacts>& facts) {
    if (c.options.where.empty()) return true;
    const auto compiled = lv::CompileCondition(c.options.where, lv::ConditionVariablesOf(facts),
                                               lv::DisplayEncoding());
    if (const auto* error = std::get_if<lv::ConditionError>(&compiled)) {
        Complain(c, DataFileName, "--where: " + ConditionText(*error));
        return false;
    }
    return true;
}

// The rows a whole grid prints: the cases, or those --where selects.
long long PrintedRows(Context& c, const lv::GridData& grid) {
    return c.options.where.empty() ? std::max(CaseCount, 0) : grid.rowCount();
}

// Obtains the variable handles as the grid load does, and reads no case.
class HandlesOnly : public lv::GridLoadConsumer {
  public:
    void Layout(const lv::GridLayout&) override {}
    void EditingOn() override {}
    int LastCase() const override { return 0; }
    void Case(int, std::span<const lv::GridCell>) override {}
};

bool RefuseMatrixData(Context& c) {
    if (CaseCount != -1) return false;
    c.dialogs.Tell(lv::Message{lv::MessageCode::MatrixDataNotRead});
    return true;
}

// The command's file chosen (not Matrix Data) and its grid options read:
// what grid, export, convert and find start with. False once the message
// is printed.
bool OpenForGrid(Context& c, std::vector<lv::VariableFacts>& facts,
                 std::vector<lv::SortKey>& keys) {
    return ChooseFile(c, c.options.files[0]) && !RefuseMatrixData(c) &&
           ReadGridOptions(c, facts, keys);
}

// The facts of the file's variables and, after them, of those of --compute,
// checked against the dictionary before any case is read: what --sort,
// --var, --vars and --where find them by. False, with the message and the
// expression's position printed, for a bad one.
bool ComputedFacts(Context& c, std::vector<lv::VariableFacts>& facts) {
    std::vector<lv::ComputeSpec> specs;
    if (!ComputeSpecs(c, specs)) return false;
    lv::FileDictionary dict = DictionaryOf(c);
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, DataFileName, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return false;
    }
    const size_t fileVariables = dict.variables.size();
    const auto made = lv::AddComputedVariables(dict, specs, lv::DisplayEncoding());
    if (const auto* error = std::get_if<lv::ComputeError>(&made)) {
        Complain(c, DataFileName,
                 "--compute " + specs[error->spec].name + ": " + ConditionText(error->error));
        return false;
    }
    facts = lv::VariableFactsOf(dict, VarCount);
    for (size_t v = fileVariables; v < dict.variables.size(); ++v)
        facts.push_back(lv::ComputedFactsOf(dict.variables[v]));
    return true;
}

// OpenForGrid for a command that shows the variables of --compute as the
// grid's computed columns: 0, or the exit status once the message is printed.
int OpenForComputedGrid(Context& c, std::vector<lv::VariableFacts>& facts,
                        std::vector<lv::SortKey>& keys) {
    if (!ChooseFile(c, c.options.files[0]) || RefuseMatrixData(c)) return kExitError;
    if ((!c.options.compute.empty() || !c.options.computeLabels.empty()) &&
        !ComputedFacts(c, facts))
        return kExitBadCondition;
    return ReadGridOptions(c, facts, keys) ? 0 : kExitError;
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
    // Opening a FIFO would wait for a writer; a device is no system file.
    if (!S_ISREG(st.st_mode)) {
        Complain(c, path, lv::EnglishText(lv::Message{lv::MessageCode::NotRegularFile}));
        return false;
    }
    return true;
}

bool CheckOutputFolder(Context& c, const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return true;  // the current folder
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        Complain(c, path,
                 errno == ENOENT ? "the folder " + folder + " does not exist"
                                 : folder + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        Complain(c, path, folder + " is not a folder");
        return false;
    }
    return true;
}

void ReportUnreadable(Context& c, const std::string& path, int status, const std::string& reason) {
    if (status == SPSS_FILE_ENCRYPTED) {
        const std::string& empty = EmptyPasswordGiven();
        Complain(c, path,
                 empty.empty()
                     ? "encrypted: give its password with --password-file FILE or LORIVANE_PASSWORD"
                     : "encrypted, and no password was given (" + empty + ")");
        return;
    }
    if (status == SPSS_WRONG_PASSWORD) {
        Complain(c, path, "wrong password");
        return;
    }
    const char* why = status == SPSS_INVALID_FILE  ? "not an SPSS system file"
                      : status == SPSS_FILE_RERROR ? "damaged or truncated"
                      : status == SPSS_FILE_OERROR ? "cannot be opened"
                                                   : "cannot be read";
    std::string text = std::string(why) + " (" + StatusName(status) + ")";
    if (!reason.empty()) text += ": " + reason;
    Complain(c, path, text);
}

bool OpenCommandFile(Context& c, const std::string& path) {
    c.dictionary.reset();
    c.dictionaryStatus = 0;
    const int status = c.file.Open(path);
    if (status == 0) return true;
    ReportUnreadable(c, path, status, lv::LastOpenRefusal().reason);
    return false;
}

const lv::FileDictionary& DictionaryOf(Context& c) {
    if (!c.dictionary) {
        auto dict = std::make_shared<lv::FileDictionary>();
        c.dictionaryStatus = lv::ReadFileDictionary(c.file, dict.get());
        c.dictionary = std::move(dict);
    }
    return *c.dictionary;
}

bool CheckReadable(Context& c, const std::string& path) {
    if (!CheckPath(c, path) || !OpenCommandFile(c, path)) return false;
    spssFileHeaderInfo info{};
    if (spssGetFileHeaderInfo(c.file.get(), &info) == 0) {
        c.casesInData = info.casesInData;
        c.headerCases = info.headerCaseCount >= 0 ? info.headerCaseCount : info.caseCount64;
    }
    return true;
}

bool ComputeSpecs(Context& c, std::vector<lv::ComputeSpec>& specs) {
    specs.clear();
    for (const std::string& text : c.options.compute) specs.push_back(*lv::ParseComputeSpec(text));
    for (const std::string& labelled : c.options.computeLabels) {
        const size_t equals = labelled.find('=');
        const std::string name = labelled.substr(0, equals);
        bool found = false;
        for (lv::ComputeSpec& spec : specs)
            if (spec.name == name) {
                spec.label = labelled.substr(equals + 1);
                found = true;
            }
        if (!found) {
            Complain(c, c.file.path(),
                     "--compute-label: no computed variable named '" + name + "'");
            return false;
        }
    }
    return true;
}

bool ApplyComputed(Context& c, const std::string& encoding) {
    if (c.options.compute.empty() && c.options.computeLabels.empty()) return true;
    const std::string& path = c.file.path();
    DictionaryOf(c);
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, path, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return false;
    }
    std::vector<lv::ComputeSpec> specs;
    if (!ComputeSpecs(c, specs)) return false;
    auto dict = std::make_shared<lv::FileDictionary>(*c.dictionary);
    auto made = lv::AddComputedVariables(*dict, specs, encoding);
    if (auto* error = std::get_if<lv::ComputeError>(&made)) {
        Complain(c, path,
                 "--compute " + specs[error->spec].name + ": " + ConditionText(error->error));
        return false;
    }
    c.file.SetDerived(std::get<std::shared_ptr<lv::ComputedVariables>>(made));
    c.dictionary = std::move(dict);
    return true;
}

bool WhereCases(Context& c, const std::string& encoding,
                std::optional<std::vector<uint32_t>>& out) {
    if (c.options.where.empty()) return true;
    const std::string& path = c.file.path();
    const lv::FileDictionary& dict = DictionaryOf(c);
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, path, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return false;
    }
    lv::FileSelection selection = lv::SelectFileCases(c.file, dict, c.options.where, encoding);
    if (selection.status == lv::FileSelection::Status::BadCondition) {
        Complain(c, path, "--where: " + ConditionText(selection.error));
        return false;
    }
    if (selection.status == lv::FileSelection::Status::BadFile) {
        ReportUnreadable(c, path, selection.fileStatus, lv::LastOpenRefusal().reason);
        return false;
    }
    out = std::move(selection.cases);
    return true;
}

bool ReportShortData(Context& c) {
    if (c.casesInData < 0 || c.dialogs.reported()) return false;
    Complain(c, c.options.files[0],
             "damaged or truncated: the data ends after " + std::to_string(c.casesInData) +
                 " of the " + std::to_string(c.headerCases) + " cases its header gives");
    return true;
}

int RunSummary(Context& c) {
    bool ok = true;
    StreamSink sink(c.out, c.options.utf8());
    for (const std::string& path : c.options.files) {
        DataFileName = path;
        // A file that cannot be read is told of on standard error only.
        if (!CheckReadable(c, path)) {
            ok = false;
            continue;
        }
        sink.AddLine(lv::FileNameLine());
        lv::ShowFileSummaryLines(sink);
    }
    return Status(c, ok);
}

int RunVars(Context& c) {
    lv::LineCollector lines;
    if (!ChooseFile(c, c.options.files[0], &lines)) return kExitError;
    const auto shown = [&c](const std::string& bytes) { return Shown(c.options, bytes); };
    Print(c.out, VariableListText(lines.lines, shown, c.options.utf8(), c.options.longNames));
    return Status(c, true);
}

int RunLabels(Context& c) {
    lv::LineCollector lines;
    if (!ChooseFile(c, c.options.files[0], &lines)) return kExitError;
    // Each line of the list notes its variable's long name.
    std::vector<lv::VariableNames> names(static_cast<size_t>(std::max(VarCount, 0)));
    for (size_t i = 0; i < names.size(); ++i) {
        names[i].name = SlotText(VarNames[i]);
        if (i < lines.lines.size()) names[i].longName = lines.lines[i].note();
    }
    const int found = lv::FindVariableNamed(names, c.options.variable, lv::DisplayEncoding());
    if (found < 0) {
        Complain(c, c.options.files[0], "no variable named '" + c.options.variable + "'");
        return kExitError;
    }
    SelectedVarIndex = found;
    CurrentVarName = std::string(lv::Trim(SlotText(VarNames[found])));
    StreamSink sink(c.out, c.options.utf8());
    try {
        lv::FillValueLabelWindow(sink);
    } catch (const std::exception& e) {
        c.dialogs.Report(e);
    }
    return Status(c, true);
}

int RunGrid(Context& c) {
    const Options& o = c.options;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (const int status = OpenForComputedGrid(c, facts, keys)) return status;
    const lv::RowJoin join = GridJoin(o);
    if (!keys.empty() || !o.where.empty() || !o.compute.empty()) {
        // Sorted or selected rows need every case first; rows A:B are the
        // sorted (selected) ones.
        lv::GridData grid;
        if (!LoadSortedGrid(c, grid, std::move(facts), keys)) return kExitError;
        if (!ApplyWhere(c, grid)) return kExitBadCondition;
        const long long rows = PrintedRows(c, grid);
        const long long last = o.lastRow == -1 ? rows : std::min(o.lastRow, rows);
        if (last >= o.firstRow)
            PrintRows(c, grid, static_cast<uint32_t>(o.firstRow - 1),
                      static_cast<uint32_t>(last - o.firstRow + 1),
                      lv::DictionaryOrder(grid.columnCount()), join);
        return Status(c, StillChosenFile(c));
    }
    BlockStream stream(
        o.firstRow, o.lastRow, FactsShown(o, facts),
        [&](const lv::GridData& block, long long) {
            PrintRows(c, block, 0, block.rowCount(), lv::DictionaryOrder(block.columnCount()),
                      join);
        },
        Shown(o));
    try {
        lv::LoadGridFrom(c.file, stream);
        stream.Flush();
        // Rows the load left without values print as empty cells, as the
        // as-displayed export writes them.
        long long last = CaseCount;
        if (o.lastRow != -1 && o.lastRow < last) last = o.lastRow;
        const std::string empty = UnfilledLine(stream.grid(), join) + "\n";
        for (long long r = std::max<long long>(stream.delivered() + 1, o.firstRow); r <= last; ++r)
            Print(c.out, empty);
    } catch (const std::exception& e) {
        stream.Flush();
        c.dialogs.Report(e);
    }
    return Status(c, StillChosenFile(c) && !ReportShortData(c));
}

// The as-displayed export into out, streamed a block of cases at a time,
// or from the whole grid when its rows are sorted or selected. False for a
// bad --where condition.
bool ExportDisplayed(Context& c, lv::TextFileWriter& out, std::vector<lv::VariableFacts> facts,
                     const std::vector<lv::SortKey>& keys) {
    const auto write = [&](const lv::GridData& grid, int rows) {
        lv::GridCellSource cells(grid, lv::DictionaryOrder(grid.columnCount()));
        lv::WriteAsDisplayed(out, cells, rows, grid.columnCount());
    };
    if (!keys.empty() || !c.options.where.empty() || !c.options.compute.empty()) {
        lv::GridData grid;
        if (LoadSortedGrid(c, grid, std::move(facts), keys)) {
            if (!ApplyWhere(c, grid)) return false;
            write(grid, static_cast<int>(PrintedRows(c, grid)));
        }
        return true;
    }
    BlockStream stream(
        1, -1, FactsShown(c.options, facts),
        [&](const lv::GridData& block, long long) {
            write(block, static_cast<int>(block.rowCount()));
        },
        Shown(c.options));
    try {
        lv::LoadGridFrom(c.file, stream);
    } catch (const lv::ConversionError& e) {
        c.dialogs.Report(e);
    }
    stream.Flush();
    // Rows the load left without values: empty cells.
    if (CaseCount > stream.delivered())
        write(stream.grid(), static_cast<int>(CaseCount - stream.delivered()));
    return true;
}

// The export, written under its name only when everything went well: a bad
// condition, an unreadable file or a failed write leave nothing there (and
// an existing file as it was).
int RunExportCommand(Context& c) {
    if (!CheckOutputFolder(c, c.options.output)) return kExitError;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (const int status = OpenForComputedGrid(c, facts, keys)) return status;
    if (!CheckCondition(c, facts)) return kExitBadCondition;
    lv::TextFileWriter out;
    try {
        out.Create(c.options.output);
        if (c.options.raw) {
            HandlesOnly handles;
            lv::LoadGrid(handles);
            lv::WriteExport(out, lv::ExportMode::InternalForm, nullptr);
        } else if (!ExportDisplayed(c, out, std::move(facts), keys)) {
            return kExitBadCondition;
        }
        const int status = Status(c, StillChosenFile(c) && !ReportShortData(c));
        if (status != 0) return status;
        out.Close();
    } catch (const std::exception& e) {
        c.dialogs.Report(e);
    }
    return Status(c, true);
}

namespace {

// The variables --vars names, as columns in its order. False (with the
// message) for an unknown name.
bool ColumnsNamed(Context& c, const lv::VariableNameIndex& names, std::vector<int>& columns) {
    for (const std::string& name : c.options.variables) {
        const int column = names.Find(name);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + name + "'");
            return false;
        }
        columns.push_back(column);
    }
    return true;
}

}  // namespace

// The table the convert command writes: the choices of its options, with
// --vars turned into columns. False (with the message) for an unknown name.
bool TableChoices(Context& c, const std::vector<lv::VariableFacts>& facts, lv::TableOptions& t) {
    const Options& o = c.options;
    // Standard output has no extension: CSV unless --format says otherwise.
    t.format = !o.tableFormat.empty() ? *lv::TableFormatNamed(o.tableFormat)
               : o.output == "-"      ? lv::TableFormat::Csv
                                      : *lv::TableFormatOfPath(o.output);
    t.labels = o.labels;
    t.header = o.header == "names"    ? lv::HeaderText::Names
               : o.header == "labels" ? lv::HeaderText::Labels
                                      : lv::HeaderText::LongNames;
    t.missingEmpty = o.missing == "empty";
    t.bom = o.bom;
    t.crlf = o.crlf;
    t.firstRow = o.firstRow;
    t.lastRow = o.lastRow;
    return ColumnsNamed(c, NameIndex(facts), t.columns);
}

namespace {

// convert to a .sav or .zsav: the chosen cases and variables of the
// command's open file with its whole dictionary.
int ConvertToSav(Context& c) {
    const Options& o = c.options;
    const std::string& path = o.files[0];
    if (!o.decrypt && savio::IsEncryptedFile(path)) {
        Complain(c, path, "encrypted: convert writes it unencrypted only with --decrypt");
        return kExitError;
    }
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (!OpenForGrid(c, facts, keys)) return kExitError;
    const size_t fileVariables = DictionaryOf(c).variables.size();
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, path, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return kExitError;
    }
    if (!ApplyComputed(c, lv::DisplayEncoding())) return kExitBadCondition;
    const lv::FileDictionary& dict = DictionaryOf(c);
    lv::SavChoices choices;
    choices.compression =
        o.tableFormat.empty() ? *lv::SavFormatOfPath(o.output) : *lv::SavFormatNamed(o.tableFormat);
    choices.keepEncoding = o.keepEncoding;
    choices.sourceEncoding = lv::DisplayEncoding();
    choices.firstRow = o.firstRow;
    choices.lastRow = o.lastRow;
    if (!o.variables.empty()) {
        // Computed variables are named as the file's are: by the
        // dictionary's names (the shared state knows the file's only).
        const lv::VariableNameIndex names(lv::NamesOf(dict.variables), lv::DisplayEncoding());
        if (!ColumnsNamed(c, names, choices.columns)) return kExitError;
        for (const int v : choices.columns)
            if (size_t(v) >= fileVariables && !o.keepComputed) {
                Complain(c, path,
                         "--vars names a computed variable: write it with --keep-computed");
                return kExitBadCondition;
            }
    } else {
        // The file's own variables, and the computed ones only when asked.
        for (size_t v = 0; v < (o.keepComputed ? dict.variables.size() : fileVariables); ++v)
            choices.columns.push_back(int(v));
    }
    try {
        lv::SavOutcome outcome;
        if (keys.empty()) {
            // File order: --where is run in the pass that writes, which
            // reads the file once.
            std::optional<lv::Condition> where;
            if (!o.where.empty()) {
                auto compiled = lv::CompileFileCondition(dict, o.where, lv::DisplayEncoding());
                if (auto* error = std::get_if<lv::ConditionError>(&compiled)) {
                    Complain(c, path, "--where: " + ConditionText(*error));
                    return kExitBadCondition;
                }
                where = std::move(std::get<lv::Condition>(compiled));
            }
            outcome = lv::ConvertFileToSav(c.file, dict, choices, o.output, nullptr, nullptr,
                                           where ? &*where : nullptr);
        } else {
            // Sorted: the grid's rows in their order (those --where selects),
            // read back from the open file as the grid window reads them.
            lv::RefuseInputAsOutput(c.file, o.output);
            if (facts.empty()) facts = lv::VariableFactsOf(dict, VarCount);
            lv::GridData grid;
            if (!LoadSortedGrid(c, grid, facts, keys) || c.dialogs.reported()) return kExitError;
            if (!ApplyWhere(c, grid)) return kExitBadCondition;
            if (c.dialogs.reported()) return kExitError;
            outcome =
                lv::ConvertGridToSav(grid, c.file.path(), choices, o.output, grid.order().All());
        }
        for (const std::string& set : outcome.droppedSets)
            PrintMessage(c.err, o.output,
                         "warning: the set '" +
                             lv::ToUtf8(set, o.keepEncoding ? choices.sourceEncoding
                                                            : std::string("UTF-8")) +
                             "' is left out: too few of its variables are kept");
    } catch (const std::exception& e) {
        PrintMessage(c.err, EnglishWhat(e));
        return kExitError;
    }
    return Status(c, true);
}

}  // namespace

int RunConvert(Context& c) {
    const Options& o = c.options;
    if (IsSavOutput(o)) return ConvertToSav(c);
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (const int status = OpenForComputedGrid(c, facts, keys)) return status;
    if (facts.empty()) facts = lv::VariableFactsOf(DictionaryOf(c), VarCount);
    lv::TableOptions table;
    if (!TableChoices(c, facts, table)) return kExitError;
    try {
        if (keys.empty() && o.compute.empty()) {
            // --where: the selected cases first, from the variables the
            // condition names, then a second pass of the same open file
            // writing only those.
            std::optional<std::vector<uint32_t>> selected;
            if (!WhereCases(c, lv::DisplayEncoding(), selected)) return kExitBadCondition;
            lv::ConvertFileCases(c.file, WholeDictionary(c).get(), facts, table, o.output, nullptr,
                                 selected ? &*selected : nullptr);
        } else {
            lv::GridData grid;
            // A sort that could not read every case writes nothing; with
            // --where, the sorted rows selected.
            if (!LoadSortedGrid(c, grid, facts, keys) || c.dialogs.reported()) return kExitError;
            if (!ApplyWhere(c, grid)) return kExitBadCondition;
            if (c.dialogs.reported()) return kExitError;
            lv::ConvertGridRows(grid, table, o.output);
        }
    } catch (const std::exception& e) {
        PrintMessage(c.err, EnglishWhat(e));
        return kExitError;
    }
    return Status(c, true);
}

int RunFind(Context& c) {
    constexpr int kFound = 0, kNone = 1, kTrouble = 2;
    const Options& o = c.options;
    std::vector<lv::VariableFacts> facts;
    std::vector<lv::SortKey> keys;
    if (OpenForComputedGrid(c, facts, keys) != 0) return kTrouble;
    // The file's variables and the computed ones after them.
    std::vector<int> columns = lv::DictionaryOrder(
        o.compute.empty() ? std::max(VarCount, 0) : static_cast<int>(facts.size()));
    if (!o.findVariable.empty()) {
        const int column = NameIndex(facts).Find(o.findVariable);
        if (column < 0) {
            Complain(c, DataFileName, "no variable named '" + o.findVariable + "'");
            return kTrouble;
        }
        columns = {column};
    }
    const lv::TextMatcher matcher(o.text, lv::FindOptions{o.matchCase, o.wholeCell});
    bool found = false;
    long long matches = 0;
    // Whether another match may be printed (--max-count).
    const auto more = [&] { return o.maxCount < 0 || matches < o.maxCount; };
    std::string line, text;
    if (!o.where.empty() || !o.compute.empty()) {
        // The selected cases of the whole grid, with their case numbers.
        lv::GridData grid;
        if (!LoadSortedGrid(c, grid, std::move(facts), {})) return kTrouble;
        if (!ApplyWhere(c, grid)) return kTrouble;
        const long long shown = grid.rowCount();
        const long long end = o.lastRow < 0 ? shown : std::min(o.lastRow, shown);
        if (o.firstRow > end) return kNone;
        lv::ForEachMatch(grid, matcher, columns, static_cast<uint32_t>(o.firstRow - 1),
                         static_cast<uint32_t>(end), [&](lv::GridPlace p) {
                             found = true;
                             ++matches;
                             const int column = columns[p.column];
                             text.clear();
                             grid.AppendCell(text, p.row, column);
                             Print(c.out,
                                   FindLine(c, grid.FileRow(p.row) + 1LL, grid.Name(column), text));
                             return more();
                         });
        if (c.dialogs.reported()) return kTrouble;
        return found ? kFound : kNone;
    }
    BlockStream stream(
        o.firstRow, o.lastRow, FactsShown(o, facts),
        [&](const lv::GridData& block, long long firstCase) {
            if (!more()) return;
            lv::ForEachMatch(block, matcher, columns, 0, block.rowCount(), [&](lv::GridPlace p) {
                found = true;
                ++matches;
                const int column = columns[p.column];
                text.clear();
                block.AppendCell(text, p.row, column);
                line = FindLine(c, firstCase + p.row, block.Name(column), text);
                Print(c.out, line);
                return more();
            });
        },
        Shown(o));
    // With every match wanted found, the load stops before its next block.
    StopWhen enough([&] { return !more(); });
    try {
        lv::LoadGridFrom(c.file, stream, o.maxCount > 0 ? &enough : nullptr);
        stream.Flush();
    } catch (const std::exception& e) {
        stream.Flush();
        c.dialogs.Report(e);
    }
    if (!StillChosenFile(c) || c.dialogs.reported() || ReportShortData(c)) return kTrouble;
    // Lines that could not be written are trouble, not "no match".
    if (std::fflush(c.out) != 0 || std::ferror(c.out)) {
        Complain(c, "standard output", std::strerror(errno));
        return kTrouble;
    }
    return found ? kFound : kNone;
}

int RunSelect(Context& c) {
    constexpr int kSelected = 0, kNone = 1, kTrouble = 2;
    const std::string& path = c.options.files[0];
    if (!CheckPath(c, path) || !OpenCommandFile(c, path)) return kTrouble;
    DictionaryOf(c);
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, path, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return kTrouble;
    }
    if (!ApplyComputed(c, lv::ChosenDisplayEncoding())) return kTrouble;
    const lv::FileSelection selection = lv::SelectFileCases(
        c.file, DictionaryOf(c), c.options.condition, lv::ChosenDisplayEncoding());
    switch (selection.status) {
        case lv::FileSelection::Status::BadCondition:
            Complain(c, path, ConditionText(selection.error));
            return kTrouble;
        case lv::FileSelection::Status::BadFile:
            ReportUnreadable(c, path, selection.fileStatus, lv::LastOpenRefusal().reason);
            return kTrouble;
        case lv::FileSelection::Status::Ok:
            break;
    }
    std::string lines;
    for (uint32_t row : selection.cases) {
        lines += std::to_string(row + 1ULL);
        lines += '\n';
        if (lines.size() > 1 << 16) {
            Print(c.out, lines);
            lines.clear();
        }
    }
    Print(c.out, lines);
    return selection.cases.empty() ? kNone : kSelected;
}

}  // namespace lv::cli
