// lorivane-dump freq, describe, crosstab and means: the statistics windows' tables
// from the same core code, as text for a terminal, JSON or CSV; and codebook,
// the dictionary with every variable's frequencies as one HTML document.
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/tool_messages.h"
#include "core/codebook/codebook_html.h"
#if LORIVANE_PDF
#include "pdf/codebook_pdf.h"
#include "pdf/gui_for_drawing.h"
#endif
#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/variable_name.h"
#include "core/selection/file_selection.h"
#include "core/state/english_messages.h"
#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/means.h"
#include "core/stats/stats_json.h"
#include "core/stats/stats_text.h"

namespace lv::cli {
namespace {

constexpr int kExitError = 1;
constexpr int kUsage = 2;  // a bad --where, as for the other commands

void Print(std::FILE* out, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

void Complain(Context& c, const std::string& what) {
    PrintMessage(c.err, c.options.files[0], what);
}

// Opens the command's file and reads its dictionary through it: the cases
// are read through the same open file.
bool Read(Context& c) {
    const std::string& path = c.options.files[0];
    if (!CheckPath(c, path) || !OpenCommandFile(c, path)) return false;
    const lv::FileDictionary& dict = DictionaryOf(c);
    if (c.dictionaryStatus != 0) {
        ReportUnreadable(c, path, c.dictionaryStatus, lv::LastOpenRefusal().reason);
        return false;
    }
    if (dict.caseCount == -1 && dict.variables.empty()) {
        Complain(c, "holds no cases to count");
        return false;
    }
    return true;
}

std::string EncodingOf(const Context& c, const lv::FileDictionary& dict) {
    return c.options.encoding.empty() ? dict.encoding : c.options.encoding;
}

// The variables named; false (with a message) for an unknown name.
bool Variables(Context& c, const lv::FileDictionary& dict, const std::vector<std::string>& named,
               std::vector<int>& out) {
    const lv::VariableNameIndex names(lv::NamesOf(dict.variables), EncodingOf(c, dict));
    for (const std::string& name : named) {
        const int v = names.Find(name);
        if (v < 0) {
            Complain(c, "no variable named '" + name + "'");
            return false;
        }
        out.push_back(v);
    }
    return true;
}

// The cases of --where, when it is given: false (with the message and the
// condition's position) for a bad condition or an unreadable file.
bool Where(Context& c, const lv::FileDictionary& dict, std::optional<lv::CaseNumbers>& out) {
    return WhereCases(c, EncodingOf(c, dict), out);
}

// The variables named on the command line.
bool Variables(Context& c, const lv::FileDictionary& dict, std::vector<int>& out) {
    return Variables(c, dict, c.options.variables, out);
}

const lv::CaseNumbers* Selected(const std::optional<lv::CaseNumbers>& cases) {
    return cases ? &*cases : nullptr;
}

bool PassDone(Context& c, const lv::PassResult& pass) {
    if (pass.outcome == lv::PassOutcome::Complete) return true;
    Complain(c, pass.error ? lv::EnglishText(pass.error) : "stopped");
    return false;
}

}  // namespace

int RunFreq(Context& c) {
    if (!Read(c)) return kExitError;
    if (!ApplyComputed(c, EncodingOf(c, DictionaryOf(c)))) return kUsage;
    const lv::FileDictionary& dict = DictionaryOf(c);
    std::vector<int> variables;
    std::optional<lv::CaseNumbers> cases;
    if (!Variables(c, dict, variables)) return kExitError;
    if (!Where(c, dict, cases)) return kUsage;
    const lv::FrequencyResult result = lv::RunFrequencies(
        dict, variables, !c.options.unweighted, nullptr, lv::ValueTally::kDefaultKept,
        Selected(cases), &c.file, c.options.percentiles);
    if (!PassDone(c, result.pass)) return kExitError;
    const std::string encoding = EncodingOf(c, dict);
    if (c.options.json) {
        Print(c.out, lv::FrequencyJson(result.tables, dict, result.pass, encoding));
        return 0;
    }
    for (size_t i = 0; i < result.tables.size(); ++i) {
        if (i) Print(c.out, "\n");
        Print(c.out, lv::FrequencyText(result.tables[i], result.pass, encoding));
    }
    return 0;
}

int RunDescribe(Context& c) {
    if (!Read(c)) return kExitError;
    if (!ApplyComputed(c, EncodingOf(c, DictionaryOf(c)))) return kUsage;
    const lv::FileDictionary& dict = DictionaryOf(c);
    std::vector<int> variables;
    std::optional<lv::CaseNumbers> cases;
    if (!Variables(c, dict, variables)) return kExitError;
    if (!Where(c, dict, cases)) return kUsage;
    const lv::DescribeResult result =
        lv::RunDescribe(dict, variables, !c.options.unweighted, nullptr, lv::kDescribeDistinctCap,
                        Selected(cases), &c.file, c.options.percentiles);
    if (!PassDone(c, result.pass)) return kExitError;
    const std::string encoding = EncodingOf(c, dict);
    Print(c.out, c.options.json  ? lv::DescribeJson(result, dict, encoding)
                 : c.options.csv ? lv::DescribeCsv(result, encoding)
                                 : lv::DescribeText(result, encoding));
    return 0;
}

int RunCrosstab(Context& c) {
    if (!Read(c)) return kExitError;
    if (!ApplyComputed(c, EncodingOf(c, DictionaryOf(c)))) return kUsage;
    const lv::FileDictionary& dict = DictionaryOf(c);
    std::vector<int> variables;
    std::optional<lv::CaseNumbers> cases;
    if (!Variables(c, dict, variables)) return kExitError;
    if (!c.options.layer.empty() && !Variables(c, dict, {c.options.layer}, variables))
        return kExitError;
    if (!Where(c, dict, cases)) return kUsage;
    const lv::CrosstabResult result =
        lv::RunCrosstab(dict, variables[0], variables[1], !c.options.unweighted,
                        c.options.includeMissing, nullptr, lv::kCrosstabMaxCategories,
                        Selected(cases), &c.file, variables.size() > 2 ? variables[2] : -1);
    if (!PassDone(c, result.pass)) return kExitError;
    lv::CrosstabPercents percents;
    const std::string& p = c.options.percents;
    percents.row = p.find("row") != std::string::npos;
    percents.column = p.find("col") != std::string::npos;
    percents.total = p.find("total") != std::string::npos;
    percents.expected = c.options.expected;
    percents.residuals = c.options.residuals;
    const std::string encoding = EncodingOf(c, dict);
    if (result.table.error) {
        Complain(c, lv::EnglishText(result.table.error));
        return kExitError;
    }
    Print(c.out, c.options.json ? lv::CrosstabJson(result, dict, percents, encoding)
                                : lv::CrosstabText(result, percents, encoding));
    return 0;
}

int RunMeans(Context& c) {
    if (!Read(c)) return kExitError;
    if (!ApplyComputed(c, EncodingOf(c, DictionaryOf(c)))) return kUsage;
    const lv::FileDictionary& dict = DictionaryOf(c);
    std::vector<int> variable, groups;
    std::optional<lv::CaseNumbers> cases;
    if (!Variables(c, dict, variable) || !Variables(c, dict, c.options.groups, groups))
        return kExitError;
    if (dict.variables[size_t(variable[0])].isString()) {
        Complain(c, "'" + c.options.variable + "' is a string variable; means takes a numeric one");
        return kExitError;
    }
    if (!Where(c, dict, cases)) return kUsage;
    const lv::MeansResult result =
        lv::RunMeans(dict, variable[0], groups, !c.options.unweighted, nullptr, lv::kMeansMaxGroups,
                     Selected(cases), &c.file);
    if (!PassDone(c, result.pass)) return kExitError;
    if (result.table.error) {
        Complain(c, lv::EnglishText(result.table.error));
        return kExitError;
    }
    const std::string encoding = EncodingOf(c, dict);
    Print(c.out, c.options.json ? lv::MeansJson(result.table, dict, result.pass, encoding)
                                : lv::MeansText(result.table, result.pass, encoding));
    return 0;
}

namespace {

// OUT ends in .pdf, in any case (as the command's check reads it).
bool IsPdfName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& ch : end) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return end == ".pdf";
}

}  // namespace

