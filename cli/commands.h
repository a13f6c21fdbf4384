// The commands of lorivane-dump. Each returns the process exit status.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/stream_dialogs.h"
#include "core/compute/computed_variables.h"
#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/reader_handle.h"

namespace lv::cli {

struct Context {
    const Options& options;
    StreamDialogs& dialogs;
    std::FILE* out;
    std::FILE* err;
    // Set by CheckReadable: when the data ends before the header's case
    // count, the cases it holds; else -1.
    long long casesInData = -1;
    long long headerCases = -1;
    // The command's data file, opened once (by CheckReadable or
    // OpenCommandFile): its dictionary, the cases a condition selects and the
    // cases themselves are all read through it, so that what a command
    // writes describes one file, whatever its path names meanwhile.
    lv::ReaderHandle file{};
    // Its dictionary as DictionaryOf read it, and the status of that read.
    std::shared_ptr<const lv::FileDictionary> dictionary{};
    int dictionaryStatus = 0;
};

// Opens path as the command's file, with one clear message when it cannot
// be opened.
bool OpenCommandFile(Context& c, const std::string& path);
// The dictionary of the command's file, read through it the first time it
// is asked (a read that failed leaves its part empty: dictionaryStatus).
const lv::FileDictionary& DictionaryOf(Context& c);

// Adds the variables of --compute to the command's dictionary (after its
// own) and to every pass over its file, their names and literals taken in
// encoding; false, with the message and the expression's position, for a
// bad one (exit 2). Nothing when none is given.
bool ApplyComputed(Context& c, const std::string& encoding);
// The specs of --compute with the labels of --compute-label. False (with the
// message) for a label of no computed variable.
bool ComputeSpecs(Context& c, std::vector<lv::ComputeSpec>& specs);

// Checks that path is a readable system file, with one clear message when not.
bool CheckReadable(Context& c, const std::string& path);
// The parts of that check: that path exists and is not a folder, and the
// message for a file the reader refuses with status.
bool CheckPath(Context& c, const std::string& path);
// reason: the reader's (spssGetOpenRefusal), added after the status.
void ReportUnreadable(Context& c, const std::string& path, int status, const std::string& reason);
// The cases of --where read straight from the command's file (nothing when
// it is not given), its names and literals taken in encoding; false, with
// the message and the condition's position, for a bad condition or an
// unreadable file (both exit 2).
bool WhereCases(Context& c, const std::string& encoding, std::optional<std::vector<uint32_t>>& out);
// After a command has read the data: a file whose data ends before its
// header's case count is a read error, told once (unless an error was
// already reported). True when it was.
bool ReportShortData(Context& c);
// Checks that the folder an output file goes into exists, with one clear
// message when not.
bool CheckOutputFolder(Context& c, const std::string& path);

int RunSummary(Context& c);
int RunVars(Context& c);
int RunLabels(Context& c);
int RunGrid(Context& c);
int RunExportCommand(Context& c);
// Exit status as grep's: 0 a match, 1 none, 2 an error.
int RunFind(Context& c);
// Exit status as find's: 0 some case selected, 1 none, 2 an error.
int RunSelect(Context& c);
// Writes the cases as CSV, TSV or .xlsx (core/export).
int RunConvert(Context& c);
int RunMeta(Context& c);  // cli/dictionary_commands.cpp
int RunDict(Context& c);
int RunFreq(Context& c);  // cli/stats_commands.cpp
int RunDescribe(Context& c);
int RunCrosstab(Context& c);
int RunMeans(Context& c);
int RunCodebook(Context& c);  // cli/stats_commands.cpp

}  // namespace lv::cli
