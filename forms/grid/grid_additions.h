// What the data-grid window offers beyond its specified elements, all of it
// invisible until used: value labels in the cells (Ctrl+L), the find bar
// (Ctrl+F, F3, Shift+F3), go to a case or a variable (Ctrl+G), copying the
// selected cells (Ctrl+C, Ctrl+Shift+C with the names; Ctrl+A selects all),
// sorting by a column from its header's context menu, narrowing the cases
// by a condition in the filter bar (Ctrl+Shift+F), a context menu over the
// cells with the same commands, and writing the cases as CSV, TSV or .xlsx
// from both menus, or as a new .sav or .zsav; columns computed from the others
// by an expression (変数を計算…), taken away from their header's menu. Edited cells are taken back
// with Ctrl+Z (the last first) or all at once, and editing can be switched off (remembered between
// runs). Moves of the current cell can stop opening the value labels (then a double click or Enter
// opens them). Long work shows a progress dialog.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <memory>
#include <optional>
#include <span>
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
    // The actions, made from the table of forms/grid/grid_action_table.cpp.
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
    QAction* frequencies;      // 度数分布… of the header's column
    QAction* exportTable;      // 形式を選んで書き出す... (CSV, TSV, .xlsx)
    QAction* saveAsSav;        // 名前を付けて保存... (.sav, .zsav; Ctrl+S)
    QAction* fitColumn;        // 列幅を内容に合わせる (the header menu's column)
    QAction* computeVariable;  // 変数を計算... (a computed column after the others)
    QAction* removeComputed;   // 計算した変数を削除 (the header menu's computed column)
    QAction* undoEdit;         // 編集を元に戻す (Ctrl+Z)
    QAction* undoAllEdits;     // すべての編集を元に戻す
    QAction* allowEdits;       // 編集を許可 (checkable; the choice holds between runs)
    QAction* labelsOnMove;  // セル移動で値ラベルを開く (checkable; holds for the run)

    // Waits, with the progress dialog once that takes half a second, until
    // the grid's index (built on its own thread after the first screen)
    // holds the cases that display rows top .. bottom show; top < 0: every
    // case. False when the user cancelled (nothing is to be done then).
    bool WaitForIndex(int top = -1, int bottom = -1);

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
    // Asks for a file, then the choices, and saves the cases as a new .sav
    // or .zsav with the whole dictionary (never over the file shown).
    void SaveAsSav();
    void UndoEdit();
    void UndoAllEdits();
    void AllowEdits(bool on);
    void LabelsOnMove(bool on);
    // Asks for a computed column (ComputeDialog) and adds it after the others.
    void ComputeVariable();
    // Takes a computed column away (refused while a later one uses it).
    void RemoveComputed(int column);
    // As a double click on the header's edge does: the rows in view and the name.
    void FitColumn(int column);

  private:
    // An action of the table.
    struct ActionSpec {
        QAction* GridAdditions::*action = nullptr;  // the member that holds it
        const char* name = "";                      // its object name
        const char* text = "";
        // Its keys (empty: none). An action with keys is the window's too,
        // so that they work wherever in the window the focus is.
        QKeySequence keys = {};
        bool checkable = false;
        // Whether it reads every case (it starts once the index is whole).
        bool everyCase = false;
        void (*run)(GridAdditions& a, bool checked) = nullptr;
        // Where each context menu shows it: a group, the groups in ascending
        // order with a line between them, the table's order within a group;
        // 0 where it is not shown.
        int cellGroup = 0;
        int headerGroup = 0;
        // Brought up to date as a menu that shows it opens (null: never);
        // the switch's state also as it is made.
        bool (*enabled)(const GridAdditions& a) = nullptr;
        bool (*checked)() = nullptr;
    };
    static std::span<const ActionSpec> ActionTable();
    void MakeActions();
    // A context menu: the actions that group places, in its order.
    QMenu* MakeMenu(int ActionSpec::*group);
    // The enabled and checked states of those actions brought up to date.
    void UpdateStates(int ActionSpec::*group);

    // The matches counted are of other rows or texts now: the next find
    // counts again, and the count on the bar goes.
    void ForgetCount();
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

    QWidget* window_;
    GridView* view_;
    GridModel* model_;
    QMenu* cellMenu_ = nullptr;
    QMenu* headerMenu_ = nullptr;
    int menuColumn_ = -1;
    std::optional<unsigned long long> count_;  // matches of the current query
    std::unique_ptr<GridNavigation> navigation_;

    // Whether cells may be edited: the user's choice, kept between runs
    // (QSettings).
    static bool EditsAllowed();
    // Whether a move of the current cell opens the value labels: the user's
    // choice, kept for every grid window opened later in the run.
    static bool labelsOnMoves_;
};

}  // namespace lv
