// lorivane-dump: the viewer's texts and export from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/stream_dialogs.h"
#include "core/rendering/decimal_separator.h"
#include "core/text/display_encoding.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = cli::ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "lorivane-dump: %s\nTry 'lorivane-dump --help'.\n", error.c_str());
        return 2;
    }
    if (options->action != cli::Action::Run) {
        const std::string text =
            options->action == cli::Action::Help ? cli::UsageText() : cli::VersionText();
        std::fputs(text.c_str(), stdout);
        if (std::fflush(stdout) != 0) {
            std::perror("lorivane-dump: standard output");
            return 1;
        }
        return 0;
    }
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    lv::LoadDecimalSeparatorFromLocale();
    lv::ChooseDisplayEncoding(options->encoding);

    cli::StreamDialogs dialogs(stderr);
    lv::SetDialogs(&dialogs);
    cli::Context context{*options, dialogs, stdout, stderr};
    const int status = options->command->run(context);
    lv::SetDialogs(nullptr);
    if (std::fflush(stdout) != 0) {
        std::perror("lorivane-dump: standard output");
        return 1;
    }
    return status;
}
