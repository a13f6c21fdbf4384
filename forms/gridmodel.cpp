#include "forms/gridmodel.h"

#include <QFont>

#include "core/format.h"
#include "core/textcodec.h"
#include "forms/displaytext.h"

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

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

void GridModel::Case(int row, std::span<const lv::GridCell> cells) {
    fill_.Case(row, cells);
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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    std::string bytes;
    try {
        AppendCellBytes(bytes, index.row(), index.column());
    } catch (const std::exception&) {
        // A column whose rendering raises never holds a value; nothing to show.
        return QVariant();
    }
    return Decoded(bytes);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
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
    if (editing_) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !editing_) return false;
    std::string bytes = lv::FromUtf8(value.toString().toStdString(), lv::CurrentFileEncoding());
    std::string current;
    AppendCellBytes(current, index.row(), index.column());
    if (bytes == current) return true;
    grid_.SetEdit(static_cast<uint32_t>(index.row()), index.column(), std::move(bytes));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

size_t GridModel::ValueBytes() const {
    return fill_.store() ? fill_.store()->MemoryBytes() : 0;
}
