// The grid's column of case numbers, drawn on demand. A QHeaderView keeps
// an item for every section (8 bytes a row, twice that once one moves),
// which at tens of millions of cases outweighs the rest of the window; this
// header shows the model to Qt as having no rows at all and paints the
// numbers of the rows in view from the model's header data, in the header's
// style. The rows all have one height and stand in the model's order (a row
// dragged by its number moves in the model), so nothing per row is kept.
#pragma once

#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QAbstractItemView;

namespace lv {

class RowNumbers final : public QHeaderView {
    Q_OBJECT
  public:
    // The numbers of view's rows, rowHeight pixels each.
    RowNumbers(QAbstractItemView* view, int rowHeight);

    // How far the rows are scrolled: the top of row r stands at
    // r * rowHeight - pixels in the viewport (the view's and this one's).
    void SetOffset(int64_t pixels);
    int64_t offset() const { return offset_; }

    // The model whose rows are numbered; Qt's own bookkeeping sees none.
    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel*) override {}
    QAbstractItemModel* rows() const { return rows_; }

    // The row at y (in this header's viewport), or -1 below the last row.
    int RowAtY(int y) const;
    // The top of row in this header's viewport (and in the view's).
    int RowY(int row) const;

  signals:
    // A press and a release on the same row's number, without a drag.
    void rowClicked(int row);
    // A row dragged by its number from one place to another, as a movable
    // header's section moves: the rows between shift by one.
    void rowMoved(int from, int to);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int RowCount() const;
    void PaintRow(QPainter& painter, int row, const QRect& rect) const;
    // Where a row dragged from pressRow_ lands with the pointer at y: the
    // row under it, or beside it when the pointer has not passed its middle.
    int DropRow(int y) const;
    // While a drag is held above or below the rows in view, the view
    // scrolls toward the pointer, faster the farther past the edge it is.
    void FollowPointer();
    void ScrollTowardPointer();
    void StopDrag();

    QAbstractItemView* view_;
    const int rowHeight_;
    QPointer<QAbstractItemModel> rows_;
    QAbstractItemModel* none_;  // no rows: what QHeaderView counts
    int64_t offset_ = 0;
    int pressRow_ = -1;
    int target_ = -1;  // where the dragged row lands
    int pressY_ = 0;
    int pointerY_ = 0;
    int grip_ = 0;  // the pointer's height in the dragged row
    bool dragging_ = false;
    QTimer autoScroll_;
};

}  // namespace lv
