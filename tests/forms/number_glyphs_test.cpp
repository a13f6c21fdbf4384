// '.' and ',' are drawn as different shapes in the fonts where numbers are
// read: the grid's cells at their size and the statistics tables.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <algorithm>

#include "forms/grid/grid_view.h"
#include "forms/seam/fonts.h"
#include "tests/forms/support_windows.h"

namespace {

// The cell of the character at index in text drawn in font (black on
// white), width wide.
QImage CharacterCell(const QFont& font, const QString& text, int index, int width) {
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 2 * width, metrics.height(),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(0, metrics.ascent(), text);
    painter.end();
    return image.copy(metrics.horizontalAdvance(text.left(index)), 0, width, image.height());
}

bool Inked(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
}

void ExpectPointAndCommaDiffer(const QFont& font) {
    const QString text = QStringLiteral("1,234.50");
    const QFontMetrics metrics(font);
    const int width = std::max(metrics.horizontalAdvance(QLatin1Char(',')),
                               metrics.horizontalAdvance(QLatin1Char('.')));
    const QImage comma = CharacterCell(font, text, 1, width);
    const QImage point = CharacterCell(font, text, 5, width);
    EXPECT_TRUE(Inked(comma) && Inked(point));
    EXPECT_NE(comma, point);
}

class NumberGlyphsTest : public testsupport::WindowTest {};

}  // namespace

TEST_F(NumberGlyphsTest, PointAndCommaDifferInTheGridAndTheTables) {
    lv::TfrmDPGrid& grid = OpenGrid(testsupport::SmallFile("N"));
    const QFont cells = grid.StringGrid1->font();
    EXPECT_EQ(cells.pixelSize(), 12);
    ExpectPointAndCommaDiffer(cells);
    QTableWidget table;
    ExpectPointAndCommaDiffer(lv::WithLatinDigits(table.font()));
}
