#include "cli/options.h"

#include <charconv>

#include "core/encodingchoices.h"
#include "core/export/table_options.h"

namespace cli {
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
                       [--formatted] [--sort KEYS] FILE
    lorivane-dump export FILE OUT --raw|--displayed [--labels] [--formatted]
                         [--sort KEYS]
    lorivane-dump find [--utf8] [--encoding NAME] [--case] [--whole] [--var NAME]
                       [--labels] [--formatted] FILE TEXT
    lorivane-dump convert FILE OUT [--format csv|tsv|xlsx] [--labels]
                          [--header names|long|labels] [--missing values|empty]
                          [--bom] [--crlf] [--vars A,B,...] [--rows A:B]
                          [--sort KEYS] [--encoding NAME]
    lorivane-dump meta [--utf8] [--encoding NAME] [--json] FILE
    lorivane-dump dict [--encoding NAME] --csv|--json FILE
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
    convert   writes the cases to OUT as a table other programs read:
              CSV (RFC 4180), TSV or an Excel workbook (.xlsx), the format
              from --format or OUT's extension (.csv, .tsv/.tab/.txt,
              .xlsx); OUT - writes CSV or TSV to standard output. Texts are
              UTF-8; numbers the shortest text that reads back to the same
              value; dates ISO 8601 (yyyy-mm-dd, yyyy-mm-ddThh:mm:ss,
              hh:mm:ss; real dates in .xlsx); system-missing empty.
              --labels writes a labelled value as its label; --header
              names|long|labels heads the columns with short names, long
              names or variable labels; --missing empty writes user-missing
              values as empty cells; --bom starts CSV/TSV with a byte-order
              mark, --crlf ends lines with CR LF; --vars A,B,... writes
              those variables in that order; --rows A:B cases A to B;
              --sort KEYS orders the cases first (then --rows counts the
              sorted ones). In TSV a tab, LF, CR and backslash inside a
              value are written \t, \n, \r and \\; in CSV and TSV a text
              that begins with =, +, -, @, tab or CR gets an apostrophe in
              front so that spreadsheets do not run it as a formula. OUT
              appears only once it is complete; on any failure nothing is
              left under its name and the exit status is 1.
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

    --labels  shows a value's label in place of a value that has one, as
              the grid window does when its labels are shown
    --formatted
              shows every value in its print format (dates, times,
              currencies, grouped digits), as the grid window's
              書式どおりに表示 does; --labels still takes precedence
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
    usage or any error.
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
        } else if (a == "--case") {
            o.matchCase = true;
        } else if (a == "--whole") {
            o.wholeCell = true;
        } else if (a == "--bom") {
            o.bom = true;
        } else if (a == "--crlf") {
            o.crlf = true;
        } else if (IsOption(a, "--format") || IsOption(a, "--header") || IsOption(a, "--missing") ||
                   IsOption(a, "--vars")) {
            const std::string name = a.substr(0, a.find('='));
            const std::optional<std::string> value = OptionValue(args, i, name);
            const bool ok =
                value &&
                (name == "--format"    ? lv::TableFormatNamed(*value).has_value()
                 : name == "--header"  ? *value == "names" || *value == "long" || *value == "labels"
                 : name == "--missing" ? *value == "values" || *value == "empty"
                                       : !value->empty());
            if (!ok) {
                error = "invalid or missing value for " + name +
                        (name == "--format"    ? " (csv, tsv or xlsx)"
                         : name == "--header"  ? " (names, long or labels)"
                         : name == "--missing" ? " (values or empty)"
                                               : " (VAR,VAR,...)");
                return std::nullopt;
            }
            if (name == "--format") o.tableFormat = *value;
            if (name == "--header") o.header = *value;
            if (name == "--missing") o.missing = *value;
            if (name == "--vars") {
                for (size_t start = 0;;) {
                    const size_t comma = value->find(',', start);
                    o.vars.push_back(value->substr(start, comma - start));
                    if (comma == std::string::npos) break;
                    start = comma + 1;
                }
            }
        } else if (IsOption(a, "--var")) {
            const std::optional<std::string> value = OptionValue(args, i, "--var");
            if (!value) {
                error = "--var needs a variable name";
                return std::nullopt;
            }
            o.findVariable = *value;
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
        } else if (a.size() > 1 && a[0] == '-') {
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
    } else if (cmd == "convert") {
        o.command = Command::Convert;
        if (!want(2, "a file and an output file")) return std::nullopt;
        o.files = {positional[0]};
        o.output = positional[1];
        if (o.tableFormat.empty() && o.output == "-") o.tableFormat = "csv";
        if (o.tableFormat.empty() && !lv::TableFormatOfPath(o.output)) {
            error = "cannot tell the format from '" + o.output + "' (use --format csv|tsv|xlsx)";
            return std::nullopt;
        }
        if (o.output == "-" && o.tableFormat == "xlsx") {
            error = "convert writes only csv or tsv to standard output";
            return std::nullopt;
        }
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
    } else {
        error = "unknown command '" + cmd + "'";
        return std::nullopt;
    }
    const bool convert = o.command == Command::Convert;
    if ((o.bom || o.crlf || !o.tableFormat.empty() || !o.vars.empty() || o.header != "names" ||
         o.missing != "values") &&
        !convert) {
        error = "--format, --header, --missing, --bom, --crlf and --vars go with convert";
        return std::nullopt;
    }
    if (!o.sort.empty() && o.command != Command::Grid && !convert &&
        !(o.command == Command::Export && o.displayed)) {
        error = "--sort goes with grid and export --displayed";
        return std::nullopt;
    }
    if (o.labels && o.command != Command::Grid && o.command != Command::Find && !convert &&
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

}  // namespace cli
