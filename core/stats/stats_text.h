// The statistics as text: tables laid out for a terminal (UTF-8, columns
// aligned by their width on screen, wide characters counting two), and the
// describe table as CSV. The tables print figures as the common statistics
// packages print them: counts as whole numbers (two decimals when
// weights make them fractional), percentages to one decimal, statistics to
// the variable's print decimals plus two. The CSV writes each field as
// core/text/delimited_field.h says: figures as the shortest text that
// reads back, texts quoted where needed and kept from looking like
// formulas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/stats/crosstab.h"
#include "core/stats/crosstab_tests.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/means.h"
#include "core/stats/stats_json.h"

namespace lv {

std::string FrequencyText(const FrequencyTable& table, const PassResult& pass,
                          const std::string& encoding);
std::string DescribeText(const DescribeResult& result, const std::string& encoding);
std::string DescribeCsv(const DescribeResult& result, const std::string& encoding);
// The table (with a layer variable, one per layer value), each followed by
// its tests.
std::string CrosstabText(const CrosstabResult& result, CrosstabPercents percents,
                         const std::string& encoding);
std::string CrosstabTestsText(const CrosstabTests& tests);
// The note on cells whose expected count is below 5, as the packages word it.
std::string LowExpectedText(const CrosstabTests& tests);
std::string MeansText(const Means& means, const PassResult& pass, const std::string& encoding);

// The figures as shown (shared with the windows).
std::string CountText(double count);
// A count of a column that shows two decimals when fractions (so that a
// column never mixes "1" and "0.80").
std::string CountText(double count, bool fractions);
// Whether a column's counts need decimals: the frequency table's counts
// (with its total), describe's valid and missing counts.
bool CountsWithFractions(const FrequencyTable& table);
struct DescribeCountFractions {
    bool valid = false, missing = false;
};
DescribeCountFractions CountsWithFractions(const DescribeResult& result);
std::string PercentText(double percent);
// A statistic of a variable with that many print decimals (NaN: empty):
// fixed digits, or an exponent ("1.00E-12") where fixed digits would read
// back as zero or where the magnitude reaches 1e15.
std::string StatisticText(double value, int printDecimals);
// A statistic that is a value of the variable (mean, minimum, maximum, a
// percentile): in the variable's own format for dates, date-times, periods,
// times and E formats (at the type's widest where the variable's width is
// too narrow for it), else StatisticText. The text is in the file's bytes.
std::string LocationText(double value, const DictVariable& variable);
// A spread of the variable's values (standard deviation, range): for a
// variable of dates or times a duration in days and hh:mm:ss.ss ("3
// 04:05:06.00", no days below one day); in an E format as a value; else
// StatisticText.
std::string SpreadText(double value, const DictVariable& variable);
// A figure in the variable's units that is not a value of it (sum,
// variance): in an E format as a value, else StatisticText.
std::string FigureText(double value, const DictVariable& variable);
// Whether a variable's statistics are dates or times (LocationText and
// SpreadText then differ from the figures in more than digits).
bool StatisticsAsTimes(const DictVariable& variable);
// The distinct count: "12", or "> 10000" when not exact.
std::string DistinctText(size_t distinct, bool exact, size_t cap);

// The statistics of a numeric variable as the tables list them, in order:
// the key of each (as in the JSON; an asked percentile's is "p" and its
// percent as written, "p5"), and its text (the file's bytes). The
// quartiles, modes and percentiles only when exact.
struct StatisticLine {
    std::string key;
    std::string text;
};
std::vector<StatisticLine> StatisticLines(const Descriptives& stats, const DictVariable& variable);

// Columns a UTF-8 text takes on a terminal.
size_t TerminalColumns(std::string_view utf8);

}  // namespace lv
