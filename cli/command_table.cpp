#include "cli/command_table.h"

#include <algorithm>
#include <vector>

#include "core/export/sav_convert.h"
#include "core/export/table_options.h"
#include "core/text/encoding_choices.h"

namespace lv::cli {

bool IsSavOutput(const Options& o) {
    return o.tableFormat.empty() ? lv::SavFormatOfPath(o.output).has_value()
                                 : lv::SavFormatNamed(o.tableFormat).has_value();
}

namespace {

template <bool Options::*field>
bool Set(Options& o, const std::string&, std::string&) {
    o.*field = true;
    return true;
}

bool ApplyUtf8(Options& o, const std::string&, std::string&) {
    o.bytes = false;
    return true;
}

bool ApplyEncoding(Options& o, const std::string& value, std::string& error) {
    const std::optional<std::string> encoding = lv::ParseEncodingName(value);
    if (!encoding) {
        error = "unknown encoding '" + value + "'; accepted: " + lv::AcceptedEncodingNames();
        return false;
    }
    o.encoding = *encoding;
    return true;
}

bool ApplyRows(Options& o, const std::string& value, std::string& error) {
    if (ParseRows(value, o.firstRow, o.lastRow)) return true;
    error = "invalid row range '" + value + "' (expected A:B, 1 <= A <= B)";
    return false;
}

bool ApplySort(Options& o, const std::string& value, std::string& error) {
    const auto keys = ParseSortOption(value);
    if (!keys) {
        error = "invalid sort keys '" + value + "' (expected VAR[:desc][,VAR...])";
        return false;
    }
    o.sort = *keys;
    return true;
}

bool ApplyWhere(Options& o, const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "--where needs a condition";
        return false;
    }
    o.where = value;
    return true;
}

bool ApplyPasswordFile(Options& o, const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "--password-file needs a file";
        return false;
    }
    o.passwordFile = value;
    return true;
}

