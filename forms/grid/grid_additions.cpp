#include "forms/grid/grid_additions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <algorithm>
#include <set>

#include "core/condition/condition_words.h"
#include "core/export/output_file.h"
#include "core/export/table_convert.h"
#include "core/grid/grid_copy.h"
#include "core/grid/grid_search.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/text/grouped_digits.h"
#include "forms/grid/compute_dialog.h"
#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/go_to_dialog.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_navigation.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/name_completer.h"
#include "forms/grid/table_export_dialog.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/modal.h"
#include "forms/seam/progress_dialog.h"
#include "forms/stats/grid_navigator.h"

namespace lv {

namespace {

// Ranges larger than this are confirmed first, and copied as text alone.
constexpr unsigned long long kLargeCopyCells = 1'000'000;

// The save dialog's file types of 形式を選んで書き出す…, in the order of
// lv::TableFormat.
constexpr const char* kTableFilter = "CSV ﾌｧｲﾙ|*.csv|TSV ﾌｧｲﾙ|*.tsv *.tab *.txt|Excel ﾌﾞｯｸ|*.xlsx";

// The data file's name with .csv in place of its extension.
std::string TableInitialName(const std::string& dataFile) {
    const size_t slash = dataFile.rfind('/');
    const size_t dot = dataFile.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? dataFile.substr(0, dot) : dataFile) + ".csv";
}

// 編集を許可 in the settings.
constexpr const char* kAllowEditsKey = "grid/allowEdits";

}  // namespace

bool GridAdditions::labelsOnMoves_ = true;

bool GridAdditions::EditsAllowed() {
    return QSettings().value(kAllowEditsKey, true).toBool();
}

GridAdditions::GridAdditions(QWidget* window, GridView* view, GridModel* model)
    : QObject(window), window_(window), view_(view), model_(model) {
    // The filter bar first: it sits above the find bar, and Tab reaches
    // them in the order they were made.
    filterBar = new FilterBar(window);
    findBar = new FindBar(window, true);

    MakeActions();
    model->SetEditsAllowed(EditsAllowed());
    view->SetAnnounceMoves(labelsOnMoves_);
    // Copy, select all and undo reach the grid through its view when it has
    // the focus (the cell editor would take the keys otherwise); their
    // actions take the keys elsewhere in the window.
    connect(view, &GridView::copyRequested, this,
            [this](bool names) { lv::RunHandler([this, names] { Copy(names); }); });
    connect(view, &GridView::selectAllRequested, this,
            [this] { lv::RunHandler([this] { SelectAll(); }); });
    connect(view, &GridView::undoRequested, this,
            [this] { lv::RunHandler([this] { UndoEdit(); }); });

    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { CellMenu()->popup(view_->viewport()->mapToGlobal(pos)); });
    QHeaderView* header = view->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& pos) {
        const int column = header->logicalIndexAt(pos);
        if (column >= 0) HeaderMenu(column)->popup(header->mapToGlobal(pos));
    });

    connect(findBar, &FindBar::findRequested, this,
            [this](bool backwards) { lv::RunHandler([this, backwards] { Find(backwards); }); });
    connect(findBar, &FindBar::queryChanged, this, [this] { count_.reset(); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { ForgetCount(); });
    connect(findBar, &FindBar::closed, view, [this] { view_->setFocus(); });
    connect(filterBar, &FilterBar::applyRequested, this,
            [this] { lv::RunHandler([this] { ApplyFilter(); }); });
    connect(filterBar, &FilterBar::clearRequested, this,
            [this] { lv::RunHandler([this] { ClearFilter(); }); });
    connect(filterBar, &FilterBar::closed, view, [this] { view_->setFocus(); });
    // A new load shows every case: an earlier count no longer holds.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (!model_->grid().order().selecting()) filterBar->ShowNoFilter();
    });
    // The statistics windows reach the grid through it while it exists.
    navigation_ = std::make_unique<GridNavigation>(window, view, model, this);
    // A key that jumps to a row the index has not reached waits for it.
    view_->SetRowReach([this](int row) { return WaitForIndex(row, row); });
}

