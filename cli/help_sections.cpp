#include "cli/help_sections.h"

#include "cli/command_table.h"

namespace lv::cli {
namespace {

constexpr HelpSection kDescription = {
    "DESCRIPTION",
    "Reads SPSS system files (.sav, .zsav) with the viewer's own reader and\n"
    "prints, with the viewer's own code, the texts its windows show. Names,\n"
    "labels and string values are printed in UTF-8, decoded from the file's\n"
    "encoding (or from --encoding NAME); --bytes prints the file's own bytes\n"
    "instead. export always writes the file's bytes, as the window does; the\n"
    "JSON and CSV of meta, dict and the statistics are always UTF-8.\n"
    "\n"
    "A variable named on the command line (VAR, --var, --vars, --sort, a\n"
    "condition), in UTF-8 or as the file's bytes, is found by its short or\n"
    "long name, in any letter case: short names before long names, each as\n"
    "the file's bytes, then decoded from the file's encoding (or\n"
    "--encoding's), then with letter case folded; of two variables that match\n"
    "alike, the first wins.\n"
    "\n"
    "Each command takes only the options listed for it; any other option is\n"
    "bad usage. 'lorivane-dump help COMMAND' or 'lorivane-dump COMMAND\n"
    "--help' prints one command's options and examples.\n"
    "\n"
    "Messages go to standard error, one line each, after \"lorivane-dump: \"\n"
    "and the file they are about: in English, in words that stay the same\n"
    "from release to release so that a script can match them, also where a\n"
    "window shows the same message in Japanese. Invalid UTF-8 and control\n"
    "characters in them are shown as \\x and two hexadecimal digits."};

constexpr std::string_view kGeneralOptions =
    "--help\tprints this text; after a command, that command's help\n"
    "\n"
    "--version\tprints the version\n"
    "\n"
    "--\tends the options: every word after it is an operand, so that a\n"
    "condition that begins with a minus sign is not taken for an option:\n"
    "select FILE -- '-VALUE(X) > 0'. The word after --where is its condition\n"
    "whatever it begins with.";

constexpr HelpSection kTail[] = {
    {"ENVIRONMENT",
     "LORIVANE_PASSWORD\tthe password of an encrypted file when no\n"
     "--password-file is given; it is removed from the environment once read\n"
     "\n"
     "LC_ALL, LC_NUMERIC, LANG\tthe decimal separator of the numbers comes\n"
     "from the user's locale, as in the windows"},
    {"EXIT STATUS",
     "0\tsuccess\n"
     "\n"
     "1\tthe reader or a rendering reported an error (message on standard\n"
     "error, with the reader's reason and the offset of the fault when it\n"
     "refused the file); a file whose data ends before the case count of its\n"
     "header is a read error for the commands that read the data, after the\n"
     "cases it holds\n"
     "\n"
     "2\tbad usage, including an option the command does not take\n"
     "\n"
     "find follows grep: 0 when a cell matched, 1 when none did, 2 on bad\n"
     "usage or any error. select too: 0 when a case was selected, 1 when none\n"
     "was, 2 for a bad condition or file."},
    {"FILES", LORIVANE_DOC_DIR
     "/conditions.md\tthe condition language of select and\n"
     "--where\n"
     "\n" LORIVANE_DOC_DIR "/dictionary-json.md\tthe JSON of meta and dict\n"
     "\n" LORIVANE_DOC_DIR "/stats-json.md\tthe JSON of freq, describe and crosstab"},
};

}  // namespace

std::vector<Paragraph> Paragraphs(std::string_view text) {
    std::vector<Paragraph> paragraphs;
    while (!text.empty()) {
        const size_t end = text.find("\n\n");
        std::string_view body = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
        Paragraph p;
        if (const size_t tab = body.find('\t'); tab != std::string_view::npos) {
            p.term = body.substr(0, tab);
            body.remove_prefix(tab + 1);
        }
        for (const char c : body) p.text += c == '\n' ? ' ' : c;
        paragraphs.push_back(std::move(p));
    }
    return paragraphs;
}

std::vector<Example> Examples(const CommandSpec& command) {
    std::vector<Example> examples;
    std::string_view lines = command.examples;
    while (!lines.empty()) {
        const size_t end = lines.find('\n');
        const std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        const size_t hash = line.find("  # ");
        if (hash == std::string_view::npos) {
            examples.push_back({std::string(line), std::string()});
        } else {
            examples.push_back(
                {std::string(line.substr(0, hash)), std::string(line.substr(hash + 4))});
        }
    }
    return examples;
}

const HelpSection& DescriptionSection() {
    return kDescription;
}

std::string_view GeneralOptions() {
    return kGeneralOptions;
}

std::span<const HelpSection> TailSections() {
    return kTail;
}

}  // namespace lv::cli
