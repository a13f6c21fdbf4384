#include "core/stats/stats_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/rendering/format_traits.h"
#include "core/rendering/print_format.h"
#include "core/state/english_messages.h"
#include "core/state/spssdio1.h"
#include "core/stats/crosstab_tests.h"
#include "core/stats/value_text.h"
#include "core/text/delimited_field.h"
#include "core/text/display_encoding.h"
#include "core/text/trim.h"

namespace lv {
namespace {

// East Asian wide and fullwidth ranges, and emoji, take two columns;
// combining marks none.
int CodePointColumns(uint32_t c) {
    if ((c >= 0x300 && c <= 0x36F) || (c >= 0x200B && c <= 0x200F)) return 0;
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
        (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
        (c >= 0x20000 && c <= 0x3FFFD))
        return 2;
    return 1;
}

// text cut to at most columns (with "…" when cut).
std::string Clip(const std::string& text, size_t columns) {
    if (TerminalColumns(text) <= columns) return text;
    std::string out;
    size_t used = 0;
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b >= 0xF0)
            n = 4;
        else if (b >= 0xE0)
            n = 3;
        else if (b >= 0xC0)
            n = 2;
        const std::string piece = text.substr(i, n);
        const size_t w = TerminalColumns(piece);
        if (used + w + 1 > columns) break;
        out += piece;
        used += w;
        i += n;
    }
    return out + "…";
}

struct Table {
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> rightAligned;

    std::string Render() const {
        std::vector<size_t> widths;
        for (const auto& row : rows) {
            widths.resize(std::max(widths.size(), row.size()));
            for (size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], TerminalColumns(row[c]));
        }
        std::string out;
        for (const auto& row : rows) {
            std::string line;
            for (size_t c = 0; c < row.size(); ++c) {
                const size_t pad = widths[c] - TerminalColumns(row[c]);
                const bool right = c < rightAligned.size() && rightAligned[c];
                if (c) line += "  ";
                if (right) line.append(pad, ' ');
                line += row[c];
                if (!right && c + 1 < row.size()) line.append(pad, ' ');
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out += line + "\n";
        }
        return out;
    }
};

std::string Printf(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string VariableTitle(const StatsVariable& v, const std::string& encoding) {
    std::string title = ToUtf8(v.longName().empty() ? v.name() : v.longName(), encoding);
    if (!v.dict->label.empty()) title += "  " + ToUtf8(v.dict->label, encoding);
    return title;
}

std::string WeightLine(const PassResult& pass) {
    if (!pass.weighted) return "";
    std::string line = "weighted";
    if (pass.casesWithoutWeight)
        line += "; " + std::to_string(pass.casesWithoutWeight) +
                " cases without a positive weight left out";
    return line + "\n";
}

std::string CountPair(const Amount& a, bool weighted) {
    std::string text = CountText(a.weight);
    if (weighted) text += " (" + std::to_string(a.cases) + " cases)";
    return text;
}

std::string LabelCell(const std::string& label, const std::string& encoding) {
    return Clip(ToUtf8(label, encoding), 40);
}

}  // namespace

size_t TerminalColumns(std::string_view text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        uint32_t c = b;
        size_t n = 1;
        if (b >= 0xF0 && i + 3 < text.size()) {
            c = (b & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 |
                (text[i + 3] & 0x3Fu);
            n = 4;
        } else if (b >= 0xE0 && i + 2 < text.size()) {
            c = (b & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu);
            n = 3;
        } else if (b >= 0xC0 && i + 1 < text.size()) {
            c = (b & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu);
            n = 2;
        }
        columns += static_cast<size_t>(CodePointColumns(c));
        i += n;
    }
    return columns;
}

namespace {

bool IsWhole(double count) {
    return !std::isfinite(count) || std::fabs(count - std::round(count)) < 1e-9;
}

}  // namespace

std::string CountText(double count) {
    return CountText(count, !IsWhole(count));
}