// The words of a list separated by commas (empty ones dropped).
std::vector<std::string> CommaList(const std::string& value) {
    std::vector<std::string> items;
    for (size_t start = 0; start <= value.size();) {
        const size_t comma = std::min(value.find(',', start), value.size());
        if (comma > start) items.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool ApplyVars(Options& o, const std::string& value, std::string& error) {
    o.variables = CommaList(value);
    if (!o.variables.empty()) return true;
    error = "--vars needs a list of variables separated by commas";
    return false;
}

bool ApplyPercent(Options& o, const std::string& value, std::string& error) {
    const std::vector<std::string> items = CommaList(value);
    const bool known = std::all_of(items.begin(), items.end(), [](const std::string& item) {
        return item == "row" || item == "col" || item == "total";
    });
    if (items.empty() || !known) {
        error = "--percent takes row, col and total, separated by commas";
        return false;
    }
    o.percents = value;
    return true;
}

bool ApplyFormat(Options& o, const std::string& value, std::string& error) {
    if (!lv::TableFormatNamed(value) && !lv::SavFormatNamed(value)) {
        error = "--format takes csv, tsv, xlsx, sav or zsav";
        return false;
    }
    o.tableFormat = value;
    return true;
}

bool ApplyHeader(Options& o, const std::string& value, std::string& error) {
    if (value != "names" && value != "long" && value != "labels") {
        error = "--header takes names, long or labels";
        return false;
    }
    o.header = value;
    return true;
}

bool ApplyMissing(Options& o, const std::string& value, std::string& error) {
    if (value != "values" && value != "empty") {
        error = "--missing takes values or empty";
        return false;
    }
    o.missing = value;
    return true;
}

bool ApplyVar(Options& o, const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "--var needs a variable name";
        return false;
    }
    o.findVariable = value;
    return true;
}

// Every option, in the order of the help; each command lists the ones it
// takes in its row of kCommands.
constexpr OptionSpec kOptions[] = {
    {"--utf8", "", ApplyUtf8,
     "prints names, labels and string values decoded to UTF-8;\n"
     "this is the default, and the option is kept for scripts"},
    {"--bytes", "", Set<&Options::bytes>,
     "prints names, labels and string values as the file's own\n"
     "bytes, as the export writes them"},
    {"--encoding", "NAME", ApplyEncoding,
     "decodes the texts from NAME instead of the file's own\n"
     "encoding, as the main window's encoding menu (文字コード)\n"
     "does, for files whose encoding is missing or wrong; a\n"
     "variable named on the command line is looked up in NAME\n"
     "too. NAME is auto (the file's own encoding), UTF-8, CP932\n"
     "(Shift_JIS), EUC-JP, GB18030 (GBK), CP950 (Big5), CP949\n"
     "(EUC-KR), WINDOWS-1250 to WINDOWS-1258, ISO-8859-1, -2, -5,\n"
     "-7, -8, -9 or -15, KOI8-R, KOI8-U, MACINTOSH or CP874\n"
     "(TIS-620), in any case; an unknown NAME lists every\n"
     "accepted one"},
    {"--long-names", "", Set<&Options::longNames>,
     "adds a tab and the variable's long name to each line"},
    {"--tsv", "", Set<&Options::tsv>, "separates the cells by tabs instead of blanks"},
    {"--rows", "A:B", ApplyRows, "prints only rows A to B (either end may be left out)"},
    {"--raw", "", Set<&Options::raw>,
     "the internal form: strings as stored, numbers in\n"
     "scientific form"},
    {"--displayed", "", Set<&Options::displayed>, "the values as the grid shows them"},
    {"--labels", "", Set<&Options::labels>,
     "shows a value's label in place of a value that has one,\n"
     "as the grid window does when its labels are shown"},
    {"--sort", "KEYS", ApplySort,
     "orders the rows first, as the grid's column sort does:\n"
     "KEYS is VAR[:desc] or several separated by commas, the\n"
     "first deciding first (numbers by value, strings by their\n"
     "text; missing values last); export takes it with\n"
     "--displayed only"},
    {"--case", "", Set<&Options::matchCase>, "matches letters only in the same case"},
    {"--whole", "", Set<&Options::wholeCell>, "matches the whole text of a cell only"},
    {"--var", "NAME", ApplyVar, "looks in the variable NAME (short or long name) only"},
    {"--json", "", Set<&Options::json>,
     "the whole dictionary as JSON (UTF-8, schema in\n"
     "docs/dictionary-json.md)"},
    {"--csv", "", Set<&Options::csv>, "one CSV row per variable (RFC 4180, UTF-8, CR LF)"},
    {"--formatted", "", Set<&Options::formatted>,
     "shows every value in its print format (dates, times,\n"
     "currencies, grouped digits), as the grid window's\n"
     "書式どおりに表示 does; --labels still takes precedence"},
    {"--where", "CONDITION", ApplyWhere,
     "shows only the cases CONDITION selects, as the grid's filter\n"
     "bar (条件で絞り込む) does; --rows then counts those\n"
     "(the language is in docs/conditions.md)"},
    {"--vars", "A,B,...", ApplyVars,
     "takes only the variables named (short or long names), in\n"
     "that order"},
    {"--percent", "LIST", ApplyPercent,
     "adds row, col and/or total percentages (separated by commas)"},
    {"--include-missing", "", Set<&Options::includeMissing>,
     "counts user-missing values instead of leaving them out"},
    {"--unweighted", "", Set<&Options::unweighted>, "counts cases, not the file's weight variable"},
    {"--format", "csv|tsv|xlsx|sav|zsav", ApplyFormat,
     "the output's format; else it comes from OUT's extension\n"
     "(.csv, .tsv/.tab/.txt, .xlsx, .sav, .zsav)"},
    {"--header", "WHICH", ApplyHeader,
     "heads the columns with long names (long, the default),\n"
     "short names (names) or variable labels (labels; the long\n"
     "name where there is none)"},
    {"--missing", "HOW", ApplyMissing,
     "writes user-missing values as values (values) or as empty\n"
     "cells (empty)"},
    {"--bom", "", Set<&Options::bom>, "starts a CSV or TSV with a byte-order mark"},
    {"--crlf", "", Set<&Options::crlf>, "ends a CSV's or TSV's lines with CR LF (else LF)"},
    {"--keep-encoding", "", Set<&Options::keepEncoding>,
     "writes a .sav or .zsav in the source's own encoding, not UTF-8"},
    {"--decrypt", "", Set<&Options::decrypt>,
     "lets convert write an encrypted FILE as a .sav or .zsav that is\n"
     "NOT encrypted; without it an encrypted FILE is refused"},
    {"--password-file", "FILE", ApplyPasswordFile,
     "opens an encrypted file with the password on FILE's first\n"
     "line; else the environment variable LORIVANE_PASSWORD holds\n"
     "it. A password is never taken on the command line"},
};

bool CheckExport(const Options& o, std::string& error) {
    if (o.displayed || (o.sort.empty() && !o.labels && !o.formatted && o.where.empty()))
        return true;
    error = std::string(o.labels         ? "--labels"
                        : o.formatted    ? "--formatted"
                        : o.sort.empty() ? "--where"
                                         : "--sort") +
            " goes with export --displayed only";
    return false;
}

bool CheckConvert(const Options& o, std::string& error) {
    if (IsSavOutput(o)) {
        const char* table = o.sort.empty() ? nullptr : "--sort";
        for (const auto& [on, name] : {std::pair{o.labels, "--labels"},
                                       {o.bom, "--bom"},
                                       {o.crlf, "--crlf"},
                                       {o.header != "long", "--header"},
                                       {o.missing != "values", "--missing"}})
            if (on && !table) table = name;
        if (table) error = std::string(table) + " goes with csv, tsv and xlsx only";
        if (o.output == "-") error = "convert writes a .sav or .zsav to a file only";
        return error.empty();
    }
    if (o.keepEncoding || o.decrypt) {
        error = std::string(o.keepEncoding ? "--keep-encoding" : "--decrypt") +
                " goes with .sav and .zsav only";
        return false;
    }
    const std::string format = !o.tableFormat.empty() ? o.tableFormat
                               : o.output == "-"      ? "csv"
                                                      : std::string();
    if (format.empty() && !lv::TableFormatOfPath(o.output)) {
        error = "cannot tell the format from '" + o.output + "' (use --format csv|tsv|xlsx)";
        return false;
    }
    if (o.output == "-" && format == "xlsx") {
        error = "convert writes only csv or tsv to standard output";
        return false;
    }
    return true;
}

bool CheckDescribe(const Options& o, std::string& error) {
    if (!(o.csv && o.json)) return true;
    error = "describe takes at most one of --csv and --json";
    return false;
}

bool CheckFind(const Options& o, std::string& error) {
    if (!o.text.empty()) return true;
    error = "find takes a text that is not empty";
    return false;
}

bool CheckMeta(const Options& o, std::string& error) {
    if (!(o.json && o.bytes)) return true;
    error = "meta --json is always UTF-8; --bytes goes with its lines only";
    return false;
}

// One row per command, in the order of the help.
constexpr CommandSpec kCommands[] = {
    {"summary", "FILE...", "--utf8 --bytes --encoding --password-file", "",
     "the file summary of the main window, after a \"file:\"\n"
     "line, for each FILE in turn; a FILE that cannot be read\n"
     "gets its message on standard error only",
     nullptr, RunSummary},
    {"vars", "FILE", "--utf8 --bytes --encoding --long-names --password-file", "",
     "the variable list, one fixed-column line per variable", nullptr, RunVars},
    {"labels", "FILE VAR", "--utf8 --bytes --encoding --password-file", "",
     "the value-label window's lines of the variable VAR (short\n"
     "or long name)",
     nullptr, RunLabels},
    {"grid", "FILE",
     "--utf8 --bytes --encoding --tsv --rows --labels --formatted --sort --where --password-file",
     "",
     "the data grid's cell texts, one line per case, each cell\n"
     "followed by a blank as the as-displayed export writes them",
     nullptr, RunGrid},
    {"export", "FILE OUT", "--encoding --labels --formatted --sort --where --password-file",
     "--raw|--displayed",
     "writes OUT exactly as the grid window's export does, in\n"
     "the file's own bytes: --raw in the internal form,\n"
     "--displayed as the grid shows the values",
     CheckExport, RunExportCommand},
    {"find", "FILE TEXT",
     "--utf8 --bytes --encoding --case --whole --var --labels --formatted --where --password-file",
     "",
     "the cells whose shown text holds TEXT (UTF-8), in the\n"
     "grid's order: one line per match with the case number,\n"
     "the variable's name and the cell's text without its\n"
     "padding, separated by tabs; exits as grep does",
     CheckFind, RunFind},
    {"meta", "FILE", "--utf8 --bytes --encoding --json --password-file", "",
     "the whole dictionary: the file information window's lines\n"
     "(header and product details, encoding, documents, file\n"
     "attributes, multiple-response sets, variable sets,\n"
     "extension records, the reader's warnings), then every\n"
     "variable with its long name, label, type and width, print\n"
     "and write formats, measure, display width, alignment,\n"
     "role, attributes, value labels and missing values",
     CheckMeta, RunMeta},
    {"dict", "FILE", "--encoding --password-file", "--csv|--json",
     "the codebook as the variable list's 辞書を書き出す… writes\n"
     "it, always in UTF-8",
     nullptr, RunDict},
    {"convert", "FILE OUT",
     "--encoding --labels --header --missing --bom --crlf --vars --rows --sort --where --format "
     "--keep-encoding --decrypt --password-file",
     "",
     "writes the cases to OUT as a table other programs read:\n"
     "CSV (RFC 4180), TSV or an Excel workbook (.xlsx); OUT -\n"
     "writes CSV or TSV to standard output. Texts are UTF-8;\n"
     "numbers the shortest text that reads back to the same\n"
     "value; dates ISO 8601 (real dates in .xlsx); system-missing\n"
     "empty. In TSV a tab, LF, CR and backslash in a value are\n"
     "written \\t, \\n, \\r and \\\\; in CSV and TSV a text that\n"
     "begins with =, +, -, @, tab or CR gets an apostrophe in\n"
     "front. A .sav or .zsav OUT is a new system file of the\n"
     "cases and variables chosen with the whole dictionary that\n"
     "describes them (sets cut to the variables kept; one left\n"
     "without members is dropped with a warning), in UTF-8 (a\n"
     "string variable widened to its longest value's bytes) unless\n"
     "--keep-encoding; never FILE itself. OUT appears only once\n"
     "complete; any failure leaves nothing under its name and exits 1",
     CheckConvert, RunConvert},
    {"select", "FILE CONDITION", "--encoding --password-file", "",
     "the numbers of the cases CONDITION selects, one per line\n"
     "(the language is in docs/conditions.md; a CONDITION that\n"
     "begins with - goes after --); exits 0 when some are\n"
     "selected, 1 when none, 2 for a bad condition or file",
     nullptr, RunSelect},
    {"freq", "FILE VAR...", "--utf8 --bytes --encoding --json --unweighted --where --password-file",
     "",
     "the frequency table of each VAR (short or long name): one row\n"
     "per distinct value in value order with its label, count,\n"
     "percent, valid percent and cumulative percent, user-missing\n"
     "values after the valid ones, system-missing as one row, then\n"
     "the descriptive statistics of a numeric variable (percentiles\n"
     "as the weighted average at (W+1)p); --json as JSON (schema in\n"
     "docs/stats-json.md)",
     nullptr, RunFreq},
    {"describe", "FILE",
     "--utf8 --bytes --encoding --vars --json --csv --unweighted --where --password-file", "",
     "one row per variable (or those of --vars): type, measure,\n"
     "valid and missing counts, distinct values, minimum, maximum,\n"
     "mean, standard deviation and most frequent value, all in one\n"
     "pass over the cases; --csv as CSV (UTF-8, CR LF)",
     CheckDescribe, RunDescribe},
    {"crosstab", "FILE ROWVAR COLVAR",
     "--utf8 --bytes --encoding --percent --include-missing --json --unweighted --where "
     "--password-file",
     "",
     "the counts of ROWVAR by COLVAR with their totals; the\n"
     "statistics count by the file's weight variable when it has\n"
     "one (cases with a zero, negative or missing weight left out)",
     nullptr, RunCrosstab},
};

// The option an argument names, up to a '='.
std::string_view OptionName(std::string_view argument) {
    return argument.substr(0, argument.find('='));
}

// Whether the blank- or '|'-separated list holds word.
bool Lists(std::string_view list, std::string_view word, char separator) {
    while (!list.empty()) {
        const size_t end = list.find(separator);
        if (list.substr(0, end) == word) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

}  // namespace

std::span<const CommandSpec> CommandTable() {
    return kCommands;
}

std::span<const OptionSpec> OptionTable() {
    return kOptions;
}

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& command : kCommands)
        if (command.name == name) return &command;
    return nullptr;
}

const OptionSpec* FindOption(std::string_view argument) {
    const std::string_view name = OptionName(argument);
    for (const OptionSpec& option : kOptions)
        if (option.name == name) return &option;
    return nullptr;
}

bool Takes(const CommandSpec& command, std::string_view option) {
    return Lists(command.options, option, ' ') || Lists(command.oneOf, option, '|');
}

}  // namespace lv::cli
