#include "cli/options.h"

#include <algorithm>
#include <charconv>

#include "core/text/encoding_choices.h"

namespace lv::cli {
namespace {

bool ParseRows(const std::string& text, long long& first, long long& last) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string a = text.substr(0, colon), b = text.substr(colon + 1);
    auto number = [](const std::string& s, long long& v) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        return r.ec == std::errc() && r.ptr == s.data() + s.size();
    };
    first = 1;
    last = -1;
    if (!a.empty() && !number(a, first)) return false;
    if (!b.empty() && !number(b, last)) return false;
    return first >= 1 && (last == -1 || last >= first);
}

// The value of an option given as "--name VALUE" or "--name=VALUE" at
// args[i] (i moves past VALUE); nothing when VALUE is missing.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& i,
                                       const std::string& name) {
    const std::string& a = args[i];
    if (a != name) return a.substr(name.size() + 1);
    if (i + 1 >= args.size()) return std::nullopt;
    return args[++i];
}

bool IsOption(const std::string& a, const std::string& name) {
    return a == name || a.rfind(name + "=", 0) == 0;
}

}  // namespace

std::optional<std::vector<SortOption>> ParseSortOption(const std::string& text) {
    std::vector<SortOption> keys;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        SortOption key;
        const size_t colon = item.rfind(':');
        if (colon != std::string::npos) {
            const std::string direction = item.substr(colon + 1);
            if (direction == "desc")
                key.descending = true;
            else if (direction != "asc")
                return std::nullopt;
            item.resize(colon);
        }
        if (item.empty()) return std::nullopt;
        key.variable = item;
        keys.push_back(key);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return keys;
}

