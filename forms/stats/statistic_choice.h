// Which statistics the statistics windows show, remembered between runs
// (QSettings): the lines of the frequency window's statistics table, and
// the columns of 変数の概要 (chosen from its header's context menu).
#pragma once

#include <QString>
#include <functional>
#include <span>
#include <string_view>

class QMenu;
class QTableWidget;
class QWidget;

namespace lv {

struct StatisticChoice {
    const char* key;  // as stats_text's StatisticLine keys; "percentiles" for all of them
    const char* name;
    bool shownFirst;  // shown until the user chooses
};

// The frequency window's statistics in the order they are listed.
std::span<const StatisticChoice> FrequencyStatistics();
// The name of a statistic line's key ("p5": パーセンタイル 5).
QString StatisticName(std::string_view key);
// Whether the frequency window lists a line of that key (an asked
// percentile's follows "percentiles").
bool FrequencyStatisticShown(std::string_view key);
// A menu of checkable choices, one per statistic; changed() runs after
// each change (the choice is already remembered).
QMenu* FrequencyStatisticsMenu(QWidget* parent, std::function<void()> changed);

// The percents the frequency window last asked for ("5,95"), remembered.
QString RememberedPercentiles();
void RememberPercentiles(const QString& text);

// Columns of a table that can be hidden from its header's context menu,
// each remembered under group/key; keys[i] names column i ("" for one
// always shown), shownFirst[i] whether it shows until chosen.
struct ColumnChoice {
    const char* key;
    bool shownFirst;
};
void AddColumnChoice(QTableWidget* table, const QString& group,
                     std::span<const ColumnChoice> columns);

}  // namespace lv
