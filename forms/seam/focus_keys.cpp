#include "forms/seam/focus_keys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
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

void InstallFocusKeys(QObject* application) {
    application->installEventFilter(new FocusKeys(application));
}

}  // namespace lv
