// Copying the lines of a list box (the variable list, the value-label
// window): Ctrl+C copies the selected lines, and a context menu copies the
// selected lines or all of them, as the list shows them.
#pragma once

#include <QString>

class QListWidget;
class QMenu;

namespace lv {

// The lines shown, one per line end (the selected ones, or all).
QString ListLines(const QListWidget* list, bool selectedOnly);

// Adds the copy key and the context menu to list; returns the menu so that
// a window can add its own commands.
QMenu* AddLineCopying(QListWidget* list);

}  // namespace lv
