#include "forms/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lv {
namespace {

QPixmap Blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

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

QPixmap Folder(bool enabled) {
    QPixmap pixmap = Blank(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline = enabled ? QColor(128, 96, 0) : QColor(128, 128, 128);
    p.setPen(QPen(outline, 1));
    p.setBrush(enabled ? QColor(230, 190, 40) : Qt::transparent);
    p.drawPath(FolderBack());
    p.setBrush(enabled ? QColor(255, 225, 90) : Qt::transparent);
    p.drawPath(FolderFront());
    return pixmap;
}

QPixmap Check(bool enabled) {
    QPixmap pixmap = Blank(18);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(2, 10);
    path.lineTo(7, 15);
    path.lineTo(16, 4);
    const QColor color = enabled ? QColor(0, 150, 0) : QColor(128, 128, 128);
    p.setPen(QPen(color, enabled ? 3 : 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return pixmap;
}

QIcon TwoStateIcon(const QPixmap& normal, const QPixmap& disabled) {
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

}  // namespace

QIcon OpenFolderIcon() {
    return TwoStateIcon(Folder(true), Folder(false));
}

QIcon CheckMarkIcon() {
    return TwoStateIcon(Check(true), Check(false));
}

}  // namespace lv
