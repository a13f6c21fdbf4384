// The commands of lorivane-dump. Each returns the process exit status.
#ifndef LORIVANE_CLI_COMMANDS_H
#define LORIVANE_CLI_COMMANDS_H

#include <cstdio>

#include "cli/options.h"
#include "cli/stream_dialogs.h"

namespace cli {

struct Context {
    const Options& options;
    StreamDialogs& dialogs;
    std::FILE* out;
    std::FILE* err;
};

int RunSummary(Context& c);
int RunVars(Context& c);
int RunLabels(Context& c);
int RunGrid(Context& c);
int RunExportCommand(Context& c);
// Exit status as grep's: 0 a match, 1 none, 2 an error.
int RunFind(Context& c);

}  // namespace cli

#endif
