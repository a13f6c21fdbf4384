#include "forms/grid/grid_model.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QThread>

#include "core/compute/grid_computed.h"
#include "core/grid/edited_cell.h"
#include "core/grid/grid_sort.h"
#include "core/rendering/format_traits.h"
#include "core/rendering/specifier_format.h"
#include "core/state/dialogs.h"
#include "core/state/message.h"
#include "core/text/display_encoding.h"
#include "core/text/text_match.h"
#include "forms/seam/display_text.h"
#include "forms/seam/error_handler.h"

namespace lv {

namespace {

// The colour of user-missing values: muted against the white cells.
constexpr QRgb kMutedColour = 0xFF8C8C8C;
// The name of a computed column: a blue apart from the file's black names.
constexpr QRgb kComputedColour = 0xFF1F5FA8;
// The background of an edited cell: a pale yellow, seen at a glance.
constexpr QRgb kEditedColour = 0xFFFFF0B0;
// How often the rows the index reached are taken up and shown.
constexpr int kIndexLookMs = 200;
// How long a wait for the index sleeps between two looks.
constexpr unsigned long kIndexWaitMs = 10;

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
    indexTimer_.setInterval(kIndexLookMs);
    connect(&indexTimer_, &QTimer::timeout, this, [this] { TakeIndexed(); });
}

void GridModel::CasesEnded(int cut) {
    fill_.CasesEnded(cut);
    // A damage found before the grid shows was told by the load.
    damageTold_ = fill_.damagedFirst();
    if (grid_.indexing().running()) indexTimer_.start();
}

void GridModel::TakeIndexed() {
    const int before = static_cast<int>(std::min<uint32_t>(grid_.store().RowCount(), INT32_MAX));
    const bool grew = grid_.CatchUp();
    const lv::IndexProgress p = grid_.indexing();
    // Only the rows reached now show other cells: an editor open above them
    // keeps what is typed in it.
    if (grew && grid_.order().identity() && rows_ > 0 && columns_ > 0) {
        const int after =
            static_cast<int>(std::min<uint32_t>(grid_.store().RowCount(), uint32_t(rows_)));
        if (after > before)
            emit dataChanged(index(std::min(before, rows_ - 1), 0), index(after - 1, columns_ - 1));
    } else if (grew) {
        RefreshAll();
    }
    if (!p.running()) indexTimer_.stop();
    emit indexProgressed(p.indexed, p.expected, p.running());
    if (p.state == lv::IndexProgress::State::Damaged && !damageTold_) {
        damageTold_ = true;
        lv::RunHandler(
            [] { lv::CurrentDialogs().Tell(lv::Message{lv::MessageCode::DataReadTrouble}); });
    }
    if (grid_.lost()) NoticeLost();
}

void GridModel::StopIndexing() {
    grid_.StopIndexing();
    TakeIndexed();
}

void GridModel::ResumeIndexing() {
    if (grid_.indexing().state != lv::IndexProgress::State::Stopped) return;
    grid_.ResumeIndexing();
    indexTimer_.start();
}

bool GridModel::WaitForCases(int64_t cases, lv::Progress* progress) {
    ResumeIndexing();
    for (;;) {
        const lv::IndexProgress p = grid_.indexing();
        const int64_t wanted = cases < 0 ? p.expected : std::min(cases, p.expected);
        if (!p.running() || p.indexed >= wanted) break;
        if (!lv::Continue(progress, uint64_t(p.indexed), uint64_t(wanted))) return false;
        QThread::msleep(kIndexWaitMs);
    }
    TakeIndexed();
    return true;
}

void GridModel::Layout(const lv::GridLayout& layout) {
    beginResetModel();
    fill_.Layout(layout);
    rows_ = static_cast<int>(std::min<uint32_t>(grid_.rowCount(), INT32_MAX - 1));
    columns_ = layout.varCount;
    endResetModel();
}

void GridModel::EditingOn() {
    editing_ = true;
    emit editingSwitchedOn();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

int GridModel::pixelWidth(int column) const {
    if (!loaded() || column < 0 || column >= columns_) return lv::kDefaultColumnPixels;
    return layout().columns[column].pixelWidth;
}

void GridModel::AppendCellBytes(std::string& out, int row, int column) const {
    if (row < 0 || row >= rows_) return;
    grid_.AppendCell(out, static_cast<uint32_t>(row), column);
}

// The grid changes first (or not at all); the views hear of the column
// as its count changes.
std::optional<lv::ComputeError> GridModel::AddComputed(const lv::ComputeSpec& spec) {
    auto error = lv::AddGridComputed(grid_, spec, lv::DisplayEncoding());
    if (error || grid_.columnCount() <= columns_) return error;
    beginInsertColumns(QModelIndex(), columns_, grid_.columnCount() - 1);
    columns_ = grid_.columnCount();
    endInsertColumns();
    return std::nullopt;
}

std::optional<lv::ComputeError> GridModel::RemoveComputed(int column) {
    if (!grid_.IsComputed(column)) return std::nullopt;
    auto error = lv::RemoveGridComputed(grid_, column, lv::DisplayEncoding());
    if (error) return error;
    beginRemoveColumns(QModelIndex(), column, column);
    columns_ = grid_.columnCount();
    endRemoveColumns();
    return std::nullopt;
}

void GridModel::MoveRow(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= rows_ || to >= rows_ || !loaded()) return;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), from < to ? to + 1 : to);
    grid_.MoveRow(static_cast<uint32_t>(from), static_cast<uint32_t>(to));
    endMoveRows();
}

