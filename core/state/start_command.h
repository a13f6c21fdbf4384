// The viewer's command line: at most one FILE to open instead of asking for
// one at start, --help and --version. No other options.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lv {

enum class StartAction { Run, Help, Version, UsageError };

struct StartCommand {
    StartAction action = StartAction::Run;
    // Run: the file to open, made absolute as the open dialog returns it.
    std::optional<std::string> file;
    // UsageError: one line saying what is wrong.
    std::string error;
};

// Parses the arguments after the program name. "--" ends the options, so a
// file whose name begins with "-" can still be given.
StartCommand ParseStartCommand(const std::vector<std::string>& args);

// The text of --help and of --version.
std::string StartUsageText();
std::string StartVersionText();

// path made absolute against the current folder and cleaned of "." and ".."
// steps, byte for byte otherwise; path itself when the folder is unknown.
std::string AbsoluteFilePath(const std::string& path);

}  // namespace lv