GridAdditions::~GridAdditions() = default;

void GridAdditions::MakeActions() {
    for (const ActionSpec& spec : ActionTable()) {
        auto* action = new QAction(QString::fromUtf8(spec.text), this);
        action->setObjectName(QString::fromLatin1(spec.name));
        if (!spec.keys.isEmpty()) {
            action->setShortcut(spec.keys);
            action->setShortcutContext(Qt::WindowShortcut);
            window_->addAction(action);
        }
        action->setCheckable(spec.checkable);
        if (spec.checked) action->setChecked(spec.checked());
        const auto run = spec.run;
        const bool everyCase = spec.everyCase;
        connect(action, &QAction::triggered, this, [this, run, everyCase](bool checked) {
            lv::RunHandler([=, this] {
                // The wait for the index and the work show one dialog.
                const lv::OneProgressDialog oneDialog;
                if (everyCase && !WaitForIndex()) return;
                run(*this, checked);
            });
        });
        this->*spec.action = action;
    }
}

QMenu* GridAdditions::MakeMenu(int ActionSpec::*group) {
    auto* menu = new QMenu(window_);
    std::vector<const ActionSpec*> shown;
    for (const ActionSpec& spec : ActionTable())
        if (spec.*group > 0) shown.push_back(&spec);
    std::stable_sort(shown.begin(), shown.end(), [group](const ActionSpec* a, const ActionSpec* b) {
        return a->*group < b->*group;
    });
    for (size_t i = 0; i < shown.size(); ++i) {
        if (i > 0 && shown[i]->*group != shown[i - 1]->*group) menu->addSeparator();
        menu->addAction(this->*shown[i]->action);
    }
    return menu;
}

void GridAdditions::UpdateStates(int ActionSpec::*group) {
    for (const ActionSpec& spec : ActionTable()) {
        if (spec.*group == 0) continue;
        QAction* action = this->*spec.action;
        if (spec.enabled) action->setEnabled(spec.enabled(*this));
        if (spec.checked) action->setChecked(spec.checked());
    }
}

QMenu* GridAdditions::CellMenu() {
    if (!cellMenu_) cellMenu_ = MakeMenu(&ActionSpec::cellGroup);
    UpdateStates(&ActionSpec::cellGroup);
    return cellMenu_;
}

QMenu* GridAdditions::HeaderMenu(int column) {
    if (!headerMenu_) headerMenu_ = MakeMenu(&ActionSpec::headerGroup);
    menuColumn_ = column;
    UpdateStates(&ActionSpec::headerGroup);
    return headerMenu_;
}

void GridAdditions::ToggleLabels() {
    // The open editor holds the old text: commit it before the texts change.
    view_->CloseEditor();
    model_->SetShowLabels(!model_->showLabels());
    showLabels->setChecked(model_->showLabels());
    // A label cut by its column ends in an ellipsis, so that labels alike at
    // the start differ; values are cut plainly, as ever.
    view_->setTextElideMode(model_->showLabels() ? Qt::ElideRight : Qt::ElideNone);
    view_->ReopenEditor();
    ForgetCount();
}

void GridAdditions::ToggleFormatted() {
    view_->CloseEditor();
    model_->SetShowFormatted(!model_->showFormatted());
    showFormatted->setChecked(model_->showFormatted());
    view_->ReopenEditor();
    ForgetCount();
}

bool GridAdditions::WaitForIndex(int top, int bottom) {
    if (!model_->indexing().running() &&
        model_->indexing().state != lv::IndexProgress::State::Stopped)
        return true;
    int64_t cases = -1;
    // Rows in the file's order show the cases of their numbers.
    if (top >= 0 && model_->grid().order().identity()) cases = int64_t{bottom} + 1;
    lv::DialogProgress waiting(window_, QStringLiteral("索引を作成しています... %1 / %2 ケース"));
    return model_->WaitForCases(cases, &waiting);
}

