#include "forms/seam/menu_key.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace lv {

namespace {

class ShiftF10 final : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier) return false;
        QWidget* focus = QApplication::focusWidget();
        if (!focus || watched != focus) return false;
        // As for the Menu key: at the middle of the widget, where a
        // scroll area's viewport receives it.
        auto* area = qobject_cast<QAbstractScrollArea*>(focus);
        QWidget* target = area ? area->viewport() : focus;
        const QPoint at = target->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &menu);
        return true;
    }
};

}  // namespace

void InstallShiftF10ContextMenus(QObject* application) {
    application->installEventFilter(new ShiftF10(application));
}

}  // namespace lv
