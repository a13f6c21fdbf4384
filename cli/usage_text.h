// The tool's help as text for a terminal, made from the command table and
// the help sections, so that it lists exactly what the parse accepts.
#pragma once

#include <string>

namespace lv::cli {

struct CommandSpec;

// --help: everything, as the manual page says it.
std::string UsageText();
// `help`: the commands, one line each.
std::string CommandListText();
// `help COMMAND` and `COMMAND --help`: its synopsis, options and examples.
std::string CommandHelpText(const CommandSpec& command);

}  // namespace lv::cli
