#include "forms/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace lv {

namespace {

// Cell editors as Qt makes them, watched by the view so that the grid's
// copy and select-all keys reach the grid.
class WatchedEditors final : public QStyledItemDelegate {
  public:
    explicit WatchedEditors(QObject* watcher) : QStyledItemDelegate(watcher), watcher_(watcher) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) editor->installEventFilter(watcher_);
        return editor;
    }

  private:
    QObject* watcher_;
};

// Which of the grid's keys event is: 1 copy, 2 copy with names, 3 select
// all, 0 none.
int GridKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return 1;
    if (event->key() == Qt::Key_C &&
        event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))
        return 2;
    if (event->matches(QKeySequence::SelectAll)) return 3;
    return 0;
}

}  // namespace

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
    setItemDelegate(new WatchedEditors(this));
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int which = GridKey(key);
        const auto* line = qobject_cast<QLineEdit*>(watched);
        // A part of the editor's text that the user selected is the
        // editor's to copy (an editor opens with all its text selected).
        const bool editorCopies =
            which == 1 && line && line->hasSelectedText() && line->selectedText() != line->text();
        if (which != 0 && !editorCopies) {
            event->accept();
            if (event->type() == QEvent::KeyPress) {
                if (which == 3)
                    emit selectAllRequested();
                else
                    emit copyRequested(which == 2);
            }
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool GridView::viewportEvent(QEvent* event) {
    // A context menu takes the button's release: no click follows.
    if (event->type() == QEvent::ContextMenu) buttonDown_ = false;
    if (event->type() == QEvent::Paint) emit aboutToPaint();
    return QTableView::viewportEvent(event);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    switch (GridKey(event)) {
        case 1:
        case 2:
            emit copyRequested(GridKey(event) == 2);
            return;
        case 3:
            emit selectAllRequested();
            return;
        default:
            QTableView::keyPressEvent(event);
    }
}

std::vector<int> GridView::VisualColumns() const {
    std::vector<int> columns(static_cast<size_t>(model() ? model()->columnCount() : 0));
    for (size_t c = 0; c < columns.size(); ++c)
        columns[c] = horizontalHeader()->logicalIndex(static_cast<int>(c));
    return columns;
}

void GridView::GoTo(const QModelIndex& index, bool editor) {
    if (!index.isValid()) return;
    SetCurrentQuietly(index);
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    if (editor) ShowEditor(index);
}

void GridView::CloseEditor() {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    if (QWidget* editor = indexWidget(current)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GridView::ReopenEditor() {
    ShowEditor(currentIndex());
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

}  // namespace lv
