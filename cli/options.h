// The command line of lorivane-dump.
#ifndef LORIVANE_CLI_OPTIONS_H
#define LORIVANE_CLI_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Command { Help, Summary, Vars, Labels, Grid, Export, Find, Meta, Dict, Convert };

// One key of --sort: a variable (short or long name) and its direction.
struct SortOption {
    std::string variable;
    bool descending = false;
};

struct Options {
    Command command = Command::Help;
    std::vector<std::string> files;  // summary: one or more; others: one
    std::string variable;            // labels
    std::string output;              // export
    bool utf8 = false;
    std::string encoding;  // --encoding: the iconv name texts are decoded from; empty = detected
    bool longNames = false;
    bool tsv = false;
    bool raw = false;                      // export: internal form
    bool displayed = false;                // export: as displayed
    bool json = false;                     // meta, dict: JSON
    bool csv = false;                      // dict: the CSV codebook
    long long firstRow = 1, lastRow = -1;  // grid --rows A:B (1-based, inclusive; -1 = to the end)
    bool labels = false;                   // grid, export, find: value labels for labelled values
    bool formatted = false;                // grid, export, find: values in their print formats
    std::vector<SortOption> sort;          // grid, export: --sort VAR[:desc][,VAR...]
    std::string text;                      // find: what to look for
    std::string findVariable;              // find --var: one column only
    bool matchCase = false;                // find --case
    bool wholeCell = false;                // find --whole
    // convert: the format word (empty: from OUT's extension), the header
    // row, user-missing values, line ends and the variables wanted.
    std::string tableFormat;
    std::string header = "names";    // names | long | labels
    std::string missing = "values";  // values | empty
    bool bom = false;
    bool crlf = false;
    std::vector<std::string> vars;
};

// Parses a --sort value: VAR[:asc|:desc] separated by commas. Nothing when
// it is malformed.
std::optional<std::vector<SortOption>> ParseSortOption(const std::string& text);

// Parses argv; on bad usage returns nothing and sets error to one line.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The usage text of --help.
const char* UsageText();

}  // namespace cli

#endif