void GridAdditions::OpenFind() {
    findBar->Open();
}

void GridAdditions::Find(bool backwards) {
    const QString query = findBar->text->text();
    if (query.isEmpty() || !model_->loaded() || model_->rowCount() == 0) {
        findBar->Open();
        return;
    }
    // Matches are counted over every case.
    const lv::OneProgressDialog oneDialog;
    if (!WaitForIndex()) return;
    const lv::TextMatcher matcher(query.toStdString(), findBar->options());
    const QModelIndex current = view_->currentIndex();
    std::vector<int> columns = view_->VisualColumns();
    lv::GridPlace from;
    if (current.isValid()) {
        from.row = static_cast<uint32_t>(current.row());
        if (findBar->currentColumnOnly()) {
            columns = {current.column()};
        } else {
            from.column = static_cast<size_t>(
                std::max(0, view_->horizontalHeader()->visualIndex(current.column())));
        }
    } else if (findBar->currentColumnOnly()) {
        columns.resize(std::min<size_t>(columns.size(), 1));
    }
    if (!count_) {
        lv::DialogProgress counting(window_, QStringLiteral("検索しています..."));
        const auto counted = lv::CountMatches(model_->grid(), matcher, columns, &counting);
        if (!counted) {
            ReportLost();
            return;
        }
        count_ = *counted;
    }
    if (*count_ == 0) {
        findBar->SetStatus(NotFoundText());
        return;
    }
    // The progress dialog is gone before the found cell is made current and
    // selected, so that nothing of its closing moves the focus or selection.
    lv::FindResult found;
    {
        lv::DialogProgress walking(window_, QStringLiteral("検索しています..."));
        found = lv::FindNext(model_->grid(), matcher, columns, from, backwards, &walking);
    }
    if (found.cancelled) {
        ReportLost();
        return;
    }
    if (!found.found) {
        findBar->SetStatus(NotFoundText());
        return;
    }
    view_->GoTo(model_->index(static_cast<int>(found.place.row), columns[found.place.column]),
                false);
    QString status = MatchCountText(*count_);
    if (found.wrapped) status += QStringLiteral("　") + WrapText(backwards);
    findBar->SetStatus(status);
    if (!findBar->isHidden()) findBar->text->setFocus();
}

void GridAdditions::GoTo() {
    const lv::RowOrder& order = model_->grid().order();
    if (!model_->loaded() || order.fileRowCount() == 0) return;
    const int cases = model_->namesInDataRow() ? 0 : static_cast<int>(order.fileRowCount());
    GoToDialog dialog(window_, model_->grid().facts(), cases);
    if (lv::ShowModal(dialog) != QDialog::Accepted) return;
    const QModelIndex current = view_->currentIndex();
    int row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() : view_->horizontalHeader()->logicalIndex(0);
    if (const std::optional<int> n = dialog.CaseNumber()) {
        if (*n < 1 || *n > cases) {
            lv::CurrentDialogs().ShowMessage("ケース番号は 1 から " +
                                             lv::GroupedDigits(int64_t{cases}) + " までです");
            return;
        }
        const uint32_t shown = order.DisplayRowOf(static_cast<uint32_t>(*n - 1));
        if (shown == lv::RowOrder::kNotShown) {
            lv::CurrentDialogs().ShowMessage(
                QStringLiteral("ケース %1 は条件に合わないため表示されていません")
                    .arg(*n)
                    .toStdString());
            return;
        }
        row = static_cast<int>(shown);
    }
    const int variable = dialog.VariableIndex();
    if (variable == -2) {
        lv::CurrentDialogs().ShowMessage("その変数は見つかりません");
        return;
    }
    if (variable >= 0) column = variable;
    // A case the index has not reached yet: moved to once it has, or not at
    // all when the user cancels the wait.
    if (!WaitForIndex(row, row)) return;
    view_->setFocus();
    view_->GoTo(model_->index(row, column), true);
}

