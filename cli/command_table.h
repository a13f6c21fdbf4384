// The tool's commands and options, each written once: the parse, the
// dispatch, --help, the help of each command and the manual page all come
// from these tables.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"

namespace lv::cli {

// An option: "--name" alone, or "--name VALUE" / "--name=VALUE".
struct OptionSpec {
    std::string_view name;
    std::string_view value;  // what the help calls its value; empty: a flag
    // Stores the option in Options; false (with error set) for a bad value.
    bool (*apply)(Options& o, const std::string& value, std::string& error);
    // What it does, for every command that takes it and has no note of its
    // own (kOptionNotes). Help texts are reflowed where they are shown: a
    // '\n' is a blank, "\n\n" ends a paragraph.
    std::string_view help;
};

// What an option means for some commands in particular, where the
// option's own help would not fit them.
struct OptionNote {
    std::string_view option;
    std::string_view commands;  // names separated by blanks
    std::string_view help;
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
    std::string_view help;  // what it prints or writes
    // Rules between its options that the lists above cannot say; may be null.
    bool (*check)(const Options& o, std::string& error);
    int (*run)(Context& c);
    // Its line in the list of `lorivane-dump help` (at most 60 columns).
    std::string_view brief = {};
    // Its examples, one per line: the words after "lorivane-dump", two
    // blanks, "# " and what the example does.
    std::string_view examples = {};
};

std::span<const CommandSpec> CommandTable();
std::span<const OptionSpec> OptionTable();
std::span<const OptionNote> OptionNotes();

const CommandSpec* FindCommand(std::string_view name);
// The option named by an argument ("--rows" or "--rows=1:2"); null if none.
const OptionSpec* FindOption(std::string_view argument);

// Whether command takes the option (in its options or oneOf list).
bool Takes(const CommandSpec& command, std::string_view option);

// What option means for command: its note for the command, else its help.
std::string_view OptionHelp(const CommandSpec& command, const OptionSpec& option);

// The options command takes, in the order of the option table.
std::vector<const OptionSpec*> OptionsOf(const CommandSpec& command);

}  // namespace lv::cli