const char* UsageText() {
    return R"(NAME
    lorivane-dump - print what the Lorivane windows show, and export their grid

SYNOPSIS
    lorivane-dump summary [--utf8] [--encoding NAME] FILE...
    lorivane-dump vars [--utf8] [--encoding NAME] [--long-names] FILE
    lorivane-dump labels [--utf8] [--encoding NAME] FILE VAR
    lorivane-dump grid [--utf8] [--encoding NAME] [--tsv] [--rows A:B] [--labels]
                       [--formatted] [--sort KEYS] [--where CONDITION] FILE
    lorivane-dump export FILE OUT --raw|--displayed [--labels] [--formatted]
                         [--sort KEYS] [--where CONDITION]
    lorivane-dump find [--utf8] [--encoding NAME] [--case] [--whole] [--var NAME]
                       [--labels] [--formatted] [--where CONDITION] FILE TEXT
    lorivane-dump select [--encoding NAME] FILE CONDITION
    lorivane-dump meta [--utf8] [--encoding NAME] [--json] FILE
    lorivane-dump dict [--encoding NAME] --csv|--json FILE
    lorivane-dump freq [--encoding NAME] [--json] [--unweighted] FILE VAR...
    lorivane-dump describe [--encoding NAME] [--vars A,B...] [--json|--csv]
                       [--unweighted] FILE
    lorivane-dump crosstab [--encoding NAME] [--percent row,col,total]
                       [--include-missing] [--json] [--unweighted] FILE ROWVAR COLVAR
    lorivane-dump --help

DESCRIPTION
    Reads SPSS system files (.sav, .zsav) with the viewer's own reader and
    prints, with the viewer's own code, the texts its windows show.

    summary   the file summary of the main window, after a "file:" line,
              for each FILE in turn
    vars      the variable list, one fixed-column line per variable;
              --long-names adds a tab and the variable's long name
    labels    the value-label window's lines of the variable VAR (short or
              long name)
    grid      the data grid's cell texts, one line per case, each cell
              followed by a blank as the as-displayed export writes them;
              --tsv separates the cells by tabs instead; --rows A:B prints
              only rows A to B (either end may be left out)
    export    writes OUT exactly as the grid window's export does: --raw in
              the internal form (strings as stored, numbers in scientific
              form), --displayed as the grid shows the values
    find      the cells whose shown text holds TEXT (UTF-8), in the grid's
              order: one line per match with the case number, the
              variable's name and the cell's text without its padding,
              separated by tabs; --case matches case, --whole matches the
              whole text of a cell, --var NAME looks in that variable only
    select    the case numbers of the cases CONDITION selects, one per line
              (the condition language of docs/conditions.md, as SELECT IF
              writes it: age >= 60 AND sex = 2, MISSING(income), ...)
    meta      the whole dictionary: the file information window's lines
              (header and product details, encoding, documents, file
              attributes, multiple-response sets, variable sets, extension
              records, the reader's warnings), then every variable with its
              long name, label, type and width, print and write formats,
              measure, display width, alignment, role, attributes, value
              labels and missing values; --json prints it all as JSON
              instead (UTF-8, schema in docs/dictionary-json.md)
    dict      the codebook as the variable list's 辞書を書き出す… writes
              it: --csv one CSV row per variable (RFC 4180, UTF-8, CR LF),
              --json the JSON of meta --json

    freq      the frequency table of each VAR (short or long name): one row
              per distinct value in value order with its label, count,
              percent, valid percent and cumulative percent, user-missing
              values after the valid ones, system-missing as one row, then
              the descriptive statistics of a numeric variable (percentiles
              as the weighted average at (W+1)p)
    describe  one row per variable (or those of --vars): type, measure,
              valid and missing counts, distinct values, minimum, maximum,
              mean, standard deviation and most frequent value, all in one
              pass over the cases; --csv as CSV (UTF-8, CR LF)
    crosstab  the counts of ROWVAR by COLVAR with their totals; --percent
              adds row, column and/or total percentages; user-missing values
              are left out unless --include-missing
              The three count by the file's weight variable when it has one
              (cases with a zero, negative or missing weight left out);
              --unweighted counts cases instead. Their text is UTF-8; --json
              prints JSON (schema in docs/stats-json.md).

    --password-file FILE
              opens an encrypted file with the password on FILE's first
              line; else the environment variable LORIVANE_PASSWORD holds
              it. A password is never taken on the command line.
    --labels  shows a value's label in place of a value that has one, as
              the grid window does when its labels are shown
    --formatted
              shows every value in its print format (dates, times,
              currencies, grouped digits), as the grid window's
              書式どおりに表示 does; --labels still takes precedence
    --where CONDITION
              shows only the cases CONDITION selects, as the grid's filter
              bar (条件で絞り込む) does; --rows then counts those
    --sort KEYS
              orders the rows first, as the grid's column sort does: KEYS
              is VAR[:desc] or several separated by commas, the first
              deciding first (numbers by value, strings by their text;
              missing values last)

    Output holds the file's own bytes, as the export writes them; --utf8
    converts names, labels and string values to UTF-8 from the file's
    encoding. --encoding NAME converts them from NAME instead (and implies
    --utf8), as the main window's encoding menu (文字コード) does, for files
    whose encoding is missing or wrong; a long name given to labels is then
    compared in NAME too. export always writes the file's bytes; the JSON
    and CSV of meta and dict are always UTF-8, decoded from NAME or the
    file's encoding. NAME is auto (the file's own encoding), UTF-8, CP932
    (Shift_JIS), EUC-JP, GB18030 (GBK), CP950 (Big5), CP949 (EUC-KR),
    WINDOWS-1250 to WINDOWS-1258, ISO-8859-1, -2, -5, -7, -8, -9 or -15,
    KOI8-R, KOI8-U, MACINTOSH or CP874 (TIS-620), in any case; an unknown
    NAME lists every accepted one.

    Messages that the windows show in boxes go to standard error, one per
    line, in the same words.

