// lorivane-dump: the viewer's texts and export from the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/password_source.h"
#include "cli/stream_dialogs.h"
#include "cli/tool_messages.h"
#include "core/rendering/decimal_separator.h"
#include "core/text/display_encoding.h"

namespace {

// status, or the status for trouble when standard output could not take
// what was written (find's is 2, as 1 means "no match").
int CheckedExit(int status, int trouble = 1) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return status;
    lv::cli::PrintMessage(stderr, "standard output", errno ? std::strerror(errno) : "write failed");
    return trouble;
}

}  // namespace

int main(int argc, char** argv) {
    namespace cli = lv::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = cli::ParseOptions(args, error);
    if (!options) {
        cli::PrintMessage(stderr, error);
        std::fputs("Try 'lorivane-dump --help'.\n", stderr);
        return 2;
    }
    if (options->action != cli::Action::Run) {
        const std::string text =
            options->action == cli::Action::Help ? cli::UsageText() : cli::VersionText();
        std::fputs(text.c_str(), stdout);
        return CheckedExit(0);
    }
    if (!cli::TakePassword(*options, &error)) {
        cli::PrintMessage(stderr, error);
        return 1;
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
    cli::ForgetPassword();
    return CheckedExit(status, options->command->name == "find" ? 2 : 1);
}
