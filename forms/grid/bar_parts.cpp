#include "forms/grid/bar_parts.h"

#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

namespace lv {

QToolButton* BarButton(QWidget* parent, const QString& text, const QString& tip, bool flat) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(flat);
    return button;
}

void CloseOnEscape(QWidget* bar, QToolButton* close) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), bar);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, close, &QToolButton::click);
}

bool OpenBar(QWidget* bar, QLineEdit* text) {
    const bool wasHidden = bar->isHidden();
    bar->show();
    bar->raise();
    text->setFocus(Qt::ShortcutFocusReason);
    text->selectAll();
    return wasHidden;
}

}  // namespace lv