bool GridAdditions::SelectedBlock(int* top, int* bottom, std::vector<int>* columns) const {
    // The selected rectangle as it stands on screen: its rows, and its
    // columns in their on-screen order.
    const QItemSelection selection = view_->selectionModel()->selection();
    *top = *bottom = -1;
    std::set<int> logical;
    for (const QItemSelectionRange& range : selection) {
        *top = *top < 0 ? range.top() : std::min(*top, range.top());
        *bottom = std::max(*bottom, range.bottom());
        for (int c = range.left(); c <= range.right(); ++c) logical.insert(c);
    }
    if (logical.empty()) {
        const QModelIndex current = view_->currentIndex();
        if (!current.isValid()) return false;
        *top = *bottom = current.row();
        logical.insert(current.column());
    }
    columns->assign(logical.begin(), logical.end());
    const QHeaderView* header = view_->horizontalHeader();
    std::sort(columns->begin(), columns->end(),
              [header](int a, int b) { return header->visualIndex(a) < header->visualIndex(b); });
    return true;
}

void GridAdditions::Copy(bool withNames) {
    if (!model_->loaded()) return;
    int top = -1, bottom = -1;
    std::vector<int> columns;
    if (!SelectedBlock(&top, &bottom, &columns)) return;
    lv::CopyRange range;
    range.firstRow = static_cast<uint32_t>(top);
    range.endRow = static_cast<uint32_t>(bottom) + 1;
    range.withNames = withNames;
    // Waiting for the rows and copying them show one dialog.
    const lv::OneProgressDialog oneDialog;
    if (!WaitForIndex(top, bottom)) return;
    const unsigned long long cells =
        static_cast<unsigned long long>(range.endRow - range.firstRow) * columns.size();
    if (cells > kLargeCopyCells) {
        const lv::ConfirmAnswer answer = lv::CurrentDialogs().Confirm(
            "コピー",
            lv::GroupedDigits(uint64_t{cells}) +
                " 個のセルをコピーします。セルが多いため、表計算ソフト向けの書式（HTML）は付けず、"
                "テキストだけをコピーします。よろしいですか？");
        if (answer != lv::ConfirmAnswer::Yes) return;
        range.withHtml = false;
    }
    lv::DialogProgress progress(window_, QStringLiteral("コピーしています..."));
    const auto copied = lv::CopyCells(model_->grid(), columns, range, &progress);
    if (!copied) {
        ReportLost();
        return;
    }
    auto* mime = new QMimeData;
    mime->setText(QString::fromStdString(copied->text));
    if (!copied->html.empty()) mime->setHtml(QString::fromStdString(copied->html));
    QApplication::clipboard()->setMimeData(mime);
}

void GridAdditions::ForgetCount() {
    count_.reset();
    findBar->SetStatus(QString());
}

void GridAdditions::ReportLost() {
    if (!model_->grid().lost()) return;
    model_->LostTold();
    lv::CurrentDialogs().Tell(lv::Message{lv::MessageCode::GridFileChanged});
}

void GridAdditions::SelectAll() {
    view_->selectAll();
}

void GridAdditions::Sort(int column, bool descending) {
    if (column < 0 || !model_->loaded() || model_->namesInDataRow()) return;
    view_->CloseEditor();
    lv::DialogProgress progress(window_, QStringLiteral("並べ替えています..."));
    if (model_->Sort(column, descending, &progress)) {
        // The header says that the rows are sorted, by which column and how.
        QHeaderView* header = view_->horizontalHeader();
        header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        header->setSortIndicatorShown(true);
    } else {
        ReportLost();
    }
    view_->ReopenEditor();
    ForgetCount();
}

void GridAdditions::OpenFilter() {
    if (model_->loaded()) filterBar->SetWords(ConditionWordsOf(model_->grid()));
    filterBar->Open();
}