std::string GridModel::HeaderBytes(int column) const {
    if (!loaded() || column < 0 || column >= columns_) return std::string();
    if (namesInDataRow()) {
        std::string text;
        AppendCellBytes(text, 0, column);
        return text;
    }
    return grid_.Name(column);
}

QString GridModel::Decoded(const std::string& bytes) const {
    bool ascii = true;
    for (unsigned char ch : bytes) {
        if (ch >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
                 : lv::FileText(bytes);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    if (role == Qt::ForegroundRole) {
        // User-missing values in a muted colour; every other cell as it was.
        const lv::VariableFacts* facts = grid_.FactsOf(index.column());
        if (!facts || !facts->missing().any()) return QVariant();
        const lv::CellFacts cell =
            grid_.Describe(static_cast<uint32_t>(index.row()), index.column());
        return cell.userMissing && !cell.edited ? QVariant(QColor(kMutedColour)) : QVariant();
    }
    if (role == Qt::BackgroundRole) {
        if (!grid_.hasEdits() ||
            !grid_.IsEdited(static_cast<uint32_t>(index.row()), index.column()))
            return QVariant();
        return QVariant(QColor(kEditedColour));
    }
    if (role == Qt::ToolTipRole) return CellToolTip(index);
    if (role == kEditedRole)
        return grid_.hasEdits() &&
               grid_.IsEdited(static_cast<uint32_t>(index.row()), index.column());
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    std::string bytes;
    try {
        AppendCellBytes(bytes, index.row(), index.column());
    } catch (const std::exception&) {
        // A column whose rendering raises never holds a value; nothing to show.
        return QVariant();
    }
    if (grid_.lost()) NoticeLost();
    return Decoded(bytes);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && !namesInDataRow())
        return HeaderToolTip(section);
    // A computed column's name in its own colour.
    if (role == Qt::ForegroundRole && orientation == Qt::Horizontal && grid_.IsComputed(section))
        return QVariant(QColor(kComputedColour));
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (namesInDataRow()) return QString();
        return Decoded(HeaderBytes(section));
    }
    if (!loaded() || namesInDataRow()) return QString();
    // The case number stays with its case wherever the row stands.
    const uint32_t fileRow = section >= 0 && static_cast<uint32_t>(section) < grid_.rowCount()
                                 ? grid_.FileRow(static_cast<uint32_t>(section))
                                 : static_cast<uint32_t>(section);
    return QString::fromStdString(lv::Format("%8d", {static_cast<int32_t>(fileRow + 1)}));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editing() && !grid_.IsComputed(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !editing()) return false;
    // Qt writes the editor's text back whenever the current cell moves; a
    // text the user left as shown keeps the cell's bytes, even bytes that
    // would not come back the same from a decode and encode.
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString()) return true;
    const std::string typed = text.toStdString();
    const int column = index.column();
    if (!namesInDataRow() && column < columns_ && layout().columns[column].stringWidth == 0 &&
        !lv::ReadsAsNumber(typed)) {
        // The question takes the focus from the editor, which writes its
        // text back again meanwhile: that one is not asked.
        if (confirming_) return false;
        confirming_ = true;
        const std::string name = Decoded(grid_.Name(column)).trimmed().toStdString();
        const lv::ConfirmAnswer answer = lv::CurrentDialogs().Confirm(
            "確認", "「" + typed + "」は数値ではありません。数値の変数 " + name +
                        " にこのまま入力しますか？ 入力する（はい）／ 元のまま（いいえ）");
        confirming_ = false;
        if (answer != lv::ConfirmAnswer::Yes) return false;
    }
    const std::string& encoding = lv::DisplayEncoding();
    std::string unencodable;
    std::optional<std::string> bytes = lv::FromUtf8(typed, encoding, &unencodable);
    if (!bytes) {
        lv::CurrentDialogs().ShowMessage("「" + unencodable + "」はファイルの文字コード（" +
                                         encoding + "）で表せません：セルは元のままです");
        return false;
    }
    grid_.SetEdit(static_cast<uint32_t>(index.row()), index.column(), std::move(*bytes));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit editsChanged();
    return true;
}

