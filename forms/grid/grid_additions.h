// What the data-grid window offers beyond its specified elements, all of it
// invisible until used: value labels in the cells (Ctrl+L), the find bar
// (Ctrl+F, F3, Shift+F3), go to a case or a variable (Ctrl+G), copying the
// selected cells (Ctrl+C, Ctrl+Shift+C with the names; Ctrl+A selects all),
// sorting by a column from its header's context menu, narrowing the cases
// by a condition in the filter bar (Ctrl+Shift+F), a context menu over the
// cells with the same commands, and writing the cases as CSV, TSV or .xlsx
// from both menus. Edited cells are taken back with Ctrl+Z (the last first)
// or all at once, and editing can be switched off for the rest of the run.
// Moves of the current cell can stop opening the value labels (then a
// double click or Enter opens them). Long work shows a progress dialog.
#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace lv {

class FilterBar;
class FindBar;
class GridModel;
class GridNavigation;
class GridView;

class GridAdditions : public QObject {
    Q_OBJECT
  public:
    GridAdditions(QWidget* window, GridView* view, GridModel* model);
    ~GridAdditions() override;

    FindBar* findBar;
    FilterBar* filterBar;
    QAction* showLabels;     // 値ラベルを表示 (checkable)
    QAction* showFormatted;  // 書式どおりに表示 (checkable)
    QAction* copy;
    QAction* copyWithNames;
    QAction* selectAll;
    QAction* find;
    QAction* findNext;
    QAction* findPrevious;
    QAction* goTo;
    QAction* filter;  // 条件で絞り込む...
    QAction* sortAscending;
    QAction* sortDescending;
    QAction* originalOrder;
    QAction* frequencies;   // 度数分布… of the header's column
    QAction* exportTable;   // 形式を選んで書き出す... (CSV, TSV, .xlsx)
    QAction* fitColumn;     // 列幅を内容に合わせる (the header menu's column)
    QAction* undoEdit;      // 編集を元に戻す (Ctrl+Z)
    QAction* undoAllEdits;  // すべての編集を元に戻す
    QAction* allowEdits;    // 編集を許可 (checkable; the choice holds for the run)
    QAction* labelsOnMove;  // セル移動で値ラベルを開く (checkable; holds for the run)

    // The menus as they are shown (for a cell, for a column's header).
    QMenu* CellMenu();
    QMenu* HeaderMenu(int column);

    void ToggleLabels();
    void ToggleFormatted();
    void OpenFind();
    void Find(bool backwards);
    void GoTo();
    void Copy(bool withNames);
    void SelectAll();
    void Sort(int column, bool descending);
    void OriginalOrder();
    void OpenFilter();
    // The filter bar's condition applied, or cleared.
    void ApplyFilter();
    void ClearFilter();
    // Opens the filter bar with condition and applies it.
    void ShowOnly(const QString& condition);
    // Asks for a file and its type, then the choices, and writes the cases.
    void ExportTable();
    void UndoEdit();
    void UndoAllEdits();
    void AllowEdits(bool on);
    void LabelsOnMove(bool on);

  private:
    // After an action over many cells stopped: says so when it was for
    // values the grid could no longer read (not for a cancel).
    void ReportLost();
    // Changes which cases are shown (all rows at once), then makes the
    // case that was current current again, or the first row, quietly (a
    // current cell that moves by itself would open the value-label window).
    template <typename Change>
    void ChangeShownCases(Change change);
    // The selected cells' rows (display rows top .. bottom) and columns in
    // their on-screen order; the current cell when none is selected. False
    // when there is neither.
    bool SelectedBlock(int* top, int* bottom, std::vector<int>* columns) const;
    QAction* Action(const QString& text, const QKeySequence& keys, void (GridAdditions::*run)());

    QWidget* window_;
    GridView* view_;
    GridModel* model_;
    QMenu* cellMenu_ = nullptr;
    QMenu* headerMenu_ = nullptr;
    int menuColumn_ = -1;
    std::optional<unsigned long long> count_;  // matches of the current query
    std::unique_ptr<GridNavigation> navigation_;
};

}  // namespace lv