std::string CountText(double count, bool fractions) {
    if (!std::isfinite(count)) return "";
    return Printf(fractions ? "%.2f" : "%.0f", count);
}

bool CountsWithFractions(const FrequencyTable& table) {
    return !IsWhole(table.total.weight) ||
           std::any_of(table.rows.begin(), table.rows.end(),
                       [](const FrequencyRow& row) { return !IsWhole(row.amount.weight); });
}

DescribeCountFractions CountsWithFractions(const DescribeResult& result) {
    DescribeCountFractions f;
    for (const DescribeRow& row : result.rows) {
        f.valid = f.valid || !IsWhole(row.valid.weight);
        f.missing = f.missing || !IsWhole(row.userMissing.weight + row.systemMissing.weight);
    }
    return f;
}

std::string PercentText(double percent) {
    return std::isfinite(percent) ? Printf("%.1f", percent) : "";
}

std::string StatisticText(double value, int printDecimals) {
    if (!std::isfinite(value)) return "";
    const int decimals = std::clamp(printDecimals + 2, 2, 8);
    // Fixed digits would show a tiny figure as zero and a huge one with more
    // digits than it holds: those go to an exponent.
    const double magnitude = std::fabs(value);
    const bool exponent =
        magnitude >= 1e15 || (magnitude > 0 && magnitude < 0.5 * std::pow(10.0, -decimals));
    char pattern[16];
    std::snprintf(pattern, sizeof pattern, exponent ? "%%.%dE" : "%%.%df", decimals);
    return Printf(pattern, value);
}

namespace {

// Seconds as days and hh:mm:ss.ss ("1 02:03:04.50"; no days below one).
std::string DurationText(double seconds) {
    const double hundredths = std::round(std::fabs(seconds) * 100);
    if (!(hundredths < 1e17)) return StatisticText(seconds, 0);
    const auto all = static_cast<int64_t>(hundredths);
    const int64_t whole = all / 100, days = whole / 86400;
    char text[64];
    const char* sign = seconds < 0 && all > 0 ? "-" : "";
    if (days > 0)
        std::snprintf(text, sizeof text, "%s%lld %02d:%02d:%02d.%02d", sign,
                      static_cast<long long>(days), int(whole / 3600 % 24), int(whole / 60 % 60),
                      int(whole % 60), int(all % 100));
    else
        std::snprintf(text, sizeof text, "%s%02d:%02d:%02d.%02d", sign, int(whole / 3600 % 24),
                      int(whole / 60 % 60), int(whole % 60), int(all % 100));
    return text;
}

}  // namespace

bool StatisticsAsTimes(const DictVariable& variable) {
    return IsCalendarFormat(variable.print.type) || IsDurationFormat(variable.print.type);
}

std::string LocationText(double value, const DictVariable& variable) {
    if (!std::isfinite(value)) return "";
    if (!StatisticsAsTimes(variable) && variable.print.type != fmt::E)
        return StatisticText(value, variable.print.decimals);
    const auto fits = [](const std::string& text) {
        return text.find_first_not_of('*') != std::string::npos;
    };
    std::string text = StatsValueText(variable, value);
    if (fits(text)) return text;
    // Too wide for the variable's width: the same format at its widest.
    PrintFormat wide = variable.print;
    wide.width = TraitsOf(wide.type).maxWidth;
    text.clear();
    FormatRender(wide, 0).AppendNumber(text, value);
    text = std::string(Trim(text));
    if (fits(text)) return text;
    return IsDurationFormat(variable.print.type) ? DurationText(value)
                                                 : StatisticText(value, variable.print.decimals);
}

std::string SpreadText(double value, const DictVariable& variable) {
    if (!std::isfinite(value)) return "";
    if (StatisticsAsTimes(variable)) return DurationText(value);
    if (variable.print.type == fmt::E) return StatsValueText(variable, value);
    return StatisticText(value, variable.print.decimals);
}

