// The tool's help and manual page, made from its command table: complete,
// and with examples the parse accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/options.h"
#include "core/stats/stats_text.h"
#include "dump_support.h"

namespace {

using lv::cli::CommandSpec;
using lv::cli::OptionSpec;

// The words of an example as a shell splits them (single quotes only), up
// to a redirection.
std::vector<std::string> ShellWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char c : line) {
        if (quoted) {
            if (c == '\'')
                quoted = false;
            else
                word += c;
        } else if (c == '\'') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '>') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            if (c == '>') return words;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// A troff text as plain text, as far as the names of options and commands
// need: minus signs and font changes.
std::string Unescaped(std::string troff) {
    std::string plain;
    for (size_t i = 0; i < troff.size(); ++i) {
        if (troff.compare(i, 2, "\\-") == 0) {
            plain += '-';
            ++i;
        } else if (troff.compare(i, 3, "\\fB") == 0 || troff.compare(i, 3, "\\fI") == 0 ||
                   troff.compare(i, 3, "\\fR") == 0) {
            i += 2;
        } else {
            plain += troff[i];
        }
    }
    return plain;
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(DumpHelp, HelpAndManualPageNameEveryCommandAndOption) {
    const std::string help = RunDump({"--help"}).out;
    const std::string page =
        Unescaped(ReadWholeFile(LORIVANE_BINARY_DIR "/docs/man/lorivane-dump.1"));
    ASSERT_FALSE(page.empty()) << "the manual page was not made";
    const size_t from = page.find(".SH SYNOPSIS"), to = page.find(".SH DESCRIPTION");
    ASSERT_LT(from, to);
    const std::string synopsis = page.substr(from, to - from);
    for (const CommandSpec& command : lv::cli::CommandTable()) {
        const std::string name(command.name);
        EXPECT_TRUE(Holds(help, "    lorivane-dump " + name + " ")) << name;
        EXPECT_TRUE(Holds(page, ".SY \"lorivane-dump " + name + "\"")) << name;
        EXPECT_TRUE(Holds(page, ".TP\n" + name + " " + std::string(command.operands))) << name;
        EXPECT_FALSE(command.brief.empty()) << name;
        EXPECT_GE(lv::cli::OptionsOf(command).size(), 1u) << name;

        // Its own help: every option it takes, and only those.
        const std::string own = RunDump({"help", name}).out;
        EXPECT_EQ(RunDump({name, "--help"}).out, own);
        for (const OptionSpec& option : lv::cli::OptionTable()) {
            const std::string line =
                "\n    " + std::string(option.name) +
                (option.value.empty() ? "\n" : " " + std::string(option.value));
            EXPECT_EQ(Holds(own, line), lv::cli::Takes(command, option.name))
                << name << " " << option.name;
        }
    }
    for (const OptionSpec& option : lv::cli::OptionTable()) {
        const std::string name(option.name);
        EXPECT_FALSE(option.help.empty()) << name;
        EXPECT_TRUE(Holds(help, "\n    " + name + (option.value.empty() ? "  (" : " "))) << name;
        EXPECT_TRUE(Holds(page, ".TP\n" + name)) << name;
        EXPECT_TRUE(Holds(synopsis, name + " ") || Holds(synopsis, name + "\n") ||
                    Holds(synopsis, name + "|"))
            << name;
    }
    for (const char* section : {"ENVIRONMENT", "EXIT STATUS", "FILES", "EXAMPLES"}) {
        EXPECT_TRUE(Holds(help, std::string("\n") + section + "\n")) << section;
        EXPECT_TRUE(Holds(page, std::string(".SH ") + section + "\n")) << section;
    }
    EXPECT_TRUE(Holds(page, "LORIVANE_PASSWORD"));
    // Only the statistics commands' --json is about figures.
    EXPECT_FALSE(Holds(RunDump({"help", "freq"}).out, "whole dictionary"));
}

TEST(DumpHelp, EveryExampleIsUsageTheParseAccepts) {
    for (const CommandSpec& command : lv::cli::CommandTable()) {
        const std::string examples(command.examples);
        size_t count = 0;
        for (size_t start = 0; start < examples.size();) {
            const size_t end = std::min(examples.find('\n', start), examples.size());
            const std::string line = examples.substr(start, end - start);
            start = end + 1;
            ++count;
            std::string error;
            const auto parsed =
                lv::cli::ParseOptions(ShellWords(line.substr(0, line.find("  # "))), error);
            ASSERT_TRUE(parsed) << line << ": " << error;
            EXPECT_EQ(parsed->command, &command) << line;
            EXPECT_NE(line.find("  # "), std::string::npos) << line;
        }
        EXPECT_GE(count, 2u) << command.name;
    }
}

TEST(DumpHelp, HelpListsTheCommandsAndRefusesAnUnknownOne) {
    const DumpResult list = RunDump({"help"});
    EXPECT_EQ(list.status, 0);
    for (const CommandSpec& command : lv::cli::CommandTable())
        EXPECT_TRUE(Holds(list.out, "\n  " + std::string(command.name) + " ")) << command.name;
    const DumpResult unknown = RunDump({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_TRUE(Holds(unknown.err, "unknown command 'frobnicate'"));
    for (const std::string& line : RunDump({"--help"}).OutLines())
        EXPECT_LE(lv::TerminalColumns(line), 79u) << line;
}

}  // namespace
