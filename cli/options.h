// The command line of lorivane-dump: what the parse of argv gives the
// commands. Which commands and options exist, and which command takes which
// option, is written once, in cli/command_table.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/stats/percentile.h"

namespace lv::cli {

struct CommandSpec;

// What the tool is asked to do: run a command, or print the whole help, a
// command's help (or, without a command, the list of commands) or the
// version.
enum class Action { Run, Help, CommandHelp, Version };

// One key of --sort: a variable (short or long name) and its direction.
struct SortOption {
    std::string variable;
    bool descending = false;
};

struct Options {
    Action action = Action::Help;
    const CommandSpec* command = nullptr;  // the command run or explained
    std::vector<std::string> files;        // summary: one or more; others: one
    std::string variable;                  // labels
    std::string output;                    // export
    bool bytes = false;                    // --bytes: the file's own bytes, not UTF-8
    std::string encoding;  // --encoding: the iconv name texts are decoded from; empty = detected
    bool longNames = false;
    bool tsv = false;
    bool raw = false;                      // export: internal form
    bool displayed = false;                // export: as displayed
    bool json = false;                     // meta, dict: JSON
    bool csv = false;                      // dict: the CSV codebook
    long long firstRow = 1, lastRow = -1;  // grid --rows A:B (1-based, inclusive; -1 = to the end)
    bool labels = false;                   // grid, export, find: value labels for labelled values
    std::vector<SortOption> sort;          // grid, export: --sort VAR[:desc][,VAR...]
    std::string text;                      // find: what to look for
    std::string findVariable;              // find --var: one column only
    bool matchCase = false;                // find --case
    bool wholeCell = false;                // find --whole
    long long maxCount = -1;               // find --max-count N: stop after N matches
    bool formatted = false;                // grid, find, export --displayed: print formats
    std::string where;                     // grid, export --displayed, find: --where CONDITION
    std::string condition;                 // select: the condition
    std::vector<std::string> compute;      // --compute NAME[(FORMAT)]=EXPRESSION, in order
    std::vector<std::string> computeLabels;  // --compute-label NAME=LABEL
    std::vector<std::string> variables;      // freq: VAR...; describe --vars; crosstab: ROW COL
    bool unweighted = false;                 // freq, describe, crosstab, means --unweighted
    std::string percents;                    // crosstab --percent row,col,total
    std::vector<lv::AskedPercentile> percentiles;  // freq, describe --percentiles 5,95
    bool includeMissing = false;                   // crosstab --include-missing
    bool expected = false;                         // crosstab --expected
    bool residuals = false;                        // crosstab --residuals
    std::string layer;                             // crosstab --layer VAR
    std::vector<std::string> groups;               // means --by G1[,G2]
    std::string passwordFile;  // --password-file: the first line is the password
    // convert: the format word (empty: from OUT's extension), the header
    // row, user-missing values and line ends.
    std::string tableFormat;
    std::string header = "long";     // names | long | labels
    std::string missing = "values";  // values | empty
    bool bom = false;
    bool crlf = false;
    bool keepEncoding = false;  // convert to .sav: the source's encoding, not UTF-8
    bool decrypt = false;       // convert to .sav: an encrypted input may be written plain
    bool keepComputed = false;  // convert to .sav: the --compute variables written too

    // Whether texts are printed decoded to UTF-8 (the default) rather than
    // as the file's bytes.
    bool utf8() const { return !bytes; }
};

// Whether convert writes a system file (.sav or .zsav, by --format or by
// OUT's extension) rather than a table.
bool IsSavOutput(const Options& o);

// Parses a --sort value: VAR[:asc|:desc] separated by commas. Nothing when
// it is malformed.
std::optional<std::vector<SortOption>> ParseSortOption(const std::string& text);

// Parses a --rows value A:B (either end may be left out); false when it is
// malformed.
bool ParseRows(const std::string& text, long long& first, long long& last);

// Parses argv; on bad usage returns nothing and sets error to one line.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The line --version prints.
std::string VersionText();

}  // namespace lv::cli
