#include "core/export/sav_convert.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <ctime>
#include <numeric>
#include <optional>

#include "core/cases/case_stream.h"
#include "core/export/output_file.h"
#include "core/export/sav_spec.h"
#include "core/grid/cell_block.h"
#include "core/grid/edited_cell.h"
#include "core/grid/grid_data.h"
#include "core/selection/stream_condition.h"
#include "core/state/data_file_checks.h"
#include "core/state/version.h"
#include "encoding/codec.h"

namespace lv {
namespace w = savio::writer;
namespace {

w::Stamp Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return w::Stamp{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool IsUtf8Name(const std::string& encoding) {
    std::string upper;
    for (char ch : encoding) upper += char(std::toupper(static_cast<unsigned char>(ch)));
    return upper == "UTF-8" || upper == "UTF8";
}

// The cases a pass reads: a selection cut to the rows asked for, or, when
// every case is read, the first lastRow cases with those before firstRow
// skipped as they come; with a condition, those counted among the cases it
// selects.
struct CaseRange {
    std::optional<std::vector<uint32_t>> list;
    int64_t skip = 0;         // no list: cases (or cases selected) at the start not written
    int64_t lastCase = -1;    // no list, no condition: read no further
    int64_t lastChosen = -1;  // a condition: the last of the cases selected written
};

CaseRange RangeOf(const SavChoices& c, const std::vector<uint32_t>* cases, bool condition) {
    CaseRange range;
    const int64_t first = std::max(c.firstRow, 1LL) - 1;
    if (cases) {
        const size_t begin = std::min<size_t>(size_t(first), cases->size());
        const size_t end =
            c.lastRow < 0 ? cases->size() : std::min<size_t>(size_t(c.lastRow), cases->size());
        range.list.emplace(cases->begin() + long(begin),
                           cases->begin() + long(std::max(begin, end)));
        return range;
    }
    range.skip = first;
    (condition ? range.lastChosen : range.lastCase) = c.lastRow;
    return range;
}

CasesWanted Wanted(std::vector<int> variables, const CaseRange& range) {
    CasesWanted wanted;
    wanted.variables = std::move(variables);
    wanted.cases = range.list ? &*range.list : nullptr;
    wanted.lastCase = range.lastCase;
    return wanted;
}

void ThrowIfFailed(const CaseStream& stream) {
    if (stream.end() == CaseStream::End::Failed) throw ExportError(stream.failure());
}

// The writer's refusals, worded for the path.
[[noreturn]] void Refuse(const std::string& path, const w::WriteError& e) {
    throw ExportError(Message{MessageCode::SavNotWritable, {path, e.what()}});
}

// The values of one case a pass hands over: of the kept columns it was
// asked for, in that order.
using Cells = std::span<const GridCell>;

// The new file's dictionary and how the source's values become its own.
struct SavPlan {
    SavDictionary dictionary;
    std::string encoding;  // the source's texts'
    bool convert = false;  // string values turned into UTF-8
};

SavPlan PlanOf(const FileDictionary& dict, const SavChoices& choices,
               const std::vector<int>& variables) {
    SavPlan plan;
    plan.encoding = choices.sourceEncoding.empty() ? dict.encoding : choices.sourceEncoding;
    plan.dictionary = PlanSavDictionary(dict, variables, plan.encoding, choices.keepEncoding);
    w::FileSpec& spec = plan.dictionary.spec;
    spec.product = std::string("Lorivane ") + ProgramVersion();
    spec.created = Now();
    spec.compression = choices.compression;
    plan.convert = plan.dictionary.convertsValues && !IsUtf8Name(plan.encoding);
    return plan;
}

std::vector<int> KeptVariables(const FileDictionary& dict, const SavChoices& choices) {
    std::vector<int> variables = choices.columns;
    if (variables.empty()) {
        variables.resize(dict.variables.size());
        std::iota(variables.begin(), variables.end(), 0);
    }
    return variables;
}

// Writes the cases pass hands over as plan says. pass(which, take) is one
// pass over the cases to write, calling take(cells) with the values of the
// kept columns numbered in which, case after case; false when cancelled.
// widen: a first pass finds the bytes each string column's longest value
// needs (converted values, edits) and widens the column to them.
template <typename Pass>
SavOutcome WriteCases(SavPlan& plan, bool widen, const std::string& path, Pass&& pass) {
    SavOutcome result;
    result.droppedSets = plan.dictionary.droppedSets;
    w::FileSpec& spec = plan.dictionary.spec;
    const auto text = [&](std::string_view bytes, std::string& scratch) {
        if (!plan.convert || bytes.empty()) return bytes;
        scratch = ToUtf8(bytes, plan.encoding);
        return std::string_view(scratch);
    };
    std::string scratch;
    std::vector<size_t> strings;
    for (size_t i = 0; i < spec.variables.size(); ++i)
        if (spec.variables[i].width > 0) strings.push_back(i);
    if (widen && !strings.empty()) {
        std::vector<size_t> longest(strings.size(), 0);
        const bool read = pass(strings, [&](Cells cells) {
            for (size_t c = 0; c < strings.size(); ++c)
                if (cells[c].kind == GridCell::Kind::Text)
                    longest[c] = std::max(longest[c], text(cells[c].text, scratch).size());
        });
        if (!read) {
            result.outcome = ConvertOutcome::Cancelled;
            return result;
        }
        for (size_t c = 0; c < strings.size(); ++c)
            WidenString(spec, strings[c], int(std::min<size_t>(longest[c], 32767)));
    }

    // The writer writes and rewrites through the output file's descriptor:
    // it keeps no buffer there, and the file is named once complete.
    OutputFile out(path);
    try {
        w::FdSink sink(out.fd());
        w::Writer writer(spec, sink);
        std::vector<size_t> all(spec.variables.size());
        std::iota(all.begin(), all.end(), size_t{0});
        const bool read = pass(all, [&](Cells cells) {
            for (size_t c = 0; c < cells.size(); ++c) {
                const GridCell& cell = cells[c];
                if (spec.variables[c].width > 0)
                    writer.SetString(c, cell.kind == GridCell::Kind::Text ? text(cell.text, scratch)
                                                                          : std::string_view());
                else
                    writer.SetNumber(c,
                                     cell.kind == GridCell::Kind::Number ? cell.number : -DBL_MAX);
            }
            writer.EndCase();
        });
        if (!read) {
            result.outcome = ConvertOutcome::Cancelled;
            return result;
        }
        writer.Finish();
        result.cases = writer.casesWritten();
    } catch (const w::WriteError& e) {
        Refuse(path, e);
    }
    out.Commit();
    return result;
}

// Lets go of what a grid's store read ahead, however the walk ends.
struct ReadAheadRelease {
    const GridData& grid;
    ~ReadAheadRelease() { grid.ReadAhead({}, {}); }
};

}  // namespace

std::optional<savio::Compression> SavFormatNamed(std::string_view word) {
    std::string lower;
    for (char ch : word) lower += char(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == "sav") return savio::Compression::Bytecode;
    if (lower == "zsav") return savio::Compression::Zlib;
    return std::nullopt;
}

std::optional<savio::Compression> SavFormatOfPath(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return SavFormatNamed(path.substr(dot + 1));
}

namespace {

bool IsInput(const std::string& input, const std::string& output, const DataFileStamp& target) {
    const DataFileStamp source = StampOfDataFile(input);
    return output == input ||
           (source.present && source.inode == target.inode && source.device == target.device);
}

}  // namespace

void RefuseInputAsOutput(const ReaderHandle& file, const std::string& output) {
    const DataFileStamp target = StampOfDataFile(output);
    if (!target.present) return;
    if (IsInput(file.path(), output, target) || file.Holds(target))
        throw ExportError(Message{MessageCode::OutputIsInput, {output}});
}

void RefuseInputAsOutput(const std::string& input, const std::string& output) {
    const DataFileStamp target = StampOfDataFile(output);
    if (target.present && IsInput(input, output, target))
        throw ExportError(Message{MessageCode::OutputIsInput, {output}});
}

SavOutcome ConvertFileToSav(const ReaderHandle& file, const FileDictionary& dict,
                            const SavChoices& choices, const std::string& path, Progress* progress,
                            const std::vector<uint32_t>* cases, const Condition* where) {
    RefuseInputAsOutput(file, path);
    const std::vector<int> variables = KeptVariables(dict, choices);
    SavPlan plan = PlanOf(dict, choices, variables);
    if (cases) where = nullptr;
    const CaseRange range = RangeOf(choices, cases, where != nullptr);
    const auto pass = [&](const std::vector<size_t>& which, const auto& take) {
        std::vector<int> read;
        for (size_t k : which) read.push_back(variables[k]);
        // The condition chooses the cases in the same pass, which reads
        // every case in file order: only those chosen are decoded.
        std::optional<StreamCondition> selector;
        if (where) selector.emplace(*where);
        CasesWanted wanted = Wanted(std::move(read), range);
        wanted.chooser = selector ? &*selector : nullptr;
        CaseStream stream(file, std::move(wanted), progress);
        std::vector<GridCell> cells(which.size());
        const auto write = [&](int64_t row) {
            const CaseValues& values = stream.values();
            for (size_t c = 0; c < which.size(); ++c) {
                GridCell& cell = cells[c];
                if (values.isText(c)) {
                    cell.kind = GridCell::Kind::Text;
                    cell.text = values.Text(row, c);
                    continue;
                }
                // A float record's system-missing value of 0 is bogus:
                // the reader shows those zeros as numbers, and so do we.
                cell.number = values.Number(row, c);
                cell.kind = cell.number == stream.sysmis() && cell.number != 0
                                ? GridCell::Kind::Sysmis
                                : GridCell::Kind::Number;
            }
            take(Cells(cells));
        };
        int64_t chosen = 0;  // cases the condition selected so far
        while (stream.Next()) {
            if (!selector) {
                for (int64_t row = 0; row < stream.rows(); ++row)
                    if (stream.CaseNumber(row) >= range.skip) write(row);
                continue;
            }
            for (int64_t row = 0; row < stream.rows(); ++row) {
                if (++chosen <= range.skip) continue;
                if (range.lastChosen >= 0 && chosen > range.lastChosen) return true;
                write(row);
                // The rows asked for are written: the rest of the file is not read.
                if (chosen == range.lastChosen) return true;
            }
        }
        ThrowIfFailed(stream);
        return stream.end() != CaseStream::End::Cancelled;
    };
    return WriteCases(plan, plan.convert, path, pass);
}

SavOutcome ConvertGridToSav(const GridData& grid, const std::string& input,
                            const SavChoices& choices, const std::string& path,
                            std::span<const uint32_t> fileRows, Progress* progress) {
    RefuseInputAsOutput(input, path);
    const FileDictionary* dict = grid.dictionary();
    if (!dict || dict->variables.size() != size_t(grid.columnCount()))
        throw ExportError(Message{MessageCode::SavNoDictionary});
    const std::vector<int> variables = KeptVariables(*dict, choices);
    SavPlan plan = PlanOf(*dict, choices, variables);
    const size_t first =
        std::min<size_t>(size_t(std::max(choices.firstRow, 1LL) - 1), fileRows.size());
    const size_t end = choices.lastRow < 0
                           ? fileRows.size()
                           : std::min<size_t>(size_t(choices.lastRow), fileRows.size());
    const std::span<const uint32_t> rows = fileRows.subspan(first, std::max(first, end) - first);
    const bool edits = choices.writeEdits && grid.hasEdits() && !grid.namesInDataRow();
    constexpr size_t kBlockRows = 1024;

    const auto pass = [&](const std::vector<size_t>& which, const auto& take) {
        std::vector<int> read;
        for (size_t k : which) read.push_back(variables[k]);
        // The store reads the rows of a block at once, in whatever order.
        const size_t window = grid.WindowRows(read);
        const size_t blockRows = window ? std::min(size_t(window), kBlockRows) : kBlockRows;
        const ReadAheadRelease release{grid};
        CellBlock block;
        std::vector<GridCell> cells(which.size());
        for (size_t r = 0; r < rows.size(); r += blockRows) {
            if (!Continue(progress, r, rows.size())) return false;
            const std::span<const uint32_t> part =
                rows.subspan(r, std::min(blockRows, rows.size() - r));
            if (window) grid.ReadAhead(part, read);
            block.Gather(grid, read, part);
            if (grid.lost()) throw ExportError(Message{MessageCode::ConvertFileChanged});
            for (uint32_t i = 0; i < part.size(); ++i) {
                for (size_t k = 0; k < which.size(); ++k) {
                    GridCell& cell = cells[k];
                    const CellState state = block.State(k, i);
                    cell = GridCell{};
                    if (state == CellState::Value && block.isText(k)) {
                        cell.kind = GridCell::Kind::Text;
                        cell.text = block.Text(k, i);
                    } else if (state == CellState::Value) {
                        cell.kind = GridCell::Kind::Number;
                        cell.number = block.Number(k, i);
                    }
                    if (edits)
                        if (const std::string* edit = grid.EditAt(part[i], read[k]))
                            cell = EditedCell(*edit, !block.isText(k));
                }
                take(Cells(cells));
            }
        }
        return Continue(progress, rows.size(), rows.size());
    };
    return WriteCases(plan, plan.convert || edits, path, pass);
}

}  // namespace lv
