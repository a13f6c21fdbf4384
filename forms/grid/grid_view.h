// The data grid's view: variable names as the header row and case numbers
// as the header column, both movable by drag (cells move with them), column
// sizing, range selection, Tab moves and, while editing is on, the current
// cell's editor always shown. Rows all have one height and stand in the
// model's order, so the view places them by arithmetic and keeps nothing
// per row (QTableView's own placing of rows goes through a header holding
// 8 bytes a row): the case numbers are a RowNumbers. It announces a click on a data cell once (on
// release; on the press while editing is on) and every keyboard move of the
// current cell; presses on headers announce nothing (a click on one selects
// its row or column, the current cell staying where it is).
#pragma once

#include <QPoint>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <vector>

class QHeaderView;

namespace lv {

class RowNumbers;

class GridView : public QTableView {
    Q_OBJECT
  public:
    explicit GridView(QWidget* parent = nullptr);
    using QTableView::edit;

    // Every row's height in pixels, its grid line included.
    static constexpr int kRowHeight = 24;
    RowNumbers* rowNumbers() const { return rowNumbers_; }
    // The top of row in the viewport (QTableView's rowViewportPosition).
    int RowY(int row) const;
    // The row at y in the viewport, or -1 (QTableView's rowAt).
    int RowAtY(int y) const;

    void setModel(QAbstractItemModel* model) override;
    QModelIndex indexAt(const QPoint& point) const override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    int sizeHintForColumn(int column) const override;

    // Switches editing on: the current cell shows its editor from now on.
    void SetEditing(bool on);
    // Whether a move of the current cell announces it (on, as the grid is
    // made). Off, a cell is announced by a double click or Enter only, and
    // the mouse drags and shift-clicks selections as in any grid.
    void SetAnnounceMoves(bool on);
    bool announcesMoves() const { return announceMoves_; }
    bool editing() const { return editing_; }
    // Makes index current without announcing it.
    void SetCurrentQuietly(const QModelIndex& index);
    // The model's columns in the order they stand on screen.
    std::vector<int> VisualColumns() const;
    // Moves to index as a find or a go-to does: current (unannounced),
    // selected alone and scrolled into view; with editor, its editor shown.
    void GoTo(const QModelIndex& index, bool editor);
    // Commits and closes the current cell's editor, if open, before the rows
    // change under it; ReopenEditor shows it again on the current cell.
    void CloseEditor();
    void ReopenEditor();
    // Asked before a key jumps more than a row (Ctrl+End, Page Down) with
    // the row it goes to; false keeps the current cell (the wait for that
    // row was cancelled).
    void SetRowReach(std::function<bool(int row)> reach) { reach_ = std::move(reach); }

  signals:
    // The grid's click notification, for the cell that is now current.
    void cellNotified(const QModelIndex& index);
    // Ctrl+C (withNames false) and Ctrl+Shift+C in the view or in a cell's
    // editor (unless a part of its text is selected); Ctrl+A anywhere in
    // the grid.
    void copyRequested(bool withNames);
    void selectAllRequested();
    // Ctrl+Z in the view or in a cell's editor: take back the last edit.
    void undoRequested();
    // The cells are about to be painted (directly connected: before they are).
    void aboutToPaint();

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    int verticalOffset() const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    // Opens the cell's editor without taking the keyboard from a part of
    // the window outside the grid (a bar): only a cell the user reached in
    // the grid takes the keys.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    void ShowEditor(const QModelIndex& index);
    // Where a key moves the current cell, rows placed by arithmetic.
    QModelIndex CellAfterMove(CursorAction action, Qt::KeyboardModifiers modifiers);
    std::function<bool(int row)> reach_;
    void EmitGridKey(int which);
    void HeaderMouse(QHeaderView* header, QEvent* event);
    // Selects row's cells, as a click on its number does.
    void SelectRow(int row);
    int RowCount() const;
    // The first and last rows in view (last < first when none).
    int FirstRowShown() const;
    int64_t ScrolledPixels() const;
    int LastRowShown() const;

    RowNumbers* rowNumbers_;
    bool inGeometries_ = false;

    bool editing_ = false;
    bool quiet_ = false;
    bool buttonDown_ = false;  // a mouse button went down on the cells
    bool announceMoves_ = true;
    // Where the left button went down on a header, and on which section.
    QPoint headerPress_;
    int headerSection_ = -1;
    int headerVisual_ = -1;
};

}  // namespace lv