std::vector<StatisticLine> StatisticLines(const Descriptives& s, const DictVariable& v) {
    std::vector<StatisticLine> lines = {{"mean", LocationText(s.mean, v)},
                                        {"sd", SpreadText(s.sd, v)},
                                        {"min", LocationText(s.minimum, v)},
                                        {"max", LocationText(s.maximum, v)}};
    if (s.percentilesExact) {
        lines.push_back({"q1", LocationText(s.quartile1, v)});
        lines.push_back({"median", LocationText(s.median, v)});
        lines.push_back({"q3", LocationText(s.quartile3, v)});
        if (!s.modes.empty()) lines.push_back({"mode", LocationText(s.modes.front(), v)});
    }
    // Skewness and kurtosis are plain numbers, three decimals as usual.
    lines.push_back({"se_mean", SpreadText(s.seMean, v)});
    lines.push_back({"variance", FigureText(s.variance, v)});
    lines.push_back({"skewness", StatisticText(s.skewness, 1)});
    lines.push_back({"se_skewness", StatisticText(s.seSkewness, 1)});
    lines.push_back({"kurtosis", StatisticText(s.kurtosis, 1)});
    lines.push_back({"se_kurtosis", StatisticText(s.seKurtosis, 1)});
    lines.push_back({"range", SpreadText(s.range, v)});
    lines.push_back({"sum", FigureText(s.sum, v)});
    if (s.percentilesExact)
        for (const AskedPercentile& p : s.percentiles)
            lines.push_back({"p" + p.text, LocationText(p.value, v)});
    return lines;
}

std::string FigureText(double value, const DictVariable& variable) {
    if (std::isfinite(value) && variable.print.type == fmt::E)
        return StatsValueText(variable, value);
    return StatisticText(value, variable.print.decimals);
}

std::string DistinctText(size_t distinct, bool exact, size_t cap) {
    return exact ? std::to_string(distinct) : "> " + std::to_string(cap);
}

std::string FrequencyText(const FrequencyTable& t, const PassResult& pass,
                          const std::string& encoding) {
    std::string out = VariableTitle(t.variable, encoding) + "\n" + WeightLine(pass);
    Table table;
    table.rightAligned = {true, false, true, true, true, true, false};
    table.rows.push_back({"Value", "Label", "Count", "Percent", "Valid %", "Cum. %", ""});
    const bool fractions = CountsWithFractions(t);
    for (const FrequencyRow& row : t.rows) {
        std::string value, note;
        if (row.kind == FrequencyRow::Kind::More) {
            value = (row.moreExact ? "" : ">= ") + std::to_string(row.moreValues) + " more";
        } else {
            value = ToUtf8(row.valueText, encoding);
        }
        if (row.missing == MissingKind::User) note = "missing";
        if (row.missing == MissingKind::System) note = "system-missing";
        table.rows.push_back({Clip(value, 30), LabelCell(row.label, encoding),
                              CountText(row.amount.weight, fractions), PercentText(row.percent),
                              PercentText(row.validPercent), PercentText(row.cumulativePercent),
                              note});
    }
    // No percent of nothing.
    table.rows.push_back({"Total", "", CountText(t.total.weight, fractions),
                          t.total.weight > 0 ? PercentText(100.0) : "", "", "", ""});
    out += table.Render();
    const Amount missing{t.userMissing.weight + t.systemMissing.weight,
                         t.userMissing.cases + t.systemMissing.cases};
    out += "Valid N " + CountPair(t.valid, pass.weighted) + ", missing N " +
           CountPair(missing, pass.weighted) + " (user " + CountText(t.userMissing.weight) +
           ", system " + CountText(t.systemMissing.weight) + ")\n";
    if (!t.variable.isString() && t.valid.cases > 0) {
        const Descriptives& s = t.stats;
        Table stats;
        stats.rightAligned = {false, true};
        const DictVariable& v = *t.variable.dict;
        static const std::pair<const char*, const char*> names[] = {
            {"mean", "Mean"},          {"sd", "Std. deviation"},
            {"min", "Minimum"},        {"max", "Maximum"},
            {"q1", "25th percentile"}, {"median", "Median"},
            {"q3", "75th percentile"}, {"mode", "Mode"},
            {"se_mean", "S.E. mean"},  {"variance", "Variance"},
            {"skewness", "Skewness"},  {"se_skewness", "S.E. skewness"},
            {"kurtosis", "Kurtosis"},  {"se_kurtosis", "S.E. kurtosis"},
            {"range", "Range"},        {"sum", "Sum"}};
        for (const StatisticLine& line : StatisticLines(s, v)) {
            std::string name = "Percentile " + line.key.substr(1);
            for (const auto& [key, english] : names)
                if (line.key == key) name = english;
            stats.rows.push_back({name, ToUtf8(line.text, encoding)});
        }
        out += stats.Render();
        if (s.modeCount > 1 && s.percentilesExact)
            out += "(mode: the smallest of " + std::to_string(s.modeCount) +
                   " values sharing the largest count)\n";
        out += s.percentilesExact ? "(percentiles: weighted average at (W+1)p)\n"
                                  : "(percentiles left out: too many distinct values to hold)\n";
    }
    return out;
}

