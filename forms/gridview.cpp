#include "forms/gridview.h"

#include <QHeaderView>
#include <QMouseEvent>

GridView::GridView(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row height; columns sized from the variables' widths, never
    // measured from the rows.
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setFixedWidth(68);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(68);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    // Cells are drawn from their left edge, on one line, clipped.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void GridView::SetEditing(bool on) {
    editing_ = on;
    setEditTriggers(on ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    if (on) ShowEditor(currentIndex());
}

void GridView::SetCurrentQuietly(const QModelIndex& index) {
    quiet_ = true;
    setCurrentIndex(index);
    quiet_ = false;
}

void GridView::ShowEditor(const QModelIndex& index) {
    if (editing_ && index.isValid() && state() != QAbstractItemView::EditingState) edit(index);
}

// While the button is down the current cell follows the pointer quietly; a
// click (or a drag) announces its cell once, on release. With editing on the
// press announces at once, as the editor opens on it.
void GridView::mousePressEvent(QMouseEvent* event) {
    buttonDown_ = true;
    QTableView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (editing_ && index.isValid() && event->button() == Qt::LeftButton) {
        // The announcement may show a modal window that takes the release.
        buttonDown_ = false;
        ShowEditor(currentIndex());
        emit cellNotified(currentIndex());
    }
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const bool wasDown = buttonDown_;
    if (event->buttons() == Qt::NoButton) buttonDown_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!editing_ && wasDown && index.isValid() && event->button() == Qt::LeftButton)
        emit cellNotified(currentIndex());
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (quiet_ || buttonDown_ || !current.isValid() || current == previous) return;
    ShowEditor(current);
    emit cellNotified(current);
}
