#include "forms/grid/row_numbers.h"

#include <QAbstractItemView>
#include <QAbstractTableModel>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <algorithm>
#include <cstdint>

namespace lv {

namespace {

// What the header sees of the model: no rows, so it keeps nothing per row.
class NoRows final : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& = QModelIndex()) const override { return 0; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 0; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
};

// Floor division, for rows above the viewport's top.
int64_t FloorDiv64(int64_t a, int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

RowNumbers::RowNumbers(QAbstractItemView* view, int rowHeight)
    : QHeaderView(Qt::Vertical, view), view_(view), rowHeight_(rowHeight), none_(new NoRows(this)) {
    QHeaderView::setModel(none_);
    // Qt's item views step their autoscroll every 50 ms too.
    autoScroll_.setInterval(50);
    connect(&autoScroll_, &QTimer::timeout, this, &RowNumbers::ScrollTowardPointer);
}

void RowNumbers::SetOffset(int64_t pixels) {
    if (pixels == offset_) return;
    offset_ = pixels;
    viewport()->update();
}

void RowNumbers::setModel(QAbstractItemModel* model) {
    rows_ = model;
    if (QHeaderView::model() != none_) QHeaderView::setModel(none_);
    viewport()->update();
}

int RowNumbers::RowCount() const {
    return rows_ ? rows_->rowCount(view_->rootIndex()) : 0;
}

int RowNumbers::RowAtY(int y) const {
    const int64_t row = FloorDiv64(offset_ + y, rowHeight_);
    return row >= 0 && row < RowCount() ? int(row) : -1;
}

int RowNumbers::RowY(int row) const {
    const int64_t y = int64_t(row) * rowHeight_ - offset_;
    return int(std::clamp<int64_t>(y, -(int64_t(1) << 30), int64_t(1) << 30));
}

// A section drawn as the header draws its sections: the style's header
// with the model's text for the row, in the header's alignment and font.
void RowNumbers::PaintRow(QPainter& painter, int row, const QRect& rect) const {
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = row;
    option.text = rows_->headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
    const QVariant alignment = rows_->headerData(row, Qt::Vertical, Qt::TextAlignmentRole);
    option.textAlignment =
        alignment.isValid() ? Qt::Alignment(alignment.toInt()) : defaultAlignment();
    option.iconAlignment = Qt::AlignVCenter;
    const int count = RowCount();
    option.position = count == 1         ? QStyleOptionHeader::OnlyOneSection
                      : row == 0         ? QStyleOptionHeader::Beginning
                      : row == count - 1 ? QStyleOptionHeader::End
                                         : QStyleOptionHeader::Middle;
    option.selectedPosition = QStyleOptionHeader::NotAdjacent;
    style()->drawControl(QStyle::CE_Header, &option, &painter, this);
}

void RowNumbers::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    if (!rows_) return;
    QPainter painter(viewport());
    const int count = RowCount();
    const int width = viewport()->width();
    for (int row = std::max(0, RowAtY(0)), y = RowY(row);
         row >= 0 && row < count && y < viewport()->height(); ++row, y += rowHeight_)
        PaintRow(painter, row, QRect(0, y, width, rowHeight_));
    // The dragged number follows the pointer, over the others.
    if (dragging_ && pressRow_ >= 0 && pressRow_ < count) {
        painter.setOpacity(0.75);
        // Held past an edge, it stays at that edge while the rows scroll.
        const int top =
            std::clamp(pointerY_ - grip_, 0, std::max(0, viewport()->height() - rowHeight_));
        PaintRow(painter, pressRow_, QRect(0, top, width, rowHeight_));
    }
}

int RowNumbers::DropRow(int y) const {
    // Past the viewport's edge the row dropped on is the one at the edge:
    // the rows beyond are out of sight until the view scrolls to them.
    y = std::clamp(y, 0, std::max(0, viewport()->height() - 1));
    const int over = RowAtY(y);
    if (over < 0) return target_;
    const int middle = RowY(over) + rowHeight_ / 2;
    if (over < pressRow_) return y < middle ? over : over + 1;
    if (over > pressRow_) return y > middle ? over : over - 1;
    return over;
}

void RowNumbers::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QHeaderView::mousePressEvent(event);
    pressY_ = pointerY_ = event->position().toPoint().y();
    pressRow_ = target_ = RowAtY(pressY_);
    grip_ = pressY_ - RowY(std::max(0, pressRow_));
    dragging_ = false;
}

void RowNumbers::mouseMoveEvent(QMouseEvent* event) {
    if (pressRow_ < 0 || !(event->buttons() & Qt::LeftButton))
        return QHeaderView::mouseMoveEvent(event);
    pointerY_ = event->position().toPoint().y();
    if (std::abs(pointerY_ - pressY_) >= QApplication::startDragDistance()) dragging_ = true;
    if (!dragging_) return;
    FollowPointer();
}

void RowNumbers::FollowPointer() {
    target_ = DropRow(pointerY_);
    viewport()->update();
    const bool outside = pointerY_ < 0 || pointerY_ >= viewport()->height();
    if (outside && !autoScroll_.isActive())
        autoScroll_.start();
    else if (!outside)
        autoScroll_.stop();
}

void RowNumbers::ScrollTowardPointer() {
    if (!dragging_) return autoScroll_.stop();
    const int height = viewport()->height();
    const int beyond = pointerY_ < 0 ? -pointerY_ : pointerY_ - (height - 1);
    if (beyond <= 0) return autoScroll_.stop();
    // A row a tick at the edge, one more for each row's height beyond it,
    // at most a page.
    QScrollBar* bar = view_->verticalScrollBar();
    const int rows = std::min(1 + beyond / rowHeight_, std::max(1, bar->pageStep()));
    const int value = bar->value();
    bar->setValue(pointerY_ < 0 ? value - rows : value + rows);
    if (bar->value() == value) return;  // at the end: nothing to follow
    FollowPointer();
}

void RowNumbers::StopDrag() {
    autoScroll_.stop();
    pressRow_ = -1;
    dragging_ = false;
    viewport()->update();
}

void RowNumbers::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressRow_ < 0)
        return QHeaderView::mouseReleaseEvent(event);
    const int from = pressRow_;
    const int y = event->position().toPoint().y();
    const bool dragged = dragging_;
    const int to = dragged ? DropRow(y) : from;
    StopDrag();
    if (dragged) {
        if (to != from && from < RowCount() && to >= 0 && to < RowCount()) emit rowMoved(from, to);
    } else if (RowAtY(y) == from) {
        emit rowClicked(from);
    }
}

void RowNumbers::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second press of a double click is a press like the first.
    if (event->button() == Qt::LeftButton) return mousePressEvent(event);
    QHeaderView::mouseDoubleClickEvent(event);
}

}  // namespace lv
