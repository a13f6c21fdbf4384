#include "forms/seam/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lv {
namespace {

QPainterPath FolderBack() {
    QPainterPath path;
    path.moveTo(1, 3);
    path.lineTo(6, 3);
    path.lineTo(7, 5);
    path.lineTo(13, 5);
    path.lineTo(13, 14);
    path.lineTo(1, 14);
    path.closeSubpath();
    return path;
}

QPainterPath FolderFront() {
    QPainterPath path;
    path.moveTo(3, 8);
    path.lineTo(15, 8);
    path.lineTo(13, 14);
    path.lineTo(1, 14);
    path.closeSubpath();
    return path;
}

// The pictures in their design units (16 x 16 and 18 x 18).
void DrawFolder(QPainter& p, bool enabled) {
    const QColor outline = enabled ? QColor(128, 96, 0) : QColor(128, 128, 128);
    p.setPen(QPen(outline, 1));
    p.setBrush(enabled ? QColor(230, 190, 40) : Qt::transparent);
    p.drawPath(FolderBack());
    p.setBrush(enabled ? QColor(255, 225, 90) : Qt::transparent);
    p.drawPath(FolderFront());
}

void DrawCheck(QPainter& p, bool enabled) {
    QPainterPath path;
    path.moveTo(2, 10);
    path.lineTo(7, 15);
    path.lineTo(16, 4);
    const QColor color = enabled ? QColor(0, 150, 0) : QColor(128, 128, 128);
    p.setPen(QPen(color, enabled ? 3 : 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// Draws its picture at the size asked for, in device pixels, so that a
// scaled screen gets a sharp picture rather than an enlarged small one; at
// the design size it is the design's pixels.
class DrawnIcon final : public QIconEngine {
  public:
    using Draw = void (*)(QPainter&, bool enabled);
    DrawnIcon(int designSize, Draw draw) : designSize_(designSize), draw_(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / double(designSize_), rect.height() / double(designSize_));
        draw_(*painter, mode != QIcon::Disabled);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIcon(designSize_, draw_); }

  private:
    int designSize_;
    Draw draw_;
};

}  // namespace

QIcon OpenFolderIcon() {
    return QIcon(new DrawnIcon(16, DrawFolder));
}

QIcon CheckMarkIcon() {
    return QIcon(new DrawnIcon(18, DrawCheck));
}

}  // namespace lv
