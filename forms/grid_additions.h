// What the data-grid window offers beyond its specified elements, all of it
// invisible until used: value labels in the cells (Ctrl+L), the find bar
// (Ctrl+F, F3, Shift+F3), go to a case or a variable (Ctrl+G), copying the
// selected cells (Ctrl+C, Ctrl+Shift+C with the names; Ctrl+A selects all),
// sorting by a column from its header's context menu, and a context menu
// over the cells with the same commands. Edited cells are taken back with
// Ctrl+Z (the last first) or all at once, and editing can be switched off
// for the rest of the run. Moves of the current cell can stop opening the
// value labels (then a double click or Enter opens them). Long work shows a progress dialog.
#ifndef LORIVANE_FORMS_GRIDADDITIONS_H
#define LORIVANE_FORMS_GRIDADDITIONS_H

#include <QObject>
#include <optional>

class FindBar;
class GridModel;
class GridView;
class QAction;
class QMenu;
class QWidget;

class GridAdditions : public QObject {
    Q_OBJECT
  public:
    GridAdditions(QWidget* window, GridView* view, GridModel* model);

    FindBar* findBar;
    QAction* showLabels;  // 値ラベルを表示 (checkable)
    QAction* copy;
    QAction* copyWithNames;
    QAction* selectAll;
    QAction* find;
    QAction* findNext;
    QAction* findPrevious;
    QAction* goTo;
    QAction* sortAscending;
    QAction* sortDescending;
    QAction* originalOrder;
    QAction* fitColumn;     // 列幅を内容に合わせる (the header menu's column)
    QAction* undoEdit;      // 編集を元に戻す (Ctrl+Z)
    QAction* undoAllEdits;  // すべての編集を元に戻す
    QAction* allowEdits;    // 編集を許可 (checkable; the choice holds for the run)
    QAction* labelsOnMove;  // セル移動で値ラベルを開く (checkable; holds for the run)

    // The menus as they are shown (for a cell, for a column's header).
    QMenu* CellMenu();
    QMenu* HeaderMenu(int column);

    void ToggleLabels();
    void OpenFind();
    void Find(bool backwards);
    void GoTo();
    void Copy(bool withNames);
    void SelectAll();
    void Sort(int column, bool descending);
    void OriginalOrder();
    void UndoEdit();
    void UndoAllEdits();
    void AllowEdits(bool on);
    void LabelsOnMove(bool on);

  private:
    // After an action over many cells stopped: says so when it was for
    // values the grid could no longer read (not for a cancel).
    void ReportLost();
    QAction* Action(const QString& text, const QKeySequence& keys, void (GridAdditions::*run)());

    QWidget* window_;
    GridView* view_;
    GridModel* model_;
    QMenu* cellMenu_ = nullptr;
    QMenu* headerMenu_ = nullptr;
    int menuColumn_ = -1;
    std::optional<unsigned long long> count_;  // matches of the current query
};

#endif
