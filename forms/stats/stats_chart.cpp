#include "forms/stats/stats_chart.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <cmath>

#include "core/stats/stats_text.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

QString Decoded(const std::string& bytes) {
    return QString::fromStdString(ToUtf8(bytes, DisplayEncoding()));
}

struct Bar {
    QString category;
    double count;
};

std::vector<Bar> Bars(const FrequencyTable& t) {
    std::vector<Bar> bars;
    for (const FrequencyRow& row : t.rows) {
        if (row.kind != FrequencyRow::Kind::Value || row.missing != MissingKind::None) continue;
        bars.push_back({Decoded(row.label.empty() ? row.valueText : row.label), row.amount.weight});
    }
    return bars;
}

std::vector<Bar> HistogramBars(const FrequencyTable& t) {
    std::vector<Bar> bars;
    for (const HistogramBin& bin : t.histogram.bins)
        bars.push_back({QString::fromStdString(StatisticText(bin.low, 0)), bin.weight});
    return bars;
}

}  // namespace

QChartView* MakeFrequencyChart(const FrequencyTable& t, QWidget* parent) {
    const bool labelled = !t.variable.dict->numericLabels.empty();
    const bool bars = t.variable.isString() || labelled ||
                      (t.distinctExact && t.distinct <= kMostBars) ||
                      !std::isfinite(t.stats.minimum);
    const std::vector<Bar> data = bars ? Bars(t) : HistogramBars(t);
    auto* set = new QBarSet(bars ? QStringLiteral("度数") : QStringLiteral("度数（ヒストグラム）"));
    QStringList categories;
    double most = 0;
    for (const Bar& b : data) {
        *set << b.count;
        categories << b.category;
        most = std::max(most, b.count);
    }
    auto* series = new QBarSeries;
    series->append(set);
    if (!bars) series->setBarWidth(1.0);
    auto* chart = new QChart;
    chart->addSeries(series);
    // Titled with the name and the label, so that a saved chart says what
    // it counts; the axes say what they hold.
    const QString name =
        Decoded(t.variable.longName().empty() ? t.variable.name() : t.variable.longName());
    const QString label = Decoded(t.variable.dict->label);
    chart->setTitle(label.isEmpty() ? name : name + QStringLiteral("  ") + label);
    chart->legend()->hide();
    auto* x = new QBarCategoryAxis;
    x->setTitleText(name);
    x->append(categories);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("度数"));
    // Ticks at round steps, labelled with the decimals the step needs
    // (weighted counts may be fractions: 0.5 must not read as 1).
    y->setRange(0, most > 0 ? most * 1.05 : 1);
    y->applyNiceNumbers();
    const double step = (y->max() - y->min()) / std::max(1, y->tickCount() - 1);
    int decimals = 0;
    for (double scaled = step; decimals < 3 && std::abs(scaled - std::round(scaled)) > 1e-9;
         scaled *= 10)
        ++decimals;
    y->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

bool SaveChart(QChartView* view, const QString& path) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(view->size());
        svg.setViewBox(view->rect());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        view->render(&painter);
        return painter.end();
    }
    return view->grab().save(path, "PNG");
}

void CopyChart(QChartView* view) {
    QApplication::clipboard()->setPixmap(view->grab());
}

}  // namespace lv
