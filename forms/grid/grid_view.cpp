#include "forms/grid/grid_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "forms/grid/grid_model.h"
#include "forms/grid/row_numbers.h"

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

GridView::GridView(QWidget* parent)
    : QTableView(parent), rowNumbers_(new RowNumbers(this, kRowHeight)) {
    setVerticalHeader(rowNumbers_);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row height (kRowHeight); columns sized from the variables'
    // widths, never measured from the rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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
    connect(rowNumbers_, &RowNumbers::rowClicked, this, &GridView::SelectRow);
}

void GridView::SelectRow(int row) {
    if (!model() || row < 0 || row >= RowCount() || model()->columnCount() == 0) return;
    selectionModel()->select(
        QItemSelection(model()->index(row, 0), model()->index(row, model()->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

// A click on a column's header (a press and a release on the same section,
// without the drag that moves it) selects its column; the current cell stays
// where it is, so nothing is announced. The row numbers do the same for a
// row (SelectRow).
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
    if (watched == horizontalHeader()->viewport()) {
        HeaderMouse(horizontalHeader(), event);
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
    const QModelIndex to = CellAfterMove(action, modifiers);
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

// ---- rows placed by arithmetic: row r stands (r - first) rows below the
// top, first being the vertical scroll bar's value ----

namespace lv {

int GridView::RowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int GridView::RowY(int row) const {
    return rowNumbers_->RowY(row);
}

int GridView::RowAtY(int y) const {
    return rowNumbers_->RowAtY(y);
}

int GridView::FirstRowShown() const {
    return int(std::min<int64_t>(rowNumbers_->offset() / kRowHeight, RowCount()));
}

int GridView::LastRowShown() const {
    const int64_t last = (rowNumbers_->offset() + viewport()->height() - 1) / kRowHeight;
    return int(std::min<int64_t>(last, int64_t(RowCount()) - 1));
}

// Where the scroll bar puts the rows: its value is the first row shown,
// except at its end, where the last row stands at the viewport's bottom
// (as QTableView scrolls by rows).
int64_t GridView::ScrolledPixels() const {
    const QScrollBar* bar = verticalScrollBar();
    if (bar->value() > 0 && bar->value() == bar->maximum())
        return std::max<int64_t>(0, int64_t(RowCount()) * kRowHeight - viewport()->height());
    return int64_t(bar->value()) * kRowHeight;
}

void GridView::setModel(QAbstractItemModel* newModel) {
    if (model()) disconnect(model(), nullptr, this, nullptr);
    QTableView::setModel(newModel);
    if (!newModel) return;
    // QTableView learns of new rows from its vertical header, which counts
    // none here: the view follows the model itself.
    const auto relayout = [this] {
        updateGeometries();
        viewport()->update();
        rowNumbers_->viewport()->update();
    };
    connect(newModel, &QAbstractItemModel::rowsInserted, this, relayout);
    connect(newModel, &QAbstractItemModel::rowsRemoved, this, relayout);
    connect(newModel, &QAbstractItemModel::rowsMoved, this, relayout);
    connect(newModel, &QAbstractItemModel::modelReset, this, relayout);
    connect(newModel, &QAbstractItemModel::layoutChanged, this, relayout);
    connect(newModel, &QAbstractItemModel::headerDataChanged, this,
            [this] { rowNumbers_->viewport()->update(); });
}

QModelIndex GridView::indexAt(const QPoint& point) const {
    const int row = RowAtY(point.y());
    const int column = columnAt(point.x());
    if (row < 0 || column < 0) return {};
    return model()->index(row, column, rootIndex());
}

QRect GridView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() ||
        isColumnHidden(index.column()))
        return {};
    const int line = showGrid() ? 1 : 0;
    return QRect(columnViewportPosition(index.column()), RowY(index.row()),
                 columnWidth(index.column()) - line, kRowHeight - line);
}

void GridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.model() != model() || isColumnHidden(index.column())) return;
    // The columns as QTableView scrolls them; its rows are placed here.
    QScrollBar* bar = verticalScrollBar();
    {
        const int value = bar->value();
        const int maximum = bar->maximum();
        const QSignalBlocker quiet(bar);
        QTableView::scrollTo(index, hint);
        bar->setRange(0, maximum);
        bar->setValue(value);
    }
    const int row = index.row();
    const int fit = std::max(1, viewport()->height() / kRowHeight);
    const int first = bar->value();
    if (hint == EnsureVisible) {
        if (row < first)
            hint = PositionAtTop;
        else if (row >= first + fit)
            hint = PositionAtBottom;
        else
            return;
    }
    switch (hint) {
        case PositionAtTop:
            bar->setValue(row);
            break;
        case PositionAtBottom:
            bar->setValue(row - fit + 1);
            break;
        case PositionAtCenter:
            bar->setValue(row - (fit - 1) / 2);
            break;
        default:
            break;
    }
}

int GridView::sizeHintForColumn(int column) const {
    if (!model() || column < 0 || column >= model()->columnCount() || isColumnHidden(column))
        return -1;
    ensurePolished();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int hint = 0;
    for (int row = FirstRowShown(); row <= LastRowShown(); ++row) {
        const QModelIndex index = model()->index(row, column, rootIndex());
        hint = std::max(hint, itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    return showGrid() ? hint + 1 : hint;
}

QModelIndex GridView::CellAfterMove(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QHeaderView* columns = horizontalHeader();
    const int rows = RowCount();
    const int count = model() ? model()->columnCount(rootIndex()) : 0;
    // The visual column that is shown, from visual going by step (or -1).
    const auto shown = [&](int visual, int step) {
        for (; visual >= 0 && visual < count; visual += step)
            if (!isColumnHidden(columns->logicalIndex(visual))) return visual;
        return -1;
    };
    const int left = shown(0, 1);
    const int right = shown(count - 1, -1);
    if (rows == 0 || left < 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(0, columns->logicalIndex(left), rootIndex());
    if (isRightToLeft()) {
        if (action == MoveLeft)
            action = MoveRight;
        else if (action == MoveRight)
            action = MoveLeft;
    }
    int row = current.row();
    int visual = columns->visualIndex(current.column());
    const int page = std::max(1, viewport()->height() / kRowHeight);
    switch (action) {
        case MoveUp:
            row = std::max(0, row - 1);
            break;
        case MoveDown:
            row = std::min(rows - 1, row + 1);
            break;
        case MovePageUp:
            row = std::max(0, row - page + 1);
            break;
        case MovePageDown:
            row = std::min(rows - 1, row + page);
            break;
        case MoveHome:
            visual = left;
            if (modifiers & Qt::ControlModifier) row = 0;
            break;
        case MoveEnd:
            visual = right;
            if (modifiers & Qt::ControlModifier) row = rows - 1;
            break;
        case MoveLeft:
        case MovePrevious: {
            const int before = shown(visual - 1, -1);
            if (before >= 0)
                visual = before;
            else if (action == MovePrevious) {
                // Before the first cell of a row comes the last of the row
                // above; before the first of all, the last of all.
                visual = right;
                row = row == 0 ? rows - 1 : row - 1;
            }
            break;
        }
        case MoveRight:
        case MoveNext: {
            const int after = shown(visual + 1, 1);
            if (after >= 0)
                visual = after;
            else if (action == MoveNext) {
                visual = left;
                row = row == rows - 1 ? 0 : row + 1;
            }
            break;
        }
    }
    return model()->index(row, columns->logicalIndex(visual), rootIndex());
}

void GridView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect r = rect.normalized();
    const QModelIndex topLeft = indexAt(QPoint(isRightToLeft() ? r.right() : r.left(), r.top()));
    const QModelIndex bottomRight =
        indexAt(QPoint(isRightToLeft() ? r.left() : r.right(), r.bottom()));
    if (!selectionModel() || !topLeft.isValid() || !bottomRight.isValid()) return;
    const QHeaderView* columns = horizontalHeader();
    QItemSelection selection;
    if (columns->sectionsMoved()) {
        // The columns standing between the corners on screen, each its own range.
        const int from = columns->visualIndex(topLeft.column());
        const int to = columns->visualIndex(bottomRight.column());
        for (int visual = std::min(from, to); visual <= std::max(from, to); ++visual) {
            const int column = columns->logicalIndex(visual);
            selection.append(
                QItemSelectionRange(model()->index(topLeft.row(), column, rootIndex()),
                                    model()->index(bottomRight.row(), column, rootIndex())));
        }
    } else {
        selection.append(QItemSelectionRange(topLeft, bottomRight));
    }
    selectionModel()->select(selection, command);
}

QRegion GridView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const QRect area = viewport()->rect();
    const int first = FirstRowShown();
    const int last = LastRowShown();
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex()) continue;
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom) continue;
        const int y = RowY(top);
        const int height = (bottom - top + 1) * kRowHeight;
        if (!horizontalHeader()->sectionsMoved()) {
            const int x = columnViewportPosition(range.left());
            const int right = columnViewportPosition(range.right()) + columnWidth(range.right());
            region += QRect(x, y, right - x, height).intersected(area);
            continue;
        }
        for (int c = range.left(); c <= range.right(); ++c) {
            const QRect cell(columnViewportPosition(c), y, columnWidth(c), height);
            if (cell.intersects(area)) region += cell;
        }
    }
    return region;
}

