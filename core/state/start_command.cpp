#include "core/state/start_command.h"

#include <filesystem>
#include <system_error>

#include "core/state/version.h"

namespace lv {

std::string AbsoluteFilePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    return absolute.lexically_normal().string();
}

StartCommand ParseStartCommand(const std::vector<std::string>& args) {
    StartCommand command;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--help") {
            return {StartAction::Help, std::nullopt, {}};
        } else if (!optionsEnded && arg == "--version") {
            return {StartAction::Version, std::nullopt, {}};
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            command = {StartAction::UsageError, std::nullopt, "unknown option '" + arg + "'"};
        } else {
            files.push_back(arg);
        }
    }
    if (command.action == StartAction::UsageError) return command;
    if (files.size() > 1)
        return {StartAction::UsageError, std::nullopt, "only one FILE may be given"};
    if (files.size() == 1) {
        if (files[0].empty()) return {StartAction::UsageError, std::nullopt, "empty FILE name"};
        command.file = AbsoluteFilePath(files[0]);
    }
    return command;
}

std::string StartUsageText() {
    return R"(Usage: lorivane [FILE]
       lorivane --help | --version

Shows an SPSS system file (.sav, .zsav): its summary, its variables, their
value labels and missing values, and every case in a grid that exports to a
text file. Without FILE the open dialog asks for a file at start; with FILE
that file is opened as if it had been chosen there.

  --help     print this text and exit
  --version  print the version and exit
  --         end of options (for a FILE whose name begins with '-')

See also lorivane-dump(1), the same texts in a terminal.
)";
}

std::string StartVersionText() {
    return std::string("lorivane ") + ProgramVersion() + "\n";
}

}  // namespace lv
