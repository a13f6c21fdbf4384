// The commands of lorivane-dump. Each returns the process exit status.
#ifndef LORIVANE_CLI_COMMANDS_H
#define LORIVANE_CLI_COMMANDS_H

#include <cstdio>
#include <string>

#include "cli/options.h"
#include "cli/stream_dialogs.h"

namespace cli {

struct Context {
    const Options& options;
    StreamDialogs& dialogs;
    std::FILE* out;
    std::FILE* err;
};

// Checks that path is a readable system file, with one clear message when not.
bool CheckReadable(Context& c, const std::string& path);
// The parts of that check: that path exists and is not a folder, and the
// message for a file the reader refuses with status.
bool CheckPath(Context& c, const std::string& path);
void ReportUnreadable(Context& c, const std::string& path, int status);

int RunSummary(Context& c);
int RunVars(Context& c);
int RunLabels(Context& c);
int RunGrid(Context& c);
int RunExportCommand(Context& c);
// Exit status as grep's: 0 a match, 1 none, 2 an error.
int RunFind(Context& c);
// Writes the cases as CSV, TSV or .xlsx (core/export).
int RunConvert(Context& c);
int RunMeta(Context& c);  // cli/dictionary_commands.cpp
int RunDict(Context& c);

}  // namespace cli

#endif
