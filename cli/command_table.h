// The tool's commands and options, each written once: the parse, the
// dispatch and the help text all come from these two tables.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/options.h"

namespace lv::cli {

// An option: "--name" alone, or "--name VALUE" / "--name=VALUE".
struct OptionSpec {
    std::string_view name;
    std::string_view value;  // what the help calls its value; empty: a flag
    // Stores the option in Options; false (with error set) for a bad value.
    bool (*apply)(Options& o, const std::string& value, std::string& error);
    std::string_view help;  // lines of at most 62 columns, separated by '\n'
};

// A command: its operands, the options it takes and what runs it.
struct CommandSpec {
    std::string_view name;
    // Operand names, separated by blanks (each one of kOperands in
    // cli/options.cpp); a last one ending in "..." takes one or more.
    std::string_view operands;
    // The options it takes (names of the option table, separated by blanks).
    std::string_view options;
    // Options of which exactly one must be given, separated by '|'; empty: none.
    std::string_view oneOf;
    std::string_view help;  // lines of at most 62 columns, separated by '\n'
    // Rules between its options that the lists above cannot say; may be null.
    bool (*check)(const Options& o, std::string& error);
    int (*run)(Context& c);
};

std::span<const CommandSpec> CommandTable();
std::span<const OptionSpec> OptionTable();

const CommandSpec* FindCommand(std::string_view name);
// The option named by an argument ("--rows" or "--rows=1:2"); null if none.
const OptionSpec* FindOption(std::string_view argument);

// Whether command takes the option (in its options or oneOf list).
bool Takes(const CommandSpec& command, std::string_view option);

}  // namespace lv::cli
