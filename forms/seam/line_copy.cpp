#include "forms/seam/line_copy.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>

namespace lv {

QString ListLines(const QListWidget* list, bool selectedOnly) {
    QString text;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        if (selectedOnly && !item->isSelected()) continue;
        text += item->text();
        text += QLatin1Char('\n');
    }
    return text;
}

QMenu* AddLineCopying(QListWidget* list) {
    auto* copy = new QAction(QStringLiteral("コピー"), list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(copy);
    QObject::connect(copy, &QAction::triggered, list, [list] {
        const QString lines = ListLines(list, true);
        if (!lines.isEmpty()) QApplication::clipboard()->setText(lines);
    });
    auto* copyAll = new QAction(QStringLiteral("すべてコピー"), list);
    QObject::connect(copyAll, &QAction::triggered, list,
                     [list] { QApplication::clipboard()->setText(ListLines(list, false)); });
    auto* menu = new QMenu(list);
    menu->addAction(copy);
    menu->addAction(copyAll);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        list, &QWidget::customContextMenuRequested, menu,
        [list, menu](const QPoint& pos) { menu->popup(list->viewport()->mapToGlobal(pos)); });
    return menu;
}

}  // namespace lv
