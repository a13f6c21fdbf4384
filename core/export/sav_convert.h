// Writes chosen cases and variables as a new system file (.sav, or .zsav
// with zlib compression), with the whole dictionary that describes them
// (core/export/sav_spec.h): the cases of an open data file in its order
// (the tool), or the rows of a loaded grid in any order, its edits written
// when asked (the grid window and a sorted convert). The file goes through
// the one output file: nothing appears under the name until it is
// complete, and the file being read is never the output.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/reader_handle.h"
#include "core/export/table_convert.h"
#include "core/state/progress.h"
#include "savio/case_layout.h"

namespace lv {

class Condition;
class GridData;

struct SavChoices {
    savio::Compression compression = savio::Compression::Bytecode;
    // Texts and string values kept in the source's encoding; else UTF-8,
    // a string variable widened to its longest converted value.
    bool keepEncoding = false;
    // The encoding the source's texts are in (empty: the dictionary's).
    std::string sourceEncoding;
    std::vector<int> columns;  // indices of the file's variables; empty: all
    // Rows firstRow .. lastRow (1-based, of the cases chosen; -1: to the end).
    long long firstRow = 1, lastRow = -1;
    // A grid's rows: its edits written in place of the values they replaced
    // (a numeric cell whose text reads as no number is system-missing).
    bool writeEdits = false;
};

struct SavOutcome {
    ConvertOutcome outcome = ConvertOutcome::Written;
    int64_t cases = 0;
    std::vector<std::string> droppedSets;  // in the output's encoding
};

// The compression a format word ("sav", "zsav", in any case) or a path's
// extension (.sav, .zsav) names; nothing for others.
std::optional<savio::Compression> SavFormatNamed(std::string_view word);
std::optional<savio::Compression> SavFormatOfPath(std::string_view path);

// Throws ExportError(OutputIsInput) when output names the file open as file
// (the same path, a link to it, or the same inode).
void RefuseInputAsOutput(const ReaderHandle& file, const std::string& output);
// The same for a data file known by its path (the grid window's).
void RefuseInputAsOutput(const std::string& input, const std::string& output);

// The cases of file that choices keep, written to path: every case, only
// cases (0-based, ascending; where is then not run), or only those where
// selects (compiled against dict's variables: see CompileFileCondition),
// run in the same pass over the file as the writing, in file order;
// choices' rows count among the cases chosen. dict is file's whole
// dictionary. Failures throw ExportError and leave nothing under path; a
// cancel leaves nothing either.
SavOutcome ConvertFileToSav(const ReaderHandle& file, const FileDictionary& dict,
                            const SavChoices& choices, const std::string& path,
                            Progress* progress = nullptr,
                            const std::vector<uint32_t>* cases = nullptr,
                            const Condition* where = nullptr);

// The loaded grid's cases at fileRows (0-based, in that order, which may be
// any: a sort's, the shown rows', the file's), cut to choices' firstRow ..
// lastRow of them, choices' columns in their order, written to path with
// the grid's whole dictionary (which must be set). input is the data file
// the grid shows. Failures as above; a grid whose values can no longer be
// read throws ExportError (ConvertFileChanged).
SavOutcome ConvertGridToSav(const GridData& grid, const std::string& input,
                            const SavChoices& choices, const std::string& path,
                            std::span<const uint32_t> fileRows, Progress* progress = nullptr);

}  // namespace lv