// The codebook: the target is checked and its temporary file made before
// the cases are read, and named only when the whole document is written.
int RunCodebook(Context& c) {
    if (!Read(c)) return kExitError;
    const lv::FileDictionary& dict = DictionaryOf(c);
    std::vector<int> variables;
    std::optional<lv::CaseNumbers> cases;
    if (!Variables(c, dict, variables)) return kExitError;
    if (!Where(c, dict, cases)) return kUsage;
    try {
        [[maybe_unused]] const bool pdf = IsPdfName(c.options.output);
#if LORIVANE_PDF
        // The fonts need a Qt application, made before anything is read.
        std::optional<lv::GuiForDrawing> gui;
        if (pdf) gui.emplace();
#endif
        lv::OutputFile out(c.options.output);
        lv::CodebookChoice choice;
        choice.weighted = !c.options.unweighted;
        choice.encoding = EncodingOf(c, dict);
        choice.condition = c.options.where;
        const lv::CodebookContent content =
            lv::BuildCodebook(dict, variables, choice, nullptr, Selected(cases), &c.file);
        if (!PassDone(c, content.frequencies.pass)) return kExitError;
#if LORIVANE_PDF
        if (pdf)
            lv::WriteCodebookPdf(content, out);
        else
#endif
            lv::WriteCodebookHtml(content, out);
        out.Commit();
    } catch (const std::exception& e) {
        PrintMessage(c.err, EnglishWhat(e));
        return kExitError;
    }
    return 0;
}

}  // namespace lv::cli