namespace {

// The percentiles asked of a describe (every row holds the same list).
std::vector<AskedPercentile> AskedOf(const DescribeResult& result) {
    return result.rows.empty() ? std::vector<AskedPercentile>{} : result.rows[0].stats.percentiles;
}

std::string ModeCountText(const DescribeRow& row) {
    return row.hasMode ? std::to_string(row.modeCount) : "";
}

}  // namespace

std::string DescribeText(const DescribeResult& result, const std::string& encoding) {
    std::string out = WeightLine(result.pass);
    Table table;
    table.rightAligned = {false, false, false, false, true, true,
                          true,  true,  true,  true,  true, false};
    table.rows.push_back({"Name",     "Label",   "Type",    "Measure",  "Valid",    "Missing",
                          "Distinct", "Min",     "Max",     "Mean",     "SD",       "Mode",
                          "Modes",    "Median",  "SE mean", "Variance", "Skewness", "SE skew",
                          "Kurtosis", "SE kurt", "Range",   "Sum"});
    const std::vector<AskedPercentile> asked = AskedOf(result);
    for (const AskedPercentile& p : asked) table.rows[0].push_back("P" + p.text);
    table.rightAligned.resize(table.rows[0].size(), true);
    const DescribeCountFractions fractions = CountsWithFractions(result);
    for (const DescribeRow& row : result.rows) {
        const StatsVariable& v = row.variable;
        const DictVariable& d = *v.dict;
        std::string mode = ToUtf8(row.modeText, encoding);
        if (!row.modeLabel.empty()) {
            mode += ' ';
            mode += ToUtf8(row.modeLabel, encoding);
        }
        const Descriptives& s = row.stats;
        std::vector<std::string> line = {
            ToUtf8(v.longName().empty() ? v.name() : v.longName(), encoding),
            Clip(ToUtf8(d.label, encoding), 30),
            row.type,
            std::string(MeasureWord(d.measure)),
            CountText(row.valid.weight, fractions.valid),
            CountText(row.userMissing.weight + row.systemMissing.weight, fractions.missing),
            DistinctText(row.distinct, row.distinctExact, kDescribeDistinctCap),
            ToUtf8(LocationText(s.minimum, d), encoding),
            ToUtf8(LocationText(s.maximum, d), encoding),
            ToUtf8(LocationText(s.mean, d), encoding),
            SpreadText(s.sd, d),
            Clip(mode, 30),
            ModeCountText(row),
            ToUtf8(LocationText(s.median, d), encoding),
            SpreadText(s.seMean, d),
            FigureText(s.variance, d),
            StatisticText(s.skewness, 1),
            StatisticText(s.seSkewness, 1),
            StatisticText(s.kurtosis, 1),
            StatisticText(s.seKurtosis, 1),
            SpreadText(s.range, d),
            FigureText(s.sum, d)};
        for (size_t i = 0; i < asked.size(); ++i)
            line.push_back(i < s.percentiles.size()
                               ? ToUtf8(LocationText(s.percentiles[i].value, d), encoding)
                               : "");
        table.rows.push_back(std::move(line));
    }
    return out + table.Render();
}

