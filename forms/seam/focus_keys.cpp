#include "forms/seam/focus_keys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QToolButton>

namespace lv {

namespace {

bool IsEnter(const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Ctrl+Tab: 1, Ctrl+Shift+Tab: -1, anything else 0.
int CtrlTabStep(const QKeyEvent& key) {
    if (!(key.modifiers() & Qt::ControlModifier)) return 0;
    if (key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return 0;
    if (key.key() == Qt::Key_Backtab) return -1;
    if (key.key() != Qt::Key_Tab) return 0;
    return key.modifiers() & Qt::ShiftModifier ? -1 : 1;
}

bool PressedWithEnter(QWidget* focus, const QKeyEvent& key) {
    auto* button = qobject_cast<QAbstractButton*>(focus);
    if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)))
        return false;
    if (!IsEnter(key)) return false;
    // Taken here even where the button or its dialog would answer, so that
    // one press is one click; a held key clicks once.
    if (!key.isAutoRepeat() && button->isEnabled()) button->click();
    return true;
}

// The table that holds the focus (or its cell editor) and keeps Tab.
QAbstractItemView* TabKeepingView(QWidget* focus) {
    for (QWidget* w = focus; w && !w->isWindow(); w = w->parentWidget()) {
        auto* view = qobject_cast<QAbstractItemView*>(w);
        if (view && view->tabKeyNavigation()) return view;
    }
    return nullptr;
}

bool LeftWithCtrlTab(QWidget* focus, const QKeyEvent& key) {
    const int step = CtrlTabStep(key);
    if (step == 0) return false;
    QAbstractItemView* view = TabKeepingView(focus);
    if (!view) return false;
    const QWidget* window = view->window();
    QWidget* w = view;
    for (;;) {
        w = step > 0 ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == view) return true;  // nothing else takes the focus
        const bool candidate = w != window && w->window() == window && !view->isAncestorOf(w) &&
                               (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
                               w->isEnabled();
        if (candidate) break;
    }
    w->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// The application's style, with the ring on a push or tool button that
// has the focus from the keyboard.
class FocusRings final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton) DrawRing(option, painter);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ToolButton) DrawRing(option, painter);
    }

  private:
    static void DrawRing(const QStyleOption* option, QPainter* painter) {
        const State keyboardFocus = State_HasFocus | State_KeyboardFocusChange;
        if ((option->state & keyboardFocus) != keyboardFocus) return;
        painter->save();
        QPen pen(option->palette.color(QPalette::ButtonText));
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(3, 3, -4, -4));
        painter->restore();
    }
};

class FocusKeys final : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        QWidget* focus = QApplication::focusWidget();
        if (!focus || watched != focus) return false;
        const auto& key = *static_cast<QKeyEvent*>(event);
        return PressedWithEnter(focus, key) || LeftWithCtrlTab(focus, key);
    }
};

}  // namespace

void InstallFocusKeys(QApplication* application) {
    application->installEventFilter(new FocusKeys(application));
    QApplication::setStyle(new FocusRings(QApplication::style()->name()));
}

}  // namespace lv
