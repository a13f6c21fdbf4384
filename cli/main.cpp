// lorivane-dump: the viewer's texts and export from the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/password_source.h"
#include "cli/stream_dialogs.h"
#include "core/rendering/decimal_separator.h"
#include "core/text/display_encoding.h"

namespace {

// status, or 1 with a message when standard output could not take all that
// was written to it. A write that failed on the way (a full disk) leaves the
// stream's error flag set even when the last flush has nothing to write.
// status, or the status for trouble when standard output could not take
// what was written (find's is 2, as 1 means "no match").
int CheckedExit(int status, int trouble = 1) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "lorivane-dump: standard output: %s\n",
                 errno ? std::strerror(errno) : "write failed");
    return trouble;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = lv::cli::ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "lorivane-dump: %s\nTry 'lorivane-dump --help'.\n", error.c_str());
        return 2;
    }
    if (options->command == lv::cli::Command::Help) {
        std::fputs(lv::cli::UsageText(), stdout);
        return CheckedExit(0);
    }
    if (!cli::TakePassword(*options, &error)) {
        std::fprintf(stderr, "lorivane-dump: %s\n", error.c_str());
        return 1;
    }
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    lv::LoadDecimalSeparatorFromLocale();
    lv::ChooseDisplayEncoding(options->encoding);

    lv::cli::StreamDialogs dialogs(stderr);
    lv::SetDialogs(&dialogs);
    lv::cli::Context context{*options, dialogs, stdout, stderr};
    int status = 2;
    switch (options->command) {
        case lv::cli::Command::Summary:
            status = lv::cli::RunSummary(context);
            break;
        case lv::cli::Command::Vars:
            status = lv::cli::RunVars(context);
            break;
        case lv::cli::Command::Labels:
            status = lv::cli::RunLabels(context);
            break;
        case lv::cli::Command::Grid:
            status = lv::cli::RunGrid(context);
            break;
        case lv::cli::Command::Export:
            status = lv::cli::RunExportCommand(context);
            break;
        case lv::cli::Command::Meta:
            status = lv::cli::RunMeta(context);
            break;
        case lv::cli::Command::Dict:
            status = lv::cli::RunDict(context);
            break;
        case lv::cli::Command::Find:
            status = lv::cli::RunFind(context);
            break;
        case lv::cli::Command::Select:
            status = lv::cli::RunSelect(context);
            break;
        case lv::cli::Command::Freq:
            status = lv::cli::RunFreq(context);
            break;
        case lv::cli::Command::Describe:
            status = lv::cli::RunDescribe(context);
            break;
        case lv::cli::Command::Crosstab:
            status = lv::cli::RunCrosstab(context);
            break;
        case lv::cli::Command::Help:
            break;
    }
    lv::SetDialogs(nullptr);
    lv::cli::ForgetPassword();
    return CheckedExit(status, options->command == lv::cli::Command::Find ? 2 : 1);
}