QModelIndex GridModel::UndoEdit() {
    const std::optional<lv::GridData::CellPlace> place = grid_.UndoEdit();
    if (!place || place->displayRow >= static_cast<uint32_t>(rows_)) return QModelIndex();
    const QModelIndex cell = index(static_cast<int>(place->displayRow), place->column);
    emit dataChanged(cell, cell);
    emit editsChanged();
    return cell;
}

void GridModel::UndoAllEdits() {
    if (!grid_.hasEdits()) return;
    grid_.UndoAllEdits();
    RefreshAll();
    emit editsChanged();
}

void GridModel::CheckFile() {
    if (grid_.lost() || !loaded()) return;
    grid_.Recheck();
    if (grid_.lost()) NoticeLost();
}

void GridModel::NoticeLost() const {
    if (lostSeen_) return;
    lostSeen_ = true;
    // Not from inside a paint: the message box and the repaint come after.
    QMetaObject::invokeMethod(
        const_cast<GridModel*>(this), [this] { const_cast<GridModel*>(this)->ShowLostNotice(); },
        Qt::QueuedConnection);
}

void GridModel::ShowLostNotice() {
    RefreshAll();
    if (grid_.TakeLostNotice())
        lv::RunHandler([] { lv::CurrentDialogs().ShowMessage(lv::kLostNoticeText); });
}

void GridModel::LostTold() {
    lostSeen_ = true;
    grid_.TakeLostNotice();
    RefreshAll();
}

void GridModel::RefreshAll() {
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

template <typename Change>
void GridModel::ChangeRows(Change change) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    change();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridModel::SetFacts(std::vector<lv::VariableFacts> facts,
                         std::shared_ptr<const lv::FileDictionary> dictionary) {
    grid_.SetFacts(std::move(facts), std::move(dictionary));
    RefreshAll();
}

void GridModel::SetShowLabels(bool on) {
    if (on == grid_.showLabels()) return;
    grid_.SetShowLabels(on);
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1),
                         {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::SetShowFormatted(bool on) {
    if (on == grid_.showFormatted()) return;
    grid_.SetShowFormatted(on);
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1),
                         {Qt::DisplayRole, Qt::EditRole});
}