int GridView::verticalOffset() const {
    return int(std::min<int64_t>(rowNumbers_->offset(), INT32_MAX));
}

void GridView::updateGeometries() {
    if (inGeometries_) return;
    inGeometries_ = true;
    QScrollBar* bar = verticalScrollBar();
    {
        // QTableView sizes the vertical bar from its header's rows (none):
        // the bar is put back before anything hears of it.
        const int value = bar->value();
        const int maximum = bar->maximum();
        const QSignalBlocker quiet(bar);
        QTableView::updateGeometries();
        bar->setRange(0, maximum);
        bar->setValue(value);
    }
    const int fit = std::max(1, viewport()->height() / kRowHeight);
    bar->setSingleStep(1);
    bar->setPageStep(fit);
    bar->setRange(0, std::max(0, RowCount() - fit));
    // At the bar's end the rows' place follows the viewport's height.
    if (ScrolledPixels() != rowNumbers_->offset()) {
        rowNumbers_->SetOffset(ScrolledPixels());
        viewport()->update();
        updateEditorGeometries();
    }
    rowNumbers_->viewport()->update();
    inGeometries_ = false;
}

void GridView::scrollContentsBy(int dx, int dy) {
    if (dx) QTableView::scrollContentsBy(dx, 0);
    if (!dy) return;
    const int64_t pixels = rowNumbers_->offset() - ScrolledPixels();
    rowNumbers_->SetOffset(ScrolledPixels());
    if (pixels > -viewport()->height() && pixels < viewport()->height())
        viewport()->scroll(0, int(pixels));
    else
        viewport()->update();
    updateEditorGeometries();
    rowNumbers_->viewport()->update();
}

