#include "cli/command_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "core/compute/computed_variables.h"
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

bool ApplyMaxCount(Options& o, const std::string& value, std::string& error) {
    long long n = 0;
    const auto r = std::from_chars(value.data(), value.data() + value.size(), n);
    if (r.ec == std::errc() && r.ptr == value.data() + value.size() && n >= 1) {
        o.maxCount = n;
        return true;
    }
    error = "invalid count '" + value + "' (expected a whole number, 1 or more)";
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

bool ApplyCompute(Options& o, const std::string& value, std::string& error) {
    if (!lv::ParseComputeSpec(value)) {
        error = "invalid computed variable '" + value +
                "' (expected NAME=EXPRESSION or NAME(FORMAT)=EXPRESSION)";
        return false;
    }
    o.compute.push_back(value);
    return true;
}

bool ApplyComputeLabel(Options& o, const std::string& value, std::string& error) {
    if (value.find('=') == std::string::npos || value.front() == '=') {
        error = "invalid label '" + value + "' (expected NAME=LABEL)";
        return false;
    }
    o.computeLabels.push_back(value);
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

bool ApplyLayer(Options& o, const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "--layer needs a variable name";
        return false;
    }
    o.layer = value;
    return true;
}

bool ApplyBy(Options& o, const std::string& value, std::string& error) {
    o.groups = CommaList(value);
    if (!o.groups.empty() && o.groups.size() <= 2) return true;
    error = "--by takes one or two grouping variables separated by a comma";
    return false;
}

bool ApplyPercentiles(Options& o, const std::string& value, std::string& error) {
    if (!lv::ParsePercentiles(value, o.percentiles) || o.percentiles.empty()) {
        error = "--percentiles takes percents from 0 to 100 separated by commas (5,10,90,95)";
        return false;
    }
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
     "(TIS-620), in any case; an unknown NAME is bad usage, and\n"
     "its message lists every accepted one"},
    {"--long-names", "", Set<&Options::longNames>,
     "adds a tab and the variable's long name (長い変数名; its\n"
     "name when it has no other) to each line, the labels padded\n"
     "to one width before it"},
    {"--tsv", "", Set<&Options::tsv>, "separates the cells by tabs instead of blanks"},
    {"--rows", "A:B", ApplyRows,
     "takes only the rows A to B (either end may be left out),\n"
     "counted after --sort and among the cases of --where"},
    {"--max-count", "N", ApplyMaxCount,
     "stops after N matching cells, and stops reading the file\n"
     "soon after the case that holds the last of them"},
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
     "first deciding first. Numbers sort by value and strings by\n"
     "their text; missing values come after all others in either\n"
     "direction, and ties keep the file's order. The cases are\n"
     "read once to check them and then read back from the file\n"
     "in the sorted order, as the grid window reads them; if the\n"
     "file changes meanwhile, the command stops with an error.\n"
     "export takes it with --displayed only"},
    {"--case", "", Set<&Options::matchCase>, "matches letters only in the same case"},
    {"--whole", "", Set<&Options::wholeCell>,
     "matches the whole text of a cell (without its padding) only"},
    {"--var", "NAME", ApplyVar, "looks in the variable NAME (short or long name) only"},
    {"--json", "", Set<&Options::json>, "prints JSON (UTF-8) instead of lines of text"},
    {"--csv", "", Set<&Options::csv>, "prints CSV (RFC 4180, UTF-8, CR LF) instead of text"},
    {"--formatted", "", Set<&Options::formatted>,
     "shows every value in its print format (dates, times,\n"
     "currencies, grouped digits), as the grid window's\n"
     "書式どおりに表示 does; --labels still takes precedence"},
    {"--where", "CONDITION", ApplyWhere,
     "takes only the cases CONDITION selects (as select reads\n"
     "it), as the grid's filter bar (条件で絞り込む) does: the\n"
     "rows printed, the cells searched, the cases written or\n"
     "counted; --rows then counts among them. A bad condition is\n"
     "exit status 2, with its position in the message. The word\n"
     "after --where is its condition whatever it begins with\n"
     "(the language is in " LORIVANE_DOC_DIR "/conditions.md)"},
    {"--compute", "NAME=EXPRESSION", ApplyCompute,
     "adds a variable NAME after the file's, its value in each case\n"
     "the EXPRESSION (the language of select, with strings too),\n"
     "made as the cases are read; NAME(A20)=... makes a string of\n"
     "20 bytes, NAME(F8.0)=... a number with that print format (a\n"
     "number is F8.2 and a string A255 by default). Repeatable: a\n"
     "later one may use an earlier one, and --where, the variables\n"
     "named and --vars may use them all. A bad EXPRESSION is exit\n"
     "status 2, with its position in the message"},
    {"--keep-computed", "", Set<&Options::keepComputed>,
     "writes the variables of --compute into the .sav or .zsav too\n"
     "(else they serve --where only and the file's own are written)"},
    {"--compute-label", "NAME=LABEL", ApplyComputeLabel,
     "gives the computed variable NAME the variable label LABEL"},
    {"--vars", "A,B,...", ApplyVars,
     "takes only the variables named (short or long names), in\n"
     "that order"},
    {"--percent", "LIST", ApplyPercent,
     "adds row, col and/or total percentages (separated by commas)"},
    {"--percentiles", "LIST", ApplyPercentiles,
     "adds the percentiles at these percents (0 to 100, separated\n"
     "by commas) beside the quartiles, as the weighted average at\n"
     "(W+1)p"},
    {"--include-missing", "", Set<&Options::includeMissing>,
     "counts user-missing values instead of leaving them out"},
    {"--expected", "", Set<&Options::expected>,
     "adds each cell's expected count (were the variables\n"
     "independent)"},
    {"--residuals", "", Set<&Options::residuals>,
     "adds each cell's adjusted standardized residual"},
    {"--layer", "VAR", ApplyLayer,
     "one table, with its tests, for each value of the variable\n"
     "VAR (short or long name); cases missing on VAR are left out"},
    {"--by", "G1[,G2]", ApplyBy, "the grouping variables: one, or two separated by a comma"},
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
     "line (a regular file or a pipe); else the environment\n"
     "variable LORIVANE_PASSWORD holds it. A password is never\n"
     "taken on the command line"},
};

