#include "cli/man_page.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/command_table.h"
#include "cli/help_sections.h"

namespace lv::cli {
namespace {

// text as troff input on one line: backslashes, minus signs and any
// character beyond ASCII escaped, and a leading control character guarded.
std::string Troff(std::string_view text) {
    std::string out;
    if (!text.empty() && (text[0] == '.' || text[0] == '\'')) out += "\\&";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            // A UTF-8 sequence (the tables are valid UTF-8) as \[uXXXX].
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            unsigned code = c & (0x3F >> (length - 1));
            for (int k = 1; k < length && i + 1 < text.size(); ++k)
                code = (code << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\[u%04X]", code);
            out += escaped;
        }
    }
    return out;
}

std::string Bold(std::string_view text) {
    return "\\fB" + Troff(text) + "\\fR";
}

std::string Italic(std::string_view text) {
    return "\\fI" + Troff(text) + "\\fR";
}

// Paragraphs and items; indented: inside an item, so that later paragraphs
// keep its indent.
void AppendText(std::string& out, std::string_view text, bool indented) {
    bool firstParagraph = true;
    for (const Paragraph& p : Paragraphs(text)) {
        if (!p.term.empty()) {
            out += ".TP\n" + Bold(p.term) + "\n";
        } else if (!firstParagraph) {
            out += indented ? ".IP\n" : ".PP\n";
        }
        out += Troff(p.text) + "\n";
        firstParagraph = false;
    }
}

// A synopsis in the man macros' own form (.SY, .OP), hanging under the
// command's name.
void AppendSynopsis(std::string& out, const CommandSpec& command) {
    out += ".SY \"lorivane\\-dump " + Troff(command.name) + "\"\n";
    const std::string oneOf = "|" + std::string(command.oneOf) + "|";
    for (const OptionSpec* option : OptionsOf(command)) {
        if (oneOf.find("|" + std::string(option->name) + "|") != std::string::npos) continue;
        out += ".OP " + Troff(option->name);
        if (!option->value.empty()) out += " \"" + Troff(option->value) + "\"";
        out += "\n";
    }
    if (!command.oneOf.empty()) out += Bold(command.oneOf) + "\n";
    out += Italic(command.operands) + "\n.YS\n";
}

void AppendOption(std::string& out, const OptionSpec& option) {
    out += ".TP\n" + Bold(option.name);
    if (!option.value.empty()) out += " " + Italic(option.value);
    out += "\n(";
    bool general = false;
    std::string commands;
    size_t count = 0;
    for (const CommandSpec& command : CommandTable()) {
        if (!Takes(command, option.name)) continue;
        commands += (commands.empty() ? "" : ", ") + Bold(command.name);
        general |= OptionHelp(command, option).data() == option.help.data();
        ++count;
    }
    out += (count == CommandTable().size() ? "every command" : commands) + ")\n.br\n";
    if (general) AppendText(out, option.help, true);
    for (const OptionNote& note : OptionNotes()) {
        if (note.option != option.name) continue;
        std::string names;
        for (const CommandSpec& command : CommandTable())
            if (Takes(command, option.name) &&
                OptionHelp(command, option).data() == note.help.data())
                names += (names.empty() ? "" : ", ") + Bold(command.name);
        if (names.empty()) continue;
        out += ".IP\n";
        std::string text;
        for (const Paragraph& p : Paragraphs(note.help)) text += (text.empty() ? "" : " ") + p.text;
        out += names + ": " + Troff(text) + "\n";
    }
}

void AppendSection(std::string& out, const HelpSection& section) {
    out += ".SH " + Troff(section.title) + "\n";
    AppendText(out, section.text, false);
}

}  // namespace

std::string ManPage(std::string_view version) {
    std::string out = ".TH LORIVANE\\-DUMP 1 \"\" \"Lorivane " + Troff(version) +
                      "\" \"User Commands\"\n"
                      ".nh\n.ad l\n.SH NAME\nlorivane\\-dump \\- " +
                      Troff(kToolSummary) + "\n.SH SYNOPSIS\n";
    for (const CommandSpec& command : CommandTable()) AppendSynopsis(out, command);
    out +=
        ".SY lorivane\\-dump\nhelp\n[" + Italic("COMMAND") +
        "]\n.YS\n.SY lorivane\\-dump\n\\-\\-help\n.YS\n.SY lorivane\\-dump\n\\-\\-version\n.YS\n";
    AppendSection(out, DescriptionSection());
    out += ".SH COMMANDS\n";
    for (const CommandSpec& command : CommandTable()) {
        out += ".TP\n" + Bold(command.name) + " " + Italic(command.operands) + "\n";
        AppendText(out, command.help, true);
    }
    out += ".SH OPTIONS\n";
    for (const OptionSpec& option : OptionTable()) AppendOption(out, option);
    AppendText(out, GeneralOptions(), false);
    for (const HelpSection& section : TailSections()) AppendSection(out, section);
    out += ".SH EXAMPLES\n";
    for (const CommandSpec& command : CommandTable()) {
        for (const Example& example : Examples(command)) {
            out += ".PP\n" + (example.what.empty() ? "" : Troff(example.what) + ":\n") +
                   ".RS 4\n.nf\n" + Bold("lorivane-dump " + example.command) + "\n.fi\n.RE\n";
        }
    }
    out += ".SH SEE ALSO\n.BR lorivane (1)\n";
    return out;
}

}  // namespace lv::cli