std::string DescribeCsv(const DescribeResult& result, const std::string& encoding) {
    std::string out =
        "name,long_name,label,type,measure,valid,missing_user,missing_system,distinct,min,max,"
        "mean,sd,median,mode,mode_label,mode_count,se_mean,variance,skewness,se_skewness,"
        "kurtosis,se_kurtosis,range,sum,q1,q3";
    const std::vector<AskedPercentile> asked = AskedOf(result);
    for (const AskedPercentile& p : asked) {
        out += ',';
        AppendCsvText(out, "p" + p.text);
    }
    out += "\r\n";
    // A figure there is none of (no valid value) is an empty field.
    const auto number = [&](double v) {
        out += ',';
        if (std::isfinite(v)) AppendDelimitedNumber(out, v);
    };
    const auto text = [&](const std::string& t) {
        out += ',';
        AppendCsvText(out, t);
    };
    for (const DescribeRow& row : result.rows) {
        const StatsVariable& v = row.variable;
        const Descriptives& s = row.stats;
        AppendCsvText(out, ToUtf8(v.name(), encoding));
        text(ToUtf8(v.longName().empty() ? v.name() : v.longName(), encoding));
        text(ToUtf8(v.dict->label, encoding));
        text(row.type);
        text(std::string(MeasureWord(v.dict->measure)));
        number(row.valid.weight);
        number(row.userMissing.weight);
        number(row.systemMissing.weight);
        text(DistinctText(row.distinct, row.distinctExact, kDescribeDistinctCap));
        number(s.minimum);
        number(s.maximum);
        number(s.mean);
        number(s.sd);
        number(s.median);
        text(row.hasMode ? ToUtf8(row.modeText, encoding) : "");
        text(ToUtf8(row.modeLabel, encoding));
        text(ModeCountText(row));
        for (double f : {s.seMean, s.variance, s.skewness, s.seSkewness, s.kurtosis, s.seKurtosis,
                         s.range, s.sum, s.quartile1, s.quartile3})
            number(f);
        for (size_t i = 0; i < asked.size(); ++i)
            number(i < s.percentiles.size() ? s.percentiles[i].value : NAN);
        out += "\r\n";
    }
    return out;
}