// Where an option means something particular to some of its commands.
constexpr OptionNote kOptionNotes[] = {
    {"--json", "meta",
     "the whole dictionary as JSON: UTF-8, texts decoded from\n"
     "the file's encoding, key names fixed (the schema is in\n" LORIVANE_DOC_DIR
     "/dictionary-json.md)"},
    {"--json", "dict",
     "the codebook as JSON (the schema is in\n" LORIVANE_DOC_DIR "/dictionary-json.md)"},
    {"--json", "freq describe crosstab means",
     "the figures as JSON, UTF-8 (the schema is in\n" LORIVANE_DOC_DIR "/stats-json.md)"},
    {"--csv", "dict",
     "one CSV row per variable (position, name, long name,\n"
     "label, type, width, print and write formats, measure, role,\n"
     "value labels as value=label joined by \"; \", missing values)\n"
     "after a header row: RFC 4180 quoting, UTF-8, CR LF line\n"
     "ends; a text that begins with =, +, -, @, a tab or CR gets\n"
     "an apostrophe in front, as in convert"},
    {"--csv", "describe",
     "the rows as CSV (UTF-8, CR LF): figures as the shortest text\n"
     "that reads back to the same value, and a text that begins\n"
     "with =, +, -, @, a tab or CR with an apostrophe in front, as\n"
     "in convert"},
    {"--labels", "convert", "writes a value's label in place of a value that has one"},
    {"--compute", "grid find export convert",
     "adds a computed column after the file's variables, as the\n"
     "grid's 変数を計算… does: printed, searched, sorted by\n"
     "(--sort) and written like the others (to a .sav or .zsav\n"
     "only with --keep-computed), never into FILE"},
    {"--vars", "convert", "writes only the variables named (short or long names), in that order"},
    {"--vars", "codebook",
     "writes only the variables named (short or long names), in\n"
     "dictionary order"},
};

bool CheckExport(const Options& o, std::string& error) {
    if (o.displayed ||
        (o.sort.empty() && !o.labels && !o.formatted && o.where.empty() && o.compute.empty()))
        return true;
    error = std::string(o.labels             ? "--labels"
                        : o.formatted        ? "--formatted"
                        : !o.compute.empty() ? "--compute"
                        : o.sort.empty()     ? "--where"
                                             : "--sort") +
            " goes with export --displayed only";
    return false;
}