template <typename Change>
void GridAdditions::ChangeShownCases(Change change) {
    const QModelIndex current = view_->currentIndex();
    const lv::GridData& grid = model_->grid();
    const uint32_t fileRow =
        current.isValid() ? grid.FileRow(static_cast<uint32_t>(current.row())) : 0;
    const int column = current.isValid() ? current.column() : 0;
    view_->CloseEditor();
    change();
    if (model_->rowCount() > 0 && model_->columnCount() > column) {
        const uint32_t shown = grid.order().DisplayRowOf(fileRow);
        const int row = shown == lv::RowOrder::kNotShown ? 0 : static_cast<int>(shown);
        view_->SetCurrentQuietly(model_->index(row, column));
    }
    view_->ReopenEditor();
    ForgetCount();
}

void GridAdditions::ApplyFilter() {
    const std::string condition = filterBar->text->text().trimmed().toStdString();
    if (condition.empty()) {
        ClearFilter();
        return;
    }
    if (!model_->loaded() || model_->namesInDataRow()) return;
    const lv::OneProgressDialog oneDialog;
    if (!WaitForIndex()) return;
    lv::GridSelection selection;
    ChangeShownCases([&] {
        lv::DialogProgress progress(window_, QStringLiteral("絞り込んでいます..."));
        selection = model_->Select(condition, &progress);
    });
    switch (selection.status) {
        case lv::GridSelection::Status::Ok:
            filterBar->ShowCount(model_->grid().rowCount(), model_->grid().order().fileRowCount());
            break;
        case lv::GridSelection::Status::BadCondition:
            filterBar->ShowError(QString::fromStdString(selection.error.Text()),
                                 static_cast<int>(selection.error.position));
            break;
        case lv::GridSelection::Status::Stopped:
            ReportLost();
            break;
    }
}

void GridAdditions::ShowOnly(const QString& condition) {
    filterBar->Open();
    filterBar->text->setText(condition);
    ApplyFilter();
}

void GridAdditions::ClearFilter() {
    if (model_->grid().order().selecting()) ChangeShownCases([&] { model_->ClearSelection(); });
    filterBar->ShowNoFilter();
}

void GridAdditions::OriginalOrder() {
    view_->CloseEditor();
    model_->ResetOrder();
    view_->horizontalHeader()->setSortIndicatorShown(false);
    view_->ReopenEditor();
    ForgetCount();
}

void GridAdditions::ExportTable() {
    if (!model_->loaded()) return;
    const std::optional<lv::SaveChoice> target =
        lv::CurrentDialogs().SaveFileAs(kTableFilter, TableInitialName(spssdio1::DataFileName));
    if (!target) return;
    // The typed extension decides when it names a format; else the type chosen.
    const lv::TableTarget output =
        lv::TableTargetOf(target->path, target->filterIndex == 2   ? lv::TableFormat::Xlsx
                                        : target->filterIndex == 1 ? lv::TableFormat::Tsv
                                                                   : lv::TableFormat::Csv);
    const lv::TableFormat format = output.format;
    int top = -1, bottom = -1;
    std::vector<int> selected;
    const bool hasSelection = !model_->namesInDataRow() && SelectedBlock(&top, &bottom, &selected);
    const lv::RowOrder& shown = model_->grid().order();
    const QString filter = shown.selecting() ? lv::FilterNoteText(model_->condition(), shown.size(),
                                                                  shown.fileRowCount())
                                             : QString();
    lv::TableExportDialog dialog(window_, format, lv::RememberedTableExportChoices(), hasSelection,
                                 filter);
    if (lv::ShowModal(dialog) != QDialog::Accepted) return;
    const lv::TableExportChoices choices = dialog.Choices();
    lv::RememberedTableExportChoices() = choices;

    lv::TableOptions options;
    options.format = format;
    options.labels = choices.labels;
    options.header = choices.header;
    options.missingEmpty = choices.missingEmpty;
    options.bom = choices.bom;
    options.crlf = choices.crlf;
    lv::GridRowOrder order = lv::GridRowOrder::Display;
    switch (choices.scope) {
        case lv::TableExportScope::All:
            order = lv::GridRowOrder::File;
            break;
        case lv::TableExportScope::Selection:
            if (hasSelection) {
                options.columns = selected;
                options.firstRow = top + 1;
                options.lastRow = bottom + 1;
            }
            break;
        case lv::TableExportScope::GridOrder:
            options.columns = view_->VisualColumns();
            break;
    }
    // A failed or cancelled write leaves nothing under the chosen name.
    lv::ConvertOutcome outcome = lv::ConvertOutcome::Cancelled;
    try {
        lv::DialogProgress progress(window_, QStringLiteral("書き出しています... %1 / %2"));
        outcome = lv::ConvertGridRows(model_->grid(), options, output.path, &progress, order);
    } catch (const lv::ExportError& e) {
        lv::CurrentDialogs().TellError("形式を選んで書き出す", e.message);
        return;
    }
    if (outcome == lv::ConvertOutcome::Written) lv::CurrentDialogs().Beep();
}