namespace {

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string OneTable(const Crosstab& t, const PassResult& pass, CrosstabPercents percents,
                     const std::string& encoding) {
    const auto head = [&](const CrossCategory& c) {
        std::string text = ToUtf8(c.valueText, encoding);
        if (!c.label.empty()) text += " " + Clip(ToUtf8(c.label, encoding), 16);
        if (c.missing != MissingKind::None) text += " (missing)";
        return text;
    };
    Table table;
    table.rightAligned.assign(t.columns.size() + 3, true);
    table.rightAligned[0] = table.rightAligned[1] = false;
    std::vector<std::string> header = {"", ""};
    for (const CrossCategory& c : t.columns) header.push_back(head(c));
    header.push_back("Total");
    table.rows.push_back(header);
    const auto percentOf = [](double part, double whole) {
        return whole > 0 ? PercentText(100.0 * part / whole) + "%" : "";
    };
    // The rows of the categories, then the total row (r == rows).
    for (size_t r = 0; r <= t.rows.size(); ++r) {
        const bool totalRow = r == t.rows.size();
        const auto part = [&](size_t c) {
            const bool totalColumn = c == t.columns.size();
            return totalRow      ? (totalColumn ? t.total.weight : t.columnTotals[c].weight)
                   : totalColumn ? t.rowTotals[r].weight
                                 : t.Cell(r, c).weight;
        };
        std::vector<std::string> line = {totalRow ? "Total" : head(t.rows[r]), "Count"};
        for (size_t c = 0; c <= t.columns.size(); ++c) line.push_back(CountText(part(c)));
        table.rows.push_back(line);
        const auto figureLine = [&](const char* name, auto figure) {
            std::vector<std::string> p = {"", name};
            for (size_t c = 0; c <= t.columns.size(); ++c) p.push_back(figure(c));
            table.rows.push_back(p);
        };
        const double rowWhole = totalRow ? t.total.weight : t.rowTotals[r].weight;
        if (percents.row)
            figureLine("Row %", [&](size_t c) { return percentOf(part(c), rowWhole); });
        if (percents.column)
            figureLine("Column %", [&](size_t c) {
                return percentOf(part(c),
                                 c < t.columns.size() ? t.columnTotals[c].weight : t.total.weight);
            });
        if (percents.total)
            figureLine("Total %", [&](size_t c) { return percentOf(part(c), t.total.weight); });
        const bool inner = !totalRow;
        if (percents.expected && inner)
            figureLine("Expected", [&](size_t c) {
                return c < t.columns.size() ? Fixed(ExpectedCount(t, r, c), 2) : "";
            });
        if (percents.residuals && inner)
            figureLine("Adj. residual", [&](size_t c) {
                return c < t.columns.size() ? Fixed(AdjustedResidual(t, r, c), 2) : "";
            });
    }
    std::string out = table.Render();
    out += "Cases in the table " + CountPair(t.total, pass.weighted) + ", left out as missing " +
           CountPair(t.missing, pass.weighted) + "\n";
    return out + CrosstabTestsText(TestCrosstab(t));
}

}  // namespace

std::string CrosstabTestsText(const CrosstabTests& tests) {
    if (!std::isfinite(tests.pearson.value))
        return "No tests: the table needs two rows and two columns that hold cases.\n";
    Table table;
    table.rightAligned = {false, true, true, true};
    table.rows.push_back({"Test", "Value", "df", "p"});
    for (const auto& [name, test] : {std::pair{"Pearson chi-square", tests.pearson},
                                     {"Likelihood ratio", tests.likelihoodRatio},
                                     {"Linear-by-linear association", tests.linearByLinear}})
        table.rows.push_back({name, Fixed(test.value, 3), Fixed(test.df, 0), Fixed(test.p, 3)});
    if (tests.fisher) {
        table.rows.push_back(
            {"Fisher's exact test, two-sided", "", "", Fixed(tests.fisherTwoSided, 3)});
        table.rows.push_back(
            {"Fisher's exact test, one-sided", "", "", Fixed(tests.fisherOneSided, 3)});
    }
    table.rows.push_back({"Phi", Fixed(tests.phi, 3), "", ""});
    table.rows.push_back({"Cramér's V", Fixed(tests.cramersV, 3), "", ""});
    return "\n" + table.Render() + LowExpectedText(tests) + "\n";
}

std::string LowExpectedText(const CrosstabTests& tests) {
    const double percent =
        tests.cells ? 100.0 * static_cast<double>(tests.lowExpectedCells) / double(tests.cells) : 0;
    return std::to_string(tests.lowExpectedCells) + " cells (" + PercentText(percent) +
           "%) have an expected count less than 5. The minimum expected count is " +
           Fixed(tests.minimumExpected, 2) + ".";
}

std::string CrosstabText(const CrosstabResult& result, CrosstabPercents percents,
                         const std::string& encoding) {
    const Crosstab& t = result.table;
    std::string out = VariableTitle(t.rowVariable, encoding) + "  ×  " +
                      VariableTitle(t.columnVariable, encoding) + "\n" + WeightLine(result.pass);
    if (t.error) return out + "no table: " + EnglishText(t.error) + "\n";
    if (!result.layerVariable) return out + OneTable(t, result.pass, percents, encoding);
    const std::string layerName = VariableTitle(*result.layerVariable, encoding);
    for (const CrossLayer& layer : result.layers) {
        out += "\n" + layerName + " = " + ToUtf8(layer.value.valueText, encoding);
        if (!layer.value.label.empty()) out += " " + ToUtf8(layer.value.label, encoding);
        if (layer.value.missing != MissingKind::None) out += " (missing)";
        out += "\n" + OneTable(layer.table, result.pass, percents, encoding);
    }
    return out;
}

