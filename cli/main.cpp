// lorivane-dump: the viewer's texts and export from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/stream_dialogs.h"
#include "core/decimalsep.h"
#include "core/textcodec.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = cli::ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "lorivane-dump: %s\nTry 'lorivane-dump --help'.\n", error.c_str());
        return 2;
    }
    if (options->command == cli::Command::Help) {
        std::fputs(cli::UsageText(), stdout);
        return 0;
    }
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    lv::LoadDecimalSeparatorFromLocale();
    lv::ChooseDisplayEncoding(options->encoding);

    cli::StreamDialogs dialogs(stderr);
    lv::SetDialogs(&dialogs);
    cli::Context context{*options, dialogs, stdout, stderr};
    int status = 2;
    switch (options->command) {
        case cli::Command::Summary:
            status = cli::RunSummary(context);
            break;
        case cli::Command::Vars:
            status = cli::RunVars(context);
            break;
        case cli::Command::Labels:
            status = cli::RunLabels(context);
            break;
        case cli::Command::Grid:
            status = cli::RunGrid(context);
            break;
        case cli::Command::Export:
            status = cli::RunExportCommand(context);
            break;
        case cli::Command::Meta:
            status = cli::RunMeta(context);
            break;
        case cli::Command::Dict:
            status = cli::RunDict(context);
            break;
        case cli::Command::Find:
            status = cli::RunFind(context);
            break;
        case cli::Command::Convert:
            status = cli::RunConvert(context);
            break;
        case cli::Command::Help:
            break;
    }
    lv::SetDialogs(nullptr);
    if (std::fflush(stdout) != 0) {
        std::perror("lorivane-dump: standard output");
        return 1;
    }
    return status;
}
