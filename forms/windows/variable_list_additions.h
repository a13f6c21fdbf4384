// What the variable-list window offers beyond its specified elements:
// copying lines (Ctrl+C, context menu) and a find bar (Ctrl+F, F3,
// Shift+F3) that finds a variable by its name, long name or label.
#pragma once

#include <QObject>
#include <optional>
#include <vector>

#include "core/dictionary/variable_facts.h"

class QAction;
class QListWidget;
class QMenu;
class QWidget;

namespace lv {

class FindBar;

class VarListAdditions : public QObject {
    Q_OBJECT
  public:
    VarListAdditions(QWidget* window, QListWidget* list);

    FindBar* findBar;
    QMenu* menu;  // the list's context menu, where the window adds its own commands
    QAction* find;
    QAction* findNext;
    QAction* findPrevious;

    void OpenFind();
    void Find(bool backwards);

  private:
    QWidget* window_;
    QListWidget* list_;
    // Read from the file the first time a variable is looked for.
    std::optional<std::vector<lv::VariableFacts>> variables_;
};

}  // namespace lv