void GridAdditions::UndoEdit() {
    if (!model_->grid().hasEdits()) return;
    // The open editor's text is written back first, so that a change typed
    // and not yet left is the one taken back.
    view_->CloseEditor();
    const QModelIndex cell = model_->UndoEdit();
    if (cell.isValid()) view_->GoTo(cell, false);
    view_->ReopenEditor();
}

void GridAdditions::UndoAllEdits() {
    if (!model_->grid().hasEdits()) return;
    view_->CloseEditor();
    model_->UndoAllEdits();
    view_->ReopenEditor();
}

void GridAdditions::AllowEdits(bool on) {
    QSettings().setValue(kAllowEditsKey, on);
    allowEdits->setChecked(on);
    view_->CloseEditor();
    model_->SetEditsAllowed(on);
    view_->SetEditing(model_->editing());
}

void GridAdditions::LabelsOnMove(bool on) {
    labelsOnMoves_ = on;
    labelsOnMove->setChecked(on);
    view_->SetAnnounceMoves(on);
}

void GridAdditions::ComputeVariable() {
    if (!model_->loaded() || model_->namesInDataRow()) return;
    view_->CloseEditor();
    ComputeDialog dialog(
        window_, ConditionWordsOf(model_->grid()),
        [this](const lv::ComputeSpec& spec) -> std::optional<ComputeDialog::Problem> {
            const auto error = model_->AddComputed(spec);
            if (!error) return std::nullopt;
            // A name's problem has no position in the expression.
            const bool inName =
                error->error.position == 0 &&
                (error->error.message.code == lv::MessageCode::ComputedNameInvalid ||
                 error->error.message.code == lv::MessageCode::ComputedNameTaken);
            return ComputeDialog::Problem{
                QString::fromStdString(error->error.position
                                           ? error->error.Text()
                                           : lv::JapaneseText(error->error.message)),
                inName, static_cast<int>(error->error.position)};
        });
    const bool added = lv::ShowModal(dialog) == QDialog::Accepted;
    view_->ReopenEditor();
    if (!added) return;
    const int column = model_->columnCount() - 1;
    view_->horizontalHeader()->resizeSection(column, model_->pixelWidth(column));
    const QModelIndex current = view_->currentIndex();
    view_->GoTo(model_->index(current.isValid() ? current.row() : 0, column), false);
    ForgetCount();
}

void GridAdditions::RemoveComputed(int column) {
    if (!model_->grid().IsComputed(column)) return;
    view_->CloseEditor();
    // The current cell leaves the column quietly (a move of its own would
    // open the value labels).
    if (const QModelIndex current = view_->currentIndex();
        current.isValid() && current.column() == column)
        view_->SetCurrentQuietly(model_->index(current.row(), column - 1));
    if (const auto error = model_->RemoveComputed(column))
        lv::CurrentDialogs().Tell(error->error.message);
    view_->ReopenEditor();
    ForgetCount();
}

void GridAdditions::FitColumn(int column) {
    if (column >= 0) view_->resizeColumnToContents(column);
}

}  // namespace lv
