#include "forms/grid/grid_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdlib>

#include "forms/grid/grid_model.h"

namespace lv {

namespace {

// The corner mark of an edited cell: a strong orange, seen on the selection
// as on the white cells.
constexpr QRgb kEditedMarkColour = 0xFFE06000;

// Cell editors as Qt makes them, watched by the view so that the grid's
// copy and select-all keys reach the grid; edited cells drawn with a mark.
class WatchedEditors final : public QStyledItemDelegate {
  public:
    explicit WatchedEditors(QObject* watcher) : QStyledItemDelegate(watcher), watcher_(watcher) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) editor->installEventFilter(watcher_);
        return editor;
    }
    // An edited cell also gets a corner mark, which the selection's colour
    // does not cover as it covers the cell's background.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(kEditedRole).toBool()) return;
        const QRect r = option.rect;
        const int side = std::min({6, r.width(), r.height()});
        const QPoint corner[] = {r.topRight() - QPoint(side - 1, 0), r.topRight(),
                                 r.topRight() + QPoint(0, side - 1)};
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(kEditedMarkColour));
        painter->drawPolygon(corner, 3);
        painter->restore();
    }

  private:
    QObject* watcher_;
};

// Which of the grid's keys event is: 1 copy, 2 copy with names, 3 select
// all, 4 undo, 0 none.
int GridKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) return 4;
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
    // A click on a header selects its row or column without announcing the
    // cell that becomes current.
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
}

// A click on a header (a press and a release on the same section, without
// the drag that moves it) selects its column or row; the current cell stays
// where it is, so nothing is announced.
void GridView::HeaderMouse(QHeaderView* header, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return;
    const QPoint at = mouse->position().toPoint();
    const int section = header->logicalIndexAt(at);
    if (event->type() == QEvent::MouseButtonPress) {
        headerPress_ = at;
        headerSection_ = section;
        headerVisual_ = header->visualIndex(section);
        return;
    }
    const bool click = section >= 0 && section == headerSection_ &&
                       header->visualIndex(section) == headerVisual_ &&
                       (at - headerPress_).manhattanLength() < QApplication::startDragDistance();
    headerSection_ = -1;
    if (!click || !model() || model()->rowCount() == 0 || model()->columnCount() == 0) return;
    const bool columns = header->orientation() == Qt::Horizontal;
    const QModelIndex first = columns ? model()->index(0, section) : model()->index(section, 0);
    const QModelIndex last = columns ? model()->index(model()->rowCount() - 1, section)
                                     : model()->index(section, model()->columnCount() - 1);
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
}

// Edit triggers while editing is on. Without announcements the editor does
// not open under a press (it would hold the mouse and stop a drag): it opens
// when the button is released.
static QAbstractItemView::EditTriggers EditingTriggers(bool announceMoves) {
    QAbstractItemView::EditTriggers triggers(QAbstractItemView::AllEditTriggers);
    if (!announceMoves) triggers.setFlag(QAbstractItemView::CurrentChanged, false);
    return triggers;
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    QWidget* focus = QApplication::focusWidget();
    const bool outside = focus && focus != this && !isAncestorOf(focus);
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && outside && QApplication::focusWidget() != focus)
        focus->setFocus(Qt::OtherFocusReason);
    return opened;
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()) {
        HeaderMouse(
            watched == horizontalHeader()->viewport() ? horizontalHeader() : verticalHeader(),
            event);
        return QTableView::eventFilter(watched, event);
    }
    // The menu key and Shift+F10 in a cell's editor open the grid's menu at
    // the cell, not the editor's cut and paste.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        emit customContextMenuRequested(visualRect(currentIndex()).center());
        return true;
    }
    // A double click lands on the open editor of the cell it is over.
    if (!announceMoves_ && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit cellNotified(currentIndex());
        return QTableView::eventFilter(watched, event);
    }
    if (!announceMoves_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in the editor writes its text back and announces the cell.
            CloseEditor();
            ShowEditor(currentIndex());
            emit cellNotified(currentIndex());
            return true;
        }
    }
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
            if (event->type() == QEvent::KeyPress) EmitGridKey(which);
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
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!announceMoves_ && enter && currentIndex().isValid())
        emit cellNotified(currentIndex());
    else if (const int which = GridKey(event))
        EmitGridKey(which);
    else
        QTableView::keyPressEvent(event);
}

QModelIndex GridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    const QModelIndex from = currentIndex();
    if (reach_ && to.isValid() && (!from.isValid() || std::abs(to.row() - from.row()) > 1) &&
        !reach_(to.row()))
        return from;
    return to;
}

void GridView::EmitGridKey(int which) {
    switch (which) {
        case 1:
        case 2:
            emit copyRequested(which == 2);
            break;
        case 3:
            emit selectAllRequested();
            break;
        case 4:
            emit undoRequested();
            break;
    }
}

// Escape in the editor closes it without writing its text back (the cell
// keeps what it held); the grid's editor then opens again on the cell.
void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache && editing_)
        QMetaObject::invokeMethod(
            this, [this] { ShowEditor(currentIndex()); }, Qt::QueuedConnection);
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
    // The editor opens with its whole text selected and would show the end of
    // a long value; a go-to shows the cell from its start, as the cell does.
    if (auto* line = qobject_cast<QLineEdit*>(indexWidget(index))) {
        const int length = static_cast<int>(line->text().size());
        line->setSelection(length, -length);
    }
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
    setEditTriggers(on ? EditingTriggers(announceMoves_) : QAbstractItemView::NoEditTriggers);
    if (on) ShowEditor(currentIndex());
}

void GridView::SetAnnounceMoves(bool on) {
    announceMoves_ = on;
    if (editing_) setEditTriggers(EditingTriggers(on));
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
    if (!announceMoves_) return;
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
    if (!announceMoves_) {
        if (event->button() == Qt::LeftButton) ShowEditor(currentIndex());
        return;
    }
    if (!editing_ && wasDown && index.isValid() && event->button() == Qt::LeftButton)
        emit cellNotified(currentIndex());
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!announceMoves_ && index.isValid() && event->button() == Qt::LeftButton) {
        ShowEditor(currentIndex());
        emit cellNotified(currentIndex());
    }
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (quiet_ || buttonDown_ || !current.isValid() || current == previous) return;
    ShowEditor(current);
    if (announceMoves_) emit cellNotified(current);
}

}  // namespace lv
