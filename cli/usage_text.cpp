// The text of --help, made from the command table so that it lists exactly
// the commands and options the parse accepts.
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_table.h"
#include "cli/options.h"

namespace lv::cli {
namespace {

constexpr size_t kWidth = 78;
constexpr std::string_view kHelpIndent = "              ";  // 14 columns

// Appends text's lines, each after indent.
void AppendIndented(std::string& out, std::string_view text) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        out += kHelpIndent;
        out += text.substr(0, end);
        out += '\n';
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// A synopsis line of command: its options, then its operands, wrapped under
// the first word after the command's name.
void AppendSynopsis(std::string& out, const CommandSpec& command) {
    const std::string head = "    lorivane-dump " + std::string(command.name) + " ";
    std::vector<std::string> words;
    std::string_view list = command.options;
    while (!list.empty()) {
        const size_t end = list.find(' ');
        if (const OptionSpec* option = FindOption(list.substr(0, end))) {
            std::string word = "[";
            word.append(option->name);
            if (!option->value.empty()) word.append(" ").append(option->value);
            words.push_back(word.append("]"));
        }
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
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

// The commands that take option, for its heading.
std::string TakenBy(std::string_view option) {
    std::string names;
    for (const CommandSpec& command : CommandTable())
        if (Takes(command, option)) names.append(names.empty() ? "" : ", ").append(command.name);
    return names;
}

constexpr std::string_view kHead = R"(NAME
    lorivane-dump - print what the Lorivane windows show, and export their grid

SYNOPSIS
)";

constexpr std::string_view kDescription = R"(
DESCRIPTION
    Reads SPSS system files (.sav, .zsav) with the viewer's own reader and
    prints, with the viewer's own code, the texts its windows show. Names,
    labels and string values are printed in UTF-8, decoded from the file's
    encoding (or from --encoding NAME); --bytes prints the file's own bytes
    instead. A variable named on the command line (UTF-8, or the file's
    bytes) is found by its short or long name, in any letter case: short
    names before long names, each as the file's bytes, then decoded from the
    file's encoding (or --encoding's), then with letter case folded; of two
    variables that match alike, the first wins. export always writes the
    file's bytes, as the window does; the JSON and CSV of meta and dict are
    always UTF-8.

COMMANDS
)";

constexpr std::string_view kTail = R"(
    --help    prints this text
    --version prints the version
    --        ends the options: every word after it is an operand, so that
              a condition that begins with a minus sign is not taken for
              an option: select FILE -- '-VALUE(X) > 0'. The word after
              --where is its condition whatever it begins with.

    Messages go to standard error, one line each, after "lorivane-dump: "
    and the file they are about: in English, in words that stay the same
    from release to release so that a script can match them, also where a
    window shows the same message in Japanese. Invalid UTF-8 and control
    characters in them are shown as \xhh.

EXIT STATUS
    0  success
    1  the reader or a rendering reported an error (message on stderr)
    2  bad usage, including an option the command does not take

    find follows grep: 0 when a cell matched, 1 when none did, 2 on bad
    usage or any error.
)";

}  // namespace

std::string UsageText() {
    std::string out(kHead);
    for (const CommandSpec& command : CommandTable()) AppendSynopsis(out, command);
    out += "    lorivane-dump --help\n    lorivane-dump --version\n";
    out += kDescription;
    for (const CommandSpec& command : CommandTable()) {
        std::string heading = "    " + std::string(command.name);
        if (heading.size() < kHelpIndent.size()) {
            heading.resize(kHelpIndent.size(), ' ');
            std::string help;
            AppendIndented(help, command.help);
            out += heading + help.substr(kHelpIndent.size());
        } else {
            out += heading + "\n";
            AppendIndented(out, command.help);
        }
    }
    out += "\nOPTIONS\n";
    for (const OptionSpec& option : OptionTable()) {
        out.append("    ").append(option.name);
        if (!option.value.empty()) out.append(" ").append(option.value);
        out.append("  (").append(TakenBy(option.name)).append(")\n");
        AppendIndented(out, option.help);
    }
    out += kTail;
    return out;
}

}  // namespace lv::cli