bool CheckConvert(const Options& o, std::string& error) {
    if (IsSavOutput(o)) {
        const char* table = nullptr;
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

bool CheckCodebook(const Options& o, std::string& error) {
    const std::string& out = o.output;
    const size_t dot = out.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : out.substr(dot + 1);
    for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (extension == "htm" || extension == "html" || extension == "xhtml" || out == "-")
        return true;
#if LORIVANE_PDF
    if (extension == "pdf") return true;
    error =
        "codebook writes HTML or PDF: name OUT .html or .pdf (or - for HTML on standard output)";
#else
    error = extension == "pdf" ? "codebook writes HTML only in this build: name OUT .html"
                               : "codebook writes HTML: name OUT .html (or - for standard output)";
#endif
    return false;
}

bool CheckMeans(const Options& o, std::string& error) {
    if (!o.groups.empty()) return true;
    error = "means needs --by G1[,G2]";
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
     nullptr, RunSummary, "the main window's summary of each file",
     "summary survey.sav visits.sav  # the summaries of two files, one after the other\n"
     "summary --password-file key.txt secret.sav  # an encrypted file, its password in key.txt"},
    {"vars", "FILE", "--utf8 --bytes --encoding --long-names --password-file", "",
     "the variable list window's columns under its headings, one\n"
     "line per variable: 変数名, the name; タイプ, the type (num,\n"
     "or str and the string's width); 値ラベル, L when the\n"
     "variable has value labels, else N; 欠損値, m when it has\n"
     "missing values, else N; 変数ラベル, the variable label. The\n"
     "columns are padded by their width on a terminal (a wide\n"
     "character takes two; with --bytes, a byte one)",
     nullptr, RunVars, "the variable list",
     "vars survey.sav  # every variable with its type, flags and label\n"
     "vars --long-names survey.sav  # the same with each variable's long name"},
    {"labels", "FILE VAR", "--utf8 --bytes --encoding --password-file", "",
     "the value-label window's lines of the variable VAR (short\n"
     "or long name): its value labels and missing values",
     nullptr, RunLabels, "a variable's value labels and missing values",
     "labels survey.sav SEX  # the labels of SEX and its missing value\n"
     "labels survey.sav RespondentId  # a variable found by its long name"},
    {"grid", "FILE",
     "--utf8 --bytes --encoding --tsv --rows --labels --formatted --sort --where --password-file "
     "--compute --compute-label",
     "",
     "the data grid's cell texts, one line per case, each cell\n"
     "followed by a blank as the as-displayed export writes them",
     nullptr, RunGrid, "the data grid, one line per case",
     "grid survey.sav --labels --rows 1:3  # the first three cases, labels for values\n"
     "grid visits.sav --formatted  # dates, times and currencies as formatted\n"
     "grid survey.sav --sort 年齢:desc --where 'SEX = 2'  # the women, the oldest first\n"
     "grid survey.sav --compute 'BMI=W/(H/100)**2' --sort BMI  # a computed column"},
    {"export", "FILE OUT",
     "--encoding --labels --formatted --sort --where --password-file --compute --compute-label",
     "--raw|--displayed",
     "writes OUT exactly as the grid window's export (書き込み)\n"
     "does, in the file's own bytes: --raw in the internal form,\n"
     "--displayed as the grid shows the values. OUT appears only\n"
     "when complete: every option, a --where condition included,\n"
     "is checked first, the file is written to a temporary file in\n"
     "the same folder (unnamed where the filesystem allows) and\n"
     "renamed at the end, so a failure, a full disk, or SIGINT,\n"
     "SIGTERM or SIGHUP leave nothing under its name and an\n"
     "earlier file there as it was; a failure exits 1 (2 for a\n"
     "bad condition)",
     CheckExport, RunExportCommand, "writes the grid as the window's export does",
     "export survey.sav shown.txt --displayed --labels  # as the grid shows it, with labels\n"
     "export survey.sav raw.txt --raw  # the internal form"},
    {"find", "FILE TEXT",
     "--utf8 --bytes --encoding --case --whole --var --labels --formatted --where --rows "
     "--max-count --password-file --compute --compute-label",
     "",
     "the cells whose shown text holds TEXT (UTF-8; letters of\n"
     "any case unless --case), in the grid's order: one line per\n"
     "match with the case number, the variable's name and the\n"
     "cell's text without its padding, separated by tabs; exits\n"
     "as grep does",
     CheckFind, RunFind, "the cells that hold a text",
     "find survey.sav 東京 --var PREF  # the cases whose PREF holds 東京\n"
     "find survey.sav 'good service' --whole  # cells that are that text, in any case\n"
     "find survey.sav 東京 --max-count 1  # the first match only, read no further"},
    {"meta", "FILE", "--utf8 --bytes --encoding --json --password-file", "",
     "the whole dictionary: the file information window's lines\n"
     "(header and product details, encoding, documents, file\n"
     "attributes, multiple-response sets, variable sets,\n"
     "extension records, the reader's warnings), then every\n"
     "variable with its long name, label, type and width, print\n"
     "and write formats, measure, display width, alignment,\n"
     "role, attributes, value labels and missing values",
     CheckMeta, RunMeta, "the whole dictionary",
     "meta survey.sav  # the file's records and every variable\n"
     "meta --json survey.sav > survey.json  # the same as JSON"},
    {"dict", "FILE", "--encoding --password-file", "--csv|--json",
     "the codebook as the variable list's 辞書を書き出す… writes\n"
     "it, always in UTF-8",
     nullptr, RunDict, "the codebook as CSV or JSON",
     "dict --csv survey.sav > codebook.csv  # one row per variable for a spreadsheet\n"
     "dict --json survey.sav  # the codebook as JSON"},
    {"convert", "FILE OUT",
     "--encoding --labels --header --missing --bom --crlf --vars --rows --sort --where --format "
     "--keep-encoding --decrypt --password-file --compute --compute-label --keep-computed",
     "",
     "writes the cases to OUT as a table other programs read:\n"
     "CSV (RFC 4180), TSV or an Excel workbook (.xlsx); OUT -\n"
     "writes CSV or TSV to standard output. Texts are UTF-8,\n"
     "decoded from the file's encoding (or --encoding); bytes\n"
     "that do not decode become U+FFFD, NUL bytes are left out and\n"
     "strings lose their trailing blanks. Numbers are the shortest\n"
     "text that reads back to the same value, in plain digits\n"
     "(with an exponent only below 0.00001 and from 10^16), in a\n"
     "workbook too (17 significant digits where a value needs\n"
     "them); system-missing values are empty, and a row of one\n"
     "empty field is written as \"\" (in TSV too). Dates are ISO\n"
     "8601 texts that keep the stored value (yyyy-mm-dd for a\n"
     "whole day, yyyy-mm-ddThh:mm:ss when a date has a time of\n"
     "day, [-]hh:mm:ss for durations, each with the fraction of a\n"
     "second the value holds), whatever the print format shows;\n"
     "export --displayed --formatted writes the texts as shown.\n"
     "\n"
     "In a workbook dates are real dates in a date format,\n"
     "numbers carry a number format following the print format\n"
     "(F8.2 as 0.00, COMMA as #,##0.00) and every case is a row,\n"
     "also one whose cells are all empty; it has a frozen, bold\n"
     "header row and a second sheet with the variables' names,\n"
     "labels, types, formats, measures, value labels and missing\n"
     "values; a table that does not fit a sheet (1,048,576 rows\n"
     "with the header, 16,384 columns) is refused before anything\n"
     "is written. In TSV a tab, LF, CR and backslash in a value\n"
     "are written \\t, \\n, \\r and \\\\; in CSV and TSV a text that\n"
     "begins with =, +, -, @, tab or CR gets an apostrophe in\n"
     "front, so that a spreadsheet does not take it for a\n"
     "formula.\n"
     "\n"
     "A .sav or .zsav OUT (by its extension or --format) is a new\n"
     "system file (bytecode-compressed, or zlib for .zsav) of the\n"
     "cases and variables chosen (--where, --rows, --vars) with the\n"
     "whole dictionary that describes them: labels, value labels,\n"
     "missing values, formats, display parameters, roles and\n"
     "attributes, long names, very long strings, documents, file\n"
     "attributes, the weight variable when kept and the extra\n"
     "product info; multiple-response and variable sets are cut to\n"
     "the variables kept, and a set left too small is dropped with\n"
     "a warning line; other extension records are not carried\n"
     "over. Texts and string values are converted to UTF-8 (a\n"
     "string variable widened to its longest converted value's\n"
     "bytes, found in a first pass) unless --keep-encoding keeps\n"
     "the source's encoding and bytes. FILE itself is never the\n"
     "output (the same path, a link or the same file under another\n"
     "name is refused); an encrypted FILE is written as a file that\n"
     "is NOT encrypted, and only with --decrypt. --sort writes the\n"
     "cases in the sorted order; the table's options do not apply.\n"
     "\n"
     "OUT appears only once complete, as for export; any failure\n"
     "exits 1",
     CheckConvert, RunConvert, "writes the cases as CSV, TSV, an Excel workbook or a .sav",
     "convert survey.sav survey.xlsx --labels  # a workbook, labels in place of values\n"
     "convert survey.sav - --vars SEX,年齢 --where 'SCORE >= 4'  # two columns as CSV\n"
     "convert survey.sav out.csv --header labels --bom  # CSV for a spreadsheet\n"
     "convert survey.sav women.zsav --where 'SEX = 2'  # a new compressed system file"},
    {"select", "FILE CONDITION", "--encoding --password-file --compute --compute-label", "",
     "the numbers of the cases CONDITION selects, one per line.\n"
     "A condition is written as SPSS's SELECT IF takes one:\n"
     "variables by short or long name, numbers, quoted strings,\n"
     "+ - * /, = <> ~= < <= > >= (or EQ NE LT LE GT GE), AND OR\n"
     "NOT (or & | ~), **, parentheses, V1 TO V5 and SPSS's\n"
     "functions (MISSING, ANY, RANGE, MEAN, SUM, ABS, CONCAT,\n"
     "SUBSTR, UPCASE, XDATE.YEAR, DATE.DMY and more); a date\n"
     "beside a date variable is written as the grid shows it\n"
     "(1990/01/31).\n"
     "Missing values make a comparison neither true nor false,\n"
     "and a case is selected only when the condition is true (the\n"
     "language is in " LORIVANE_DOC_DIR "/conditions.md). A\n"
     "CONDITION that begins with a minus sign goes after --, or\n"
     "it is taken for an option: select FILE -- '-VALUE(X) > 0'.\n"
     "Exits 0 when some cases are selected, 1 when none, 2 for a\n"
     "bad condition or file",
     nullptr, RunSelect, "the numbers of the cases a condition selects",
     "select survey.sav 'SEX = 2 AND 年齢 < 30'  # the women under 30\n"
     "select survey.sav 'MISSING(SCORE) OR ANY(AGAIN, 2, 98)'  # missing or certain answers\n"
     "select survey.sav -- '-SCORE < -3'  # a condition that begins with a minus sign"},
    {"freq", "FILE VAR...",
     "--utf8 --bytes --encoding --json --unweighted --where --percentiles --password-file "
     "--compute --compute-label",
     "",
     "the frequency table of each VAR (short or long name): one row\n"
     "per distinct value in value order with its label, count,\n"
     "percent, valid percent and cumulative percent, user-missing\n"
     "values after the valid ones, system-missing as one row, then\n"
     "the mean, standard deviation, minimum, maximum, quartiles\n"
     "(the weighted average at (W+1)p), modes, standard error of\n"
     "the mean, variance, skewness and kurtosis with their standard\n"
     "errors, range and sum of a numeric variable, as the window\n"
     "度数分布 shows them",
     nullptr, RunFreq, "the frequency table of each variable",
     "freq survey.sav SEX --where '年齢 >= 60'  # SEX among those aged 60 and over\n"
     "freq --json survey.sav SCORE AGAIN  # two tables as JSON\n"
     "freq survey.sav INCOME --percentiles 5,10,90,95  # four more percentiles"},
    {"describe", "FILE",
     "--utf8 --bytes --encoding --vars --json --csv --unweighted --where --percentiles "
     "--password-file --compute --compute-label",
     "",
     "one row per variable (or those of --vars): type, measure,\n"
     "valid and missing counts, distinct values, minimum, maximum,\n"
     "mean, standard deviation, most frequent value, median and\n"
     "the moments of the frequency table, in one pass over the\n"
     "cases (and further passes, in bounded memory, over the values\n"
     "of a variable of more than 10,000 distinct values), as the\n"
     "window 変数の概要 shows them",
     CheckDescribe, RunDescribe, "every variable described in one row",
     "describe survey.sav  # every variable\n"
     "describe survey.sav --vars SCORE,INCOME --csv  # two variables as CSV"},
    {"crosstab", "FILE ROWVAR COLVAR",
     "--utf8 --bytes --encoding --percent --include-missing --expected --residuals --layer "
     "--json --unweighted --where --password-file --compute --compute-label",
     "",
     "the counts of ROWVAR by COLVAR with their totals, as the\n"
     "window クロス集計 shows them; the counts are weighted by the\n"
     "file's weight variable when it has one (cases with a zero,\n"
     "negative or missing weight left out). Below the table, the\n"
     "tests of independence: Pearson's and the likelihood-ratio\n"
     "chi-square and the linear-by-linear association with their\n"
     "degrees of freedom and p-values, Fisher's exact test for a\n"
     "2 x 2 table (two- and one-sided), phi and Cramér's V, and how\n"
     "many cells have an expected count below 5 (which makes the\n"
     "chi-square doubtful)",
     nullptr, RunCrosstab, "the counts of one variable by another, with their tests",
     "crosstab survey.sav SEX AGAIN --percent row  # with row percentages\n"
     "crosstab survey.sav SEX AGAIN --expected --residuals  # where the counts depart\n"
     "crosstab survey.sav SEX AGAIN --layer PREF  # one table for each PREF"},
    {"codebook", "FILE OUT", "--encoding --vars --unweighted --where --password-file", "",
     "writes the codebook of the file to OUT as one HTML document\n"
     "or, when OUT ends in .pdf, as a PDF with embedded fonts and a\n"
     "bookmark per variable: a title page with the file's details and\n"
     "documents, a table of contents, then each variable with its\n"
     "dictionary entry, the count and percent of each value (with\n"
     "the counts of cases beside the weighted ones when the file\n"
     "names a weight), its missing counts, the statistics of a\n"
     "scale variable and a small chart, then the multiple-response\n"
     "sets with their counts and the variable sets. A variable of\n"
     "more than 60 distinct values shows how many it has and the\n"
     "most frequent ten. The counts are freq's, from one pass over\n"
     "the cases; the document is self-contained (inline CSS and\n"
     "SVG, no script) and well-formed XHTML, written through a\n"
     "temporary file and named when complete",
     CheckCodebook, RunCodebook, "the codebook of a file as HTML or PDF",
     "codebook survey.sav survey.html  # every variable\n"
     "codebook survey.sav survey.pdf  # the same as PDF\n"
     "codebook survey.sav sex.html --vars SEX --where 'AGE>=20'  # one variable, adults"},
    {"means", "FILE VAR",
     "--utf8 --bytes --encoding --by --json --unweighted --where --password-file --compute "
     "--compute-label",
     "",
     "the mean, N, standard deviation, standard error of the mean,\n"
     "minimum, maximum, variance, sum, median, range, skewness and\n"
     "kurtosis with their standard errors of the numeric VAR for\n"
     "each value of the grouping variable of --by, or each\n"
     "combination of the values of two, with the subtotals of each\n"
     "grouping variable and the total, as the window 平均の比較\n"
     "shows them. A case missing on VAR or a grouping variable is\n"
     "left out; weighted figures take the weights as frequencies.\n"
     "The median is exact; a group whose values pass the bound of\n"
     "values held (262,144 distinct values over all the groups) has\n"
     "none, and a note says so",
     CheckMeans, RunMeans, "a variable's mean and spread by group",
     "means survey.sav INCOME --by SEX  # the mean income of each sex\n"
     "means survey.sav SCORE --by SEX,PREF --json  # by two variables, as JSON\n"
     "means survey.sav R --by SEX --compute 'R=INCOME/SIZE'  # a computed ratio"},
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

std::span<const OptionNote> OptionNotes() {
    return kOptionNotes;
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

std::string_view OptionHelp(const CommandSpec& command, const OptionSpec& option) {
    for (const OptionNote& note : kOptionNotes)
        if (note.option == option.name && Lists(note.commands, command.name, ' ')) return note.help;
    return option.help;
}

std::vector<const OptionSpec*> OptionsOf(const CommandSpec& command) {
    std::vector<const OptionSpec*> taken;
    for (const OptionSpec& option : kOptions)
        if (Takes(command, option.name)) taken.push_back(&option);
    return taken;
}

}  // namespace lv::cli