// The cells in view, drawn as QTableView draws them: the row's panel, then
// the delegate, then the grid lines along the rows and columns drawn.
void GridView::paintEvent(QPaintEvent* event) {
    if (!model()) return;
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    QPainter painter(viewport());
    const QHeaderView* columns = horizontalHeader();
    const int first = FirstRowShown();
    const int last = LastRowShown();
    int firstVisual = columns->visualIndexAt(isRightToLeft() ? viewport()->width() : 0);
    int lastVisual = columns->visualIndexAt(isRightToLeft() ? 0 : viewport()->width());
    if (firstVisual < 0) firstVisual = 0;
    if (lastVisual < 0) lastVisual = columns->count() - 1;
    if (first > last || columns->count() == 0) return;
    if (firstVisual > lastVisual) std::swap(firstVisual, lastVisual);
    const int line = showGrid() ? 1 : 0;
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() && current.isValid();
    const QItemSelectionModel* selected = selectionModel();
    const QRegion dirty = event->region();
    for (int row = first; row <= last; ++row) {
        const int y = RowY(row);
        for (int visual = firstVisual; visual <= lastVisual; ++visual) {
            const int column = columns->logicalIndex(visual);
            if (column < 0 || isColumnHidden(column)) continue;
            const QRect cell(columnViewportPosition(column), y, columnWidth(column) - line,
                             kRowHeight - line);
            if (!dirty.intersects(cell)) continue;
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem option = base;
            option.rect = cell;
            if (selected && selected->isSelected(index)) option.state |= QStyle::State_Selected;
            if (option.state & QStyle::State_Enabled) {
                const bool enabled = model()->flags(index) & Qt::ItemIsEnabled;
                if (!enabled) option.state &= ~QStyle::State_Enabled;
                option.palette.setCurrentColorGroup(!enabled           ? QPalette::Disabled
                                                    : isActiveWindow() ? QPalette::Normal
                                                                       : QPalette::Inactive);
            }
            if (focus && index == current) option.state |= QStyle::State_HasFocus;
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
    if (!showGrid()) return;
    const int gridHint = style()->styleHint(QStyle::SH_Table_GridLineColor, &base, this);
    painter.setPen(QPen(QColor::fromRgba(static_cast<QRgb>(gridHint)), 0, gridStyle()));
    const int right = std::min(viewport()->width(), columns->length() - columns->offset()) - 1;
    const int bottom = RowY(last) + kRowHeight - 1;
    for (int row = first; row <= last; ++row) {
        const int y = RowY(row) + kRowHeight - 1;
        painter.drawLine(0, y, right, y);
    }
    for (int visual = firstVisual; visual <= lastVisual; ++visual) {
        const int column = columns->logicalIndex(visual);
        if (column < 0 || isColumnHidden(column)) continue;
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        painter.drawLine(x, 0, x, bottom);
    }
}

}  // namespace lv
