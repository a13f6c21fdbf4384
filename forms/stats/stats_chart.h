// The chart of a frequency table: a bar chart of the counts for a variable
// with value labels or few distinct values (strings always), a histogram
// otherwise, of the table's bins (core/stats/histogram.h). Texts
// are decoded with the display encoding. Saved as PNG or SVG, copied as an
// image.
#pragma once

#include <QString>

#include "core/stats/frequencies.h"

class QChartView;
class QWidget;

namespace lv {

// Distinct valid values up to which a numeric variable without labels
// still gets bars.
inline constexpr size_t kMostBars = 20;

QChartView* MakeFrequencyChart(const FrequencyTable& table, QWidget* parent);
// Writes the chart to path: SVG when it ends in .svg, else PNG.
bool SaveChart(QChartView* view, const QString& path);
void CopyChart(QChartView* view);

}  // namespace lv