EXIT STATUS
    0  success
    1  the reader or a rendering reported an error (message on stderr)
    2  bad usage

    find follows grep: 0 when a cell matched, 1 when none did, 2 on bad
    usage or any error. select too: 0 when a case was selected, 1 when
    none was, 2 for a bad condition or file. A bad --where condition is
    exit 2, with the message and its position.
)";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.command = Command::Help;
            return o;
        } else if (a == "--utf8") {
            o.utf8 = true;
        } else if (a == "--long-names") {
            o.longNames = true;
        } else if (a == "--tsv") {
            o.tsv = true;
        } else if (a == "--raw") {
            o.raw = true;
        } else if (a == "--displayed") {
            o.displayed = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--labels") {
            o.labels = true;
        } else if (a == "--formatted") {
            o.formatted = true;
        } else if (a == "--unweighted") {
            o.unweighted = true;
        } else if (a == "--include-missing") {
            o.includeMissing = true;
        } else if (IsOption(a, "--vars") || IsOption(a, "--percent")) {
            const std::string name = a.rfind("--vars", 0) == 0 ? "--vars" : "--percent";
            const std::optional<std::string> value = OptionValue(args, i, name);
            if (!value || value->empty()) {
                error = name + " needs a list separated by commas";
                return std::nullopt;
            }
            if (name == "--percent") {
                o.percents = *value;
                for (size_t start = 0; start <= value->size();) {
                    const size_t comma = std::min(value->find(',', start), value->size());
                    const std::string item = value->substr(start, comma - start);
                    if (item != "row" && item != "col" && item != "total") {
                        error = "--percent takes row, col and total, separated by commas";
                        return std::nullopt;
                    }
                    start = comma + 1;
                }
            } else {
                for (size_t start = 0; start <= value->size();) {
                    const size_t comma = std::min(value->find(',', start), value->size());
                    if (comma > start) o.variables.push_back(value->substr(start, comma - start));
                    start = comma + 1;
                }
            }
        } else if (a == "--case") {
            o.matchCase = true;
        } else if (a == "--whole") {
            o.wholeCell = true;
        } else if (IsOption(a, "--var")) {
            const std::optional<std::string> value = OptionValue(args, i, "--var");
            if (!value) {
                error = "--var needs a variable name";
                return std::nullopt;
            }
            o.findVariable = *value;
        } else if (IsOption(a, "--where")) {
            const std::optional<std::string> value = OptionValue(args, i, "--where");
            if (!value || value->empty()) {
                error = "--where needs a condition";
                return std::nullopt;
            }
            o.where = *value;
        } else if (IsOption(a, "--sort")) {
            const std::optional<std::string> value = OptionValue(args, i, "--sort");
            const auto keys = value ? ParseSortOption(*value) : std::nullopt;
            if (!keys) {
                error = value ? "invalid sort keys '" + *value + "' (expected VAR[:desc][,VAR...])"
                              : "--sort needs keys VAR[:desc][,VAR...]";
                return std::nullopt;
            }
            o.sort = *keys;
        } else if (IsOption(a, "--rows")) {
            const std::optional<std::string> value = OptionValue(args, i, "--rows");
            if (!value) {
                error = "--rows needs a range A:B";
                return std::nullopt;
            }
            if (!ParseRows(*value, o.firstRow, o.lastRow)) {
                error = "invalid row range '" + *value + "' (expected A:B, 1 <= A <= B)";
                return std::nullopt;
            }
        } else if (IsOption(a, "--password-file")) {
            const std::optional<std::string> value = OptionValue(args, i, "--password-file");
            if (!value || value->empty()) {
                error = "--password-file needs a file";
                return std::nullopt;
            }
            o.passwordFile = *value;
        } else if (IsOption(a, "--encoding")) {
            const std::optional<std::string> value = OptionValue(args, i, "--encoding");
            const std::optional<std::string> encoding =
                value ? lv::ParseEncodingName(*value) : std::nullopt;
            if (!encoding) {
                error = (value ? "unknown encoding '" + *value + "'" : "--encoding needs a name") +
                        "; accepted: " + lv::AcceptedEncodingNames();
                return std::nullopt;
            }
            o.encoding = *encoding;
            o.utf8 = true;  // a chosen encoding is for decoding
        } else if (a == "--") {
            positional.insert(positional.end(), args.begin() + i + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-' && a.find(' ') == std::string::npos) {
            // Options hold no blanks: a condition such as "-x < 0" is not one.
            error = "unknown option '" + a + "'";
            return std::nullopt;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::string cmd = positional.front();
    positional.erase(positional.begin());
    auto want = [&](size_t n, const char* what) {
        if (positional.size() == n) return true;
        error = std::string(cmd) + " takes " + what;
        return false;
    };
    if (cmd == "summary") {
        o.command = Command::Summary;
        if (positional.empty()) {
            error = "summary takes one or more files";
            return std::nullopt;
        }
        o.files = positional;
    } else if (cmd == "vars") {
        o.command = Command::Vars;
        if (!want(1, "one file")) return std::nullopt;
        o.files = positional;
    } else if (cmd == "labels") {
        o.command = Command::Labels;
        if (!want(2, "a file and a variable name")) return std::nullopt;
        o.files = {positional[0]};
        o.variable = positional[1];
    } else if (cmd == "grid") {
        o.command = Command::Grid;
        if (!want(1, "one file")) return std::nullopt;
        o.files = positional;
    } else if (cmd == "export") {
        o.command = Command::Export;
        if (!want(2, "a file and an output file")) return std::nullopt;
        if (o.raw == o.displayed) {
            error = "export takes exactly one of --raw and --displayed";
            return std::nullopt;
        }
        o.files = {positional[0]};
        o.output = positional[1];
    } else if (cmd == "meta") {
        o.command = Command::Meta;
        if (!want(1, "one file")) return std::nullopt;
        o.files = positional;
    } else if (cmd == "dict") {
        o.command = Command::Dict;
        if (!want(1, "one file")) return std::nullopt;
        if (o.csv == o.json) {
            error = "dict takes exactly one of --csv and --json";
            return std::nullopt;
        }
        o.files = positional;
    } else if (cmd == "find") {
        o.command = Command::Find;
        if (!want(2, "a file and a text")) return std::nullopt;
        o.files = {positional[0]};
        o.text = positional[1];
        if (o.text.empty()) {
            error = "find takes a text that is not empty";
            return std::nullopt;
        }
    } else if (cmd == "select") {
        o.command = Command::Select;
        if (!want(2, "a file and a condition")) return std::nullopt;
        o.files = {positional[0]};
        o.condition = positional[1];
    } else if (cmd == "freq") {
        o.command = Command::Freq;
        if (positional.size() < 2) {
            error = "freq takes a file and one or more variable names";
            return std::nullopt;
        }
        o.files = {positional[0]};
        o.variables.assign(positional.begin() + 1, positional.end());
    } else if (cmd == "describe") {
        o.command = Command::Describe;
        if (!want(1, "one file")) return std::nullopt;
        if (o.csv && o.json) {
            error = "describe takes at most one of --csv and --json";
            return std::nullopt;
        }
        o.files = positional;
    } else if (cmd == "crosstab") {
        o.command = Command::Crosstab;
        if (!want(3, "a file and two variable names")) return std::nullopt;
        o.files = {positional[0]};
        o.variables = {positional[1], positional[2]};
    } else {
        error = "unknown command '" + cmd + "'";
        return std::nullopt;
    }
    if (!o.sort.empty() && o.command != Command::Grid &&
        !(o.command == Command::Export && o.displayed)) {
        error = "--sort goes with grid and export --displayed";
        return std::nullopt;
    }
    if (!o.where.empty() && o.command != Command::Grid && o.command != Command::Find &&
        !(o.command == Command::Export && o.displayed)) {
        error = "--where goes with grid, export --displayed and find";
        return std::nullopt;
    }
    if (o.labels && o.command != Command::Grid && o.command != Command::Find &&
        !(o.command == Command::Export && o.displayed)) {
        error = "--labels goes with grid, export --displayed and find";
        return std::nullopt;
    }
    if (o.formatted && o.command != Command::Grid && o.command != Command::Find &&
        !(o.command == Command::Export && o.displayed)) {
        error = "--formatted goes with grid, export --displayed and find";
        return std::nullopt;
    }
    return o;
}

}  // namespace lv::cli
