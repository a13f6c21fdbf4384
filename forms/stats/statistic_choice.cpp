#include "forms/stats/statistic_choice.h"

#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTableWidget>

namespace lv {
namespace {

constexpr StatisticChoice kFrequency[] = {
    {"mean", "平均値", true},
    {"sd", "標準偏差", true},
    {"min", "最小値", true},
    {"max", "最大値", true},
    {"q1", "第1四分位", true},
    {"median", "中央値", true},
    {"q3", "第3四分位", true},
    {"mode", "最頻値", false},
    {"se_mean", "平均値の標準誤差", false},
    {"variance", "分散", false},
    {"skewness", "歪度", false},
    {"se_skewness", "歪度の標準誤差", false},
    {"kurtosis", "尖度", false},
    {"se_kurtosis", "尖度の標準誤差", false},
    {"range", "範囲", false},
    {"sum", "合計", false},
    {"percentiles", "パーセンタイル", true},
};

const StatisticChoice* ChoiceOf(std::string_view key) {
    if (key.size() > 1 && key[0] == 'p' && key != "percentiles") key = "percentiles";
    for (const StatisticChoice& c : kFrequency)
        if (key == c.key) return &c;
    return nullptr;
}

QString SettingOf(const StatisticChoice& c) {
    return QStringLiteral("frequency/statistics/") + QLatin1String(c.key);
}

}  // namespace

std::span<const StatisticChoice> FrequencyStatistics() {
    return kFrequency;
}

QString StatisticName(std::string_view key) {
    if (key.size() > 1 && key[0] == 'p' && key != "percentiles")
        return QStringLiteral("パーセンタイル ") +
               QString::fromUtf8(key.data() + 1, static_cast<qsizetype>(key.size() - 1));
    const StatisticChoice* c = ChoiceOf(key);
    return c ? QString::fromUtf8(c->name) : QString::fromUtf8(key.data(), qsizetype(key.size()));
}

bool FrequencyStatisticShown(std::string_view key) {
    const StatisticChoice* c = ChoiceOf(key);
    return !c || QSettings().value(SettingOf(*c), c->shownFirst).toBool();
}

QMenu* FrequencyStatisticsMenu(QWidget* parent, std::function<void()> changed) {
    auto* menu = new QMenu(parent);
    for (const StatisticChoice& c : kFrequency) {
        QAction* action = menu->addAction(QString::fromUtf8(c.name));
        action->setCheckable(true);
        action->setChecked(FrequencyStatisticShown(c.key));
        QObject::connect(action, &QAction::toggled, menu, [&c, changed](bool on) {
            QSettings().setValue(SettingOf(c), on);
            changed();
        });
    }
    return menu;
}

QString RememberedPercentiles() {
    return QSettings().value(QStringLiteral("frequency/percentiles")).toString();
}

void RememberPercentiles(const QString& text) {
    QSettings().setValue(QStringLiteral("frequency/percentiles"), text);
}

void AddColumnChoice(QTableWidget* table, const QString& group,
                     std::span<const ColumnChoice> columns) {
    const auto setting = [group](const ColumnChoice& c) {
        return group + QLatin1Char('/') + QLatin1String(c.key);
    };
    for (size_t i = 0; i < columns.size(); ++i)
        if (*columns[i].key)
            table->setColumnHidden(
                int(i), !QSettings().value(setting(columns[i]), columns[i].shownFirst).toBool());
    QHeaderView* header = table->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QWidget::customContextMenuRequested, table,
                     [table, header, columns, setting](const QPoint& at) {
                         QMenu menu(table);
                         for (size_t i = 0; i < columns.size(); ++i) {
                             if (!*columns[i].key) continue;
                             const int column = int(i);
                             const QTableWidgetItem* heading = table->horizontalHeaderItem(column);
                             QAction* action =
                                 menu.addAction(heading ? heading->text() : QString());
                             action->setCheckable(true);
                             action->setChecked(!table->isColumnHidden(column));
                             QObject::connect(action, &QAction::toggled, table,
                                              [table, column, c = columns[i], setting](bool on) {
                                                  table->setColumnHidden(column, !on);
                                                  QSettings().setValue(setting(c), on);
                                                  if (on) table->resizeColumnToContents(column);
                                              });
                         }
                         menu.exec(header->mapToGlobal(at));
                     });
}

}  // namespace lv
