// The prose of the tool's documentation beside its two tables (commands and
// options): written once, shown by --help and the manual page alike.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lv::cli {

// A section of text. Texts are reflowed where they are shown: a '\n' is a
// blank, "\n\n" ends a paragraph, and a paragraph "TERM\tTEXT" is an item:
// TERM, then TEXT indented under it.
struct HelpSection {
    std::string_view title;
    std::string_view text;
};

struct CommandSpec;

// A paragraph of a text, its lines joined by blanks; term is empty but for
// an item.
struct Paragraph {
    std::string term;
    std::string text;
};
std::vector<Paragraph> Paragraphs(std::string_view text);

// An example of a command: the words after "lorivane-dump" and what it does.
struct Example {
    std::string command;
    std::string what;
};
std::vector<Example> Examples(const CommandSpec& command);

// What the tool's name line says.
inline constexpr std::string_view kToolSummary =
    "print what the Lorivane windows show, and export their grid";

// Before the commands.
const HelpSection& DescriptionSection();
// The options the parse itself answers (--help, --version, --), as items.
std::string_view GeneralOptions();
// After the options: environment, exit status and files.
std::span<const HelpSection> TailSections();

}  // namespace lv::cli
