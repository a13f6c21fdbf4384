// What the bars that appear under the grid while in use (find, filter)
// share: their height, their flat buttons, Esc for their close button, and
// how they open.
#pragma once

#include <QString>

class QLineEdit;
class QToolButton;
class QWidget;

namespace lv {

// The height of a bar's row of controls.
constexpr int kBarHeight = 28;

// A button showing text, with tip as its tooltip: flat, or raised as a
// push button is (for a bar's main commands).
QToolButton* BarButton(QWidget* parent, const QString& text, const QString& tip, bool flat = true);

// Esc anywhere in bar clicks close.
void CloseOnEscape(QWidget* bar, QToolButton* close);

// Shows bar with text focused and selected; whether it was hidden.
bool OpenBar(QWidget* bar, QLineEdit* text);

}  // namespace lv
