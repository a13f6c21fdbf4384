#include "cli/usage_text.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_table.h"
#include "cli/help_sections.h"
#include "core/stats/stats_text.h"

namespace lv::cli {
namespace {

constexpr size_t kWidth = 78;
constexpr size_t kIndent = 4;
constexpr size_t kHangingIndent = 14;

// Appends text's words filled to kWidth, each line after indent columns;
// first, when given, stands in the first line's indent (or on a line of its
// own when it does not fit there).
void AppendFilled(std::string& out, std::string_view text, size_t indent,
                  std::string_view first = {}) {
    std::string line(first);
    if (!first.empty() && lv::TerminalColumns(first) + 1 > indent) {
        out += line + "\n";
        line.clear();
    }
    size_t columns = lv::TerminalColumns(line);
    line.resize(line.size() + (indent - columns), ' ');
    columns = indent;
    bool empty = true;
    while (!text.empty()) {
        const size_t end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (word.empty()) continue;
        const size_t width = lv::TerminalColumns(word);
        if (!empty && columns + 1 + width > kWidth) {
            out += line + "\n";
            line.assign(indent, ' ');
            columns = indent;
            empty = true;
        }
        if (!empty) {
            line += ' ';
            ++columns;
        }
        line += word;
        columns += width;
        empty = false;
    }
    out += line + "\n";
}

// Appends a text of paragraphs and items, a blank line between paragraphs;
// first stands in the first line's indent.
void AppendText(std::string& out, std::string_view text, size_t indent,
                std::string_view first = {}) {
    bool firstParagraph = true;
    for (const Paragraph& p : Paragraphs(text)) {
        if (!firstParagraph && p.term.empty()) out += "\n";
        if (p.term.empty()) {
            AppendFilled(out, p.text, indent, firstParagraph ? first : std::string_view());
            firstParagraph = false;
        } else {
            AppendFilled(out, p.text, indent + kHangingIndent - kIndent,
                         std::string(indent, ' ') + p.term);
            firstParagraph = false;
        }
    }
}

// The synopsis of command: its options, then its operands, wrapped under
// the first word after the command's name.
void AppendSynopsis(std::string& out, const CommandSpec& command) {
    const std::string head = "    lorivane-dump " + std::string(command.name) + " ";
    std::vector<std::string> words;
    for (const OptionSpec* option : OptionsOf(command)) {
        const std::string oneOf = "|" + std::string(command.oneOf) + "|";
        if (oneOf.find("|" + std::string(option->name) + "|") != std::string::npos) continue;
        std::string word = "[" + std::string(option->name);
        if (!option->value.empty()) word.append(" ").append(option->value);
        words.push_back(word + "]");
    }
    if (!command.oneOf.empty()) words.emplace_back(command.oneOf);
    words.emplace_back(command.operands);
    std::string line = head;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && line.size() + 1 + words[i].size() > kWidth) {
            out += line + "\n";
            line = std::string(head.size(), ' ');
        }
        if (line.back() != ' ') line += ' ';
        line += words[i];
    }
    out += line + "\n";
}

// The commands that take option, separated by commas.
std::string TakenBy(std::string_view option) {
    std::string names;
    size_t count = 0;
    for (const CommandSpec& command : CommandTable()) {
        if (!Takes(command, option)) continue;
        names.append(names.empty() ? "" : ", ").append(command.name);
        ++count;
    }
    return count == CommandTable().size() ? "every command" : names;
}

std::string OptionHeading(const OptionSpec& option) {
    std::string heading = "    " + std::string(option.name);
    if (!option.value.empty()) heading.append(" ").append(option.value);
    return heading;
}

// An option in the whole help: the commands that take it, its text for
// those without a note of their own, then each note.
void AppendOption(std::string& out, const OptionSpec& option) {
    const std::string heading = OptionHeading(option);
    AppendFilled(out, "(" + TakenBy(option.name) + ")", heading.size() + 2, heading);
    bool general = false;
    for (const CommandSpec& command : CommandTable())
        general |=
            Takes(command, option.name) && OptionHelp(command, option).data() == option.help.data();
    if (general) AppendText(out, option.help, kHangingIndent);
    for (const OptionNote& note : OptionNotes()) {
        if (note.option != option.name) continue;
        std::string commands;
        for (const CommandSpec& command : CommandTable())
            if (Takes(command, option.name) &&
                OptionHelp(command, option).data() == note.help.data())
                commands.append(commands.empty() ? "" : ", ").append(command.name);
        if (commands.empty()) continue;
        std::string text = commands + ": ";
        for (const Paragraph& p : Paragraphs(note.help)) text += p.text + " ";
        AppendFilled(out, text, kHangingIndent);
    }
}

void AppendExamples(std::string& out, const CommandSpec& command) {
    for (const Example& example : Examples(command)) {
        if (!example.what.empty()) AppendFilled(out, example.what + ":", kIndent);
        out += "        lorivane-dump " + example.command + "\n";
    }
}

void AppendSection(std::string& out, const HelpSection& section) {
    out += "\n" + std::string(section.title) + "\n";
    AppendText(out, section.text, kIndent);
}

}  // namespace

std::string UsageText() {
    std::string out = "NAME\n    lorivane-dump - " + std::string(kToolSummary) + "\n\nSYNOPSIS\n";
    for (const CommandSpec& command : CommandTable()) AppendSynopsis(out, command);
    out +=
        "    lorivane-dump help [COMMAND]\n    lorivane-dump --help\n"
        "    lorivane-dump --version\n";
    AppendSection(out, DescriptionSection());
    out += "\nCOMMANDS\n";
    for (const CommandSpec& command : CommandTable())
        AppendText(out, command.help, kHangingIndent, "    " + std::string(command.name));
    out += "\nOPTIONS\n";
    for (const OptionSpec& option : OptionTable()) AppendOption(out, option);
    AppendText(out, GeneralOptions(), kIndent);
    for (const HelpSection& section : TailSections()) AppendSection(out, section);
    out += "\nEXAMPLES\n";
    for (const CommandSpec& command : CommandTable()) AppendExamples(out, command);
    return out;
}

std::string CommandListText() {
    std::string out = "Usage: lorivane-dump COMMAND [OPTION]... FILE...\n\nCommands:\n";
    for (const CommandSpec& command : CommandTable()) {
        std::string name = "  " + std::string(command.name);
        name.resize(std::max<size_t>(name.size() + 1, 12), ' ');
        out += name + std::string(command.brief) + "\n";
    }
    out +=
        "\n'lorivane-dump help COMMAND' prints a command's options and examples,\n"
        "'lorivane-dump --help' everything.\n";
    return out;
}

std::string CommandHelpText(const CommandSpec& command) {
    std::string out = "Usage:\n";
    AppendSynopsis(out, command);
    out += "\n";
    AppendText(out, command.help, kIndent);
    out += "\nOptions:\n";
    for (const OptionSpec* option : OptionsOf(command)) {
        out += OptionHeading(*option) + "\n";
        AppendText(out, OptionHelp(command, *option), kHangingIndent);
    }
    if (!command.examples.empty()) {
        out += "\nExamples:\n";
        AppendExamples(out, command);
    }
    return out;
}

}  // namespace lv::cli
