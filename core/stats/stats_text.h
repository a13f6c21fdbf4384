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

#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/stats_json.h"

namespace lv {

std::string FrequencyText(const FrequencyTable& table, const PassResult& pass,
                          const std::string& encoding);
std::string DescribeText(const DescribeResult& result, const std::string& encoding);
std::string DescribeCsv(const DescribeResult& result, const std::string& encoding);
std::string CrosstabText(const Crosstab& table, const PassResult& pass, CrosstabPercents percents,
                         const std::string& encoding);

// The figures as shown (shared with the windows).
std::string CountText(double count);
std::string PercentText(double percent);
// A statistic of a variable with that many print decimals (NaN: empty).
std::string StatisticText(double value, int printDecimals);
// A statistic that is a value of the variable (mean, minimum, maximum, a
// percentile): a date for a variable shown as dates, else StatisticText.
// The text is in the file's bytes.
std::string LocationText(double value, const DictVariable& variable);
// The distinct count: "12", or "> 10000" when not exact.
std::string DistinctText(size_t distinct, bool exact, size_t cap);

// Columns a UTF-8 text takes on a terminal.
size_t TerminalColumns(std::string_view utf8);

}  // namespace lv