bool GridModel::Sort(int column, bool descending, lv::Progress* progress) {
    auto order =
        lv::SortedOrder(grid_, lv::SortKey{column, descending}, grid_.order().Whole(), progress);
    if (!order) return false;
    ChangeRows([&] { grid_.SetOrder(std::move(*order)); });
    return true;
}

void GridModel::ResetOrder() {
    if (grid_.order().identity()) return;
    ChangeRows([&] { grid_.ResetOrder(); });
}

lv::GridSelection GridModel::Select(const std::string& condition, lv::Progress* progress) {
    lv::GridSelection selection =
        lv::SelectGridRows(grid_, condition, lv::DisplayEncoding(), progress);
    if (selection.status != lv::GridSelection::Status::Ok) return selection;
    beginResetModel();
    condition_ = condition;
    grid_.SelectRows(selection.rows);
    rows_ = static_cast<int>(std::min<uint32_t>(grid_.rowCount(), INT32_MAX - 1));
    endResetModel();
    return selection;
}

const std::string& GridModel::condition() const {
    static const std::string none;
    return grid_.order().selecting() ? condition_ : none;
}

void GridModel::ClearSelection() {
    if (!grid_.order().selecting()) return;
    beginResetModel();
    grid_.ClearSelection();
    rows_ = static_cast<int>(std::min<uint32_t>(grid_.rowCount(), INT32_MAX - 1));
    endResetModel();
}

QStringList GridModel::VariableLines(const lv::VariableFacts& facts) const {
    QStringList lines;
    QString name = QStringLiteral("変数名: ") + Decoded(facts.name);
    if (!facts.longName.empty()) name += QStringLiteral(" (") + Decoded(facts.longName) + ')';
    lines << name;
    if (!facts.label.empty()) lines << QStringLiteral("変数ラベル: ") + Decoded(facts.label);
    return lines;
}

QVariant GridModel::HeaderToolTip(int column) const {
    const lv::VariableFacts* facts = grid_.FactsOf(column);
    if (!facts) return QVariant();
    QStringList lines = VariableLines(*facts);
    if (facts->format.type != 0)
        lines << QStringLiteral("書式: ") + QString::fromStdString(lv::FormatText(facts->format));
    if (grid_.IsComputed(column))
        lines << QStringLiteral("計算した変数（データファイルにはありません）")
              << QStringLiteral("式: ") + QString::fromStdString(facts->variable.expression);
    return lines.join('\n');
}

QVariant GridModel::CellToolTip(const QModelIndex& index) const {
    const lv::VariableFacts* facts = grid_.FactsOf(index.column());
    if (!facts || namesInDataRow()) return QVariant();
    const uint32_t row = static_cast<uint32_t>(index.row());
    const lv::CellFacts cell = grid_.Describe(row, index.column());
    QStringList lines = VariableLines(*facts);
    // The whole text, however narrow the column: the value as rendered (the
    // edit for an edited cell, with the value it replaced), its label beside it.
    std::string text, original;
    try {
        if (cell.edited) AppendCellBytes(text, index.row(), index.column());
        grid_.AppendValue(cell.edited ? original : text, row, index.column());
    } catch (const std::exception&) {
        text.clear();
        original.clear();
    }
    lines << QStringLiteral("値: ") + Decoded(std::string(lv::WithoutPadding(text))) +
                 (cell.edited ? QStringLiteral("（編集済み）") : QString());
    // The value in its print format, when that reads otherwise.
    std::string formatted;
    if (!cell.edited) grid_.AppendFormattedValue(formatted, row, index.column());
    if (!formatted.empty() && formatted != lv::WithoutPadding(text))
        lines << QStringLiteral("書式どおり: ") + Decoded(formatted);
    if (cell.edited)
        lines << QStringLiteral("元の値: ") + Decoded(std::string(lv::WithoutPadding(original)));
    if (cell.label) lines << QStringLiteral("値ラベル: ") + Decoded(*cell.label);
    if (cell.userMissing) lines << QStringLiteral("ユーザー欠損値");
    return lines.join('\n');
}

}  // namespace lv