std::string MeansText(const Means& m, const PassResult& pass, const std::string& encoding) {
    std::string out = VariableTitle(m.variable, encoding) + "  by ";
    for (size_t g = 0; g < m.groupVariables.size(); ++g)
        out += (g ? "  ×  " : "") + VariableTitle(m.groupVariables[g], encoding);
    out += "\n" + WeightLine(pass);
    if (m.error) return out + "no table: " + EnglishText(m.error) + "\n";
    Table table;
    std::vector<std::string> header;
    for (const StatsVariable& g : m.groupVariables)
        header.push_back(ToUtf8(g.longName().empty() ? g.name() : g.longName(), encoding));
    const size_t lead = header.size();
    for (const char* name : {"Mean", "N", "SD", "SE mean", "Min", "Max", "Variance", "Sum",
                             "Median", "Range", "Skewness", "SE skew", "Kurtosis", "SE kurt"})
        header.push_back(name);
    table.rows.push_back(header);
    table.rightAligned.assign(header.size(), true);
    for (size_t g = 0; g < lead; ++g) table.rightAligned[g] = false;
    const DictVariable& v = *m.variable.dict;
    const int decimals = v.print.decimals;
    const auto add = [&](const MeansGroup& group) {
        std::vector<std::string> line;
        for (const CrossCategory* c : group.values) {
            std::string text = "Total";
            if (c) {
                text = ToUtf8(c->valueText, encoding);
                if (!c->label.empty()) text += " " + Clip(ToUtf8(c->label, encoding), 24);
            }
            line.push_back(text);
        }
        const MeansFigures& f = group.figures;
        line.push_back(ToUtf8(LocationText(f.mean, v), encoding));
        line.push_back(CountText(f.n.weight));
        line.push_back(SpreadText(f.sd, v));
        line.push_back(StatisticText(f.seMean, decimals));
        line.push_back(ToUtf8(LocationText(f.minimum, v), encoding));
        line.push_back(ToUtf8(LocationText(f.maximum, v), encoding));
        line.push_back(StatisticText(f.variance, decimals));
        line.push_back(StatisticText(f.sum, decimals));
        line.push_back(ToUtf8(LocationText(f.median, v), encoding));
        line.push_back(SpreadText(f.range, v));
        for (double plain : {f.skewness, f.seSkewness, f.kurtosis, f.seKurtosis})
            line.push_back(StatisticText(plain, 1));
        table.rows.push_back(line);
    };
    // As the packages lay it out: under each value of the first grouping
    // variable its groups and their subtotal; then the second's subtotals
    // and the total.
    size_t next = 0;
    for (const MeansGroup& group : m.groups) {
        add(group);
        const bool lastOfFirst =
            lead == 2 && (&group == &m.groups.back() || (&group + 1)->values[0] != group.values[0]);
        if (lastOfFirst) {
            while (next < m.subtotals.size() && m.subtotals[next].values[0] != group.values[0])
                ++next;
            if (next < m.subtotals.size()) add(m.subtotals[next]);
        }
    }
    if (lead == 2)
        for (const MeansGroup& group : m.subtotals)
            if (!group.values[0]) add(group);
    add(m.total);
    out += table.Render();
    out += "Cases " + CountPair(m.total.figures.n, pass.weighted) + ", left out as missing " +
           CountPair(m.missing, pass.weighted) + "\n";
    if (m.mediansLost)
        out += "No median for " + std::to_string(m.mediansLost) +
               " group(s): more distinct values than are held\n";
    return out;
}

}  // namespace lv
