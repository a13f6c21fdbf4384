#include "core/export/sav_convert.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <ctime>
#include <optional>

#include "core/cases/case_stream.h"
#include "core/export/output_file.h"
#include "core/export/sav_spec.h"
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
// every case is wanted, the first lastRow cases with those before firstRow
// skipped as they come.
struct CaseRange {
    std::optional<std::vector<uint32_t>> list;
    int64_t skip = 0;       // cases at the start not written (no list)
    int64_t lastCase = -1;  // no list: read no further
};

CaseRange RangeOf(const SavChoices& c, const std::vector<uint32_t>* cases) {
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
    range.lastCase = c.lastRow;
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

// The UTF-8 bytes the longest value of each string column needs.
bool WidenForUtf8(const ReaderHandle& file, const std::vector<int>& variables,
                  const CaseRange& range, const std::string& encoding, w::FileSpec& spec,
                  Progress* progress) {
    std::vector<int> strings;
    std::vector<size_t> where;
    for (size_t i = 0; i < variables.size(); ++i)
        if (spec.variables[i].width > 0) {
            strings.push_back(variables[i]);
            where.push_back(i);
        }
    if (strings.empty()) return true;
    std::vector<size_t> longest(strings.size(), 0);
    CaseStream stream(file, Wanted(strings, range), progress);
    while (stream.Next()) {
        for (int64_t row = 0; row < stream.rows(); ++row) {
            if (stream.CaseNumber(row) < range.skip) continue;
            for (size_t c = 0; c < strings.size(); ++c) {
                const std::string_view bytes = stream.values().Text(row, c);
                if (bytes.empty()) continue;
                longest[c] = std::max(longest[c], ToUtf8(bytes, encoding).size());
            }
        }
    }
    ThrowIfFailed(stream);
    if (stream.end() == CaseStream::End::Cancelled) return false;
    for (size_t c = 0; c < strings.size(); ++c)
        WidenString(spec, where[c], int(std::min<size_t>(longest[c], 32767)));
    return true;
}

// The writer's refusals, worded for the path.
[[noreturn]] void Refuse(const std::string& path, const w::WriteError& e) {
    throw ExportError(Message{MessageCode::SavNotWritable, {path, e.what()}});
}

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

void RefuseInputAsOutput(const ReaderHandle& file, const std::string& output) {
    const DataFileStamp target = StampOfDataFile(output);
    if (!target.present) return;
    const DataFileStamp source = StampOfDataFile(file.path());
    const bool sameInode =
        source.present && source.inode == target.inode && source.device == target.device;
    if (output == file.path() || sameInode || file.Holds(target))
        throw ExportError(Message{MessageCode::OutputIsInput, {output}});
}

SavOutcome ConvertFileToSav(const ReaderHandle& file, const FileDictionary& dict,
                            const SavChoices& choices, const std::string& path, Progress* progress,
                            const std::vector<uint32_t>* cases) {
    RefuseInputAsOutput(file, path);
    const std::string encoding =
        choices.sourceEncoding.empty() ? dict.encoding : choices.sourceEncoding;
    std::vector<int> variables = choices.columns;
    if (variables.empty())
        for (size_t i = 0; i < dict.variables.size(); ++i) variables.push_back(int(i));
    SavDictionary plan = PlanSavDictionary(dict, variables, encoding, choices.keepEncoding);
    w::FileSpec& spec = plan.spec;
    spec.product = std::string("Lorivane ") + ProgramVersion();
    spec.created = Now();
    spec.compression = choices.compression;
    SavOutcome result;
    result.droppedSets = plan.droppedSets;

    const CaseRange range = RangeOf(choices, cases);
    const bool convert = plan.convertsValues && !IsUtf8Name(encoding);
    if (convert && !WidenForUtf8(file, variables, range, encoding, spec, progress)) {
        result.outcome = ConvertOutcome::Cancelled;
        return result;
    }

    // The writer writes and rewrites through the output file's descriptor:
    // it keeps no buffer there, and the file is named once complete.
    OutputFile out(path);
    try {
        w::FdSink sink(out.fd());
        w::Writer writer(spec, sink);
        CaseStream stream(file, Wanted(variables, range), progress);
        std::string utf8;
        while (stream.Next()) {
            const CaseValues& values = stream.values();
            for (int64_t row = 0; row < stream.rows(); ++row) {
                if (stream.CaseNumber(row) < range.skip) continue;
                for (size_t c = 0; c < variables.size(); ++c) {
                    if (values.isText(c)) {
                        const std::string_view bytes = values.Text(row, c);
                        if (convert && !bytes.empty()) {
                            utf8 = ToUtf8(bytes, encoding);
                            writer.SetString(c, utf8);
                        } else {
                            writer.SetString(c, bytes);
                        }
                    } else {
                        // A float record's system-missing value of 0 is bogus:
                        // the reader shows those zeros as numbers, and so do we.
                        const double v = values.Number(row, c);
                        writer.SetNumber(c, v == stream.sysmis() && v != 0 ? -DBL_MAX : v);
                    }
                }
                writer.EndCase();
            }
        }
        ThrowIfFailed(stream);
        if (stream.end() == CaseStream::End::Cancelled) {
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

}  // namespace lv
