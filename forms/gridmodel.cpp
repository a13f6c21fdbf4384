#include "forms/gridmodel.h"

#include <QFont>

#include "core/dialogs.h"
#include "core/format.h"
#include "core/textcodec.h"
#include "forms/displaytext.h"

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::Layout(const lv::GridLayout& layout) {
    beginResetModel();
    layout_ = layout;
    loaded_ = true;
    namesInDataRow_ = layout.caseCount <= 0;
    rows_ = static_cast<int>(std::min<long long>(layout.RowCount() - 1, INT32_MAX - 1));
    if (namesInDataRow_) rows_ = 1;
    columns_ = layout.varCount;
    const size_t expected = layout.caseCount > 0 ? static_cast<size_t>(layout.caseCount) : 0;
    numeric_.clear();
    strings_.clear();
    slot_.assign(columns_, 0);
    for (int c = 0; c < columns_; ++c) {
        const lv::GridColumnLayout& col = layout.columns[c];
        if (col.stringWidth != 0) {
            slot_[c] = static_cast<int>(strings_.size());
            strings_.emplace_back(col.stringWidth);
            strings_.back().Reserve(std::min<size_t>(expected, 1u << 26));
        } else {
            slot_[c] = static_cast<int>(numeric_.size());
            numeric_.emplace_back();
            numeric_.back().Reserve(std::min<size_t>(expected, 1u << 26));
        }
    }
    edits_.clear();
    codeTexts_.clear();
    endResetModel();
}

void GridModel::EditingOn() {
    editing_ = true;
    emit editingSwitchedOn();
}

// Cases arrive in row order, so each value is appended to its column.
void GridModel::Case(int /*row*/, std::span<const lv::GridCell> cells) {
    for (size_t c = 0; c < cells.size(); ++c) {
        const lv::GridCell& cell = cells[c];
        if (layout_.columns[c].stringWidth != 0) {
            lv::StringColumn& col = strings_[slot_[c]];
            if (cell.kind == lv::GridCell::Kind::Text)
                col.AppendValue(cell.text);
            else
                col.AppendEmpty();
        } else {
            lv::NumericColumn& col = numeric_[slot_[c]];
            switch (cell.kind) {
                case lv::GridCell::Kind::Number:
                    col.AppendValue(cell.number);
                    break;
                case lv::GridCell::Kind::Sysmis:
                    col.AppendSysmis();
                    break;
                default:
                    col.AppendEmpty();
                    break;
            }
        }
    }
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

int GridModel::pixelWidth(int column) const {
    if (!loaded_ || column < 0 || column >= columns_) return lv::kDefaultColumnPixels;
    return layout_.columns[column].pixelWidth;
}

// A numeric cell's text from its stored value ("." for system-missing,
// nothing for a cell the load left empty).
static void AppendNumeric(std::string& out, const lv::GridColumnLayout& col,
                          const lv::NumericColumn& values, int row) {
    double v = 0;
    switch (values.Get(row, v)) {
        case lv::CellState::Value:
            col.render.AppendValue(out, v);
            break;
        case lv::CellState::Sysmis:
            col.render.AppendSysmis(out);
            break;
        case lv::CellState::Empty:
            break;
    }
}

void GridModel::AppendCellBytes(std::string& out, int row, int column) const {
    if (!loaded_ || row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
    if (!edits_.isEmpty()) {
        auto it = edits_.constFind(Key(row, column));
        if (it != edits_.constEnd()) {
            out.append(*it);
            return;
        }
    }
    if (namesInDataRow_) {
        out.append(layout_.columns[column].name);
        return;
    }
    const lv::GridColumnLayout& col = layout_.columns[column];
    if (col.stringWidth != 0) {
        thread_local std::string value;
        value.clear();
        if (strings_[slot_[column]].Get(row, value) == lv::CellState::Value)
            col.render.AppendText(out, value);
        return;
    }
    AppendNumeric(out, col, numeric_[slot_[column]], row);
}

void GridModel::AppendStoredCell(std::string& out, int row, int column) const {
    const lv::GridColumnLayout& col = layout_.columns[column];
    if (col.stringWidth != 0) {
        std::string_view stored;
        size_t blanks = 0;
        if (strings_[slot_[column]].View(row, stored, blanks) == lv::CellState::Value)
            col.render.AppendPaddedText(out, stored, blanks);
        return;
    }
    const lv::NumericColumn& values = numeric_[slot_[column]];
    if (values.form() == lv::NumericColumn::Form::Int8) {
        if (!values.IsEmptyAt(row)) out.append(CodeText(column, values, values.CodeAt(row)));
        return;
    }
    AppendNumeric(out, col, values, row);
}

void GridModel::AppendRowBytes(std::string& out, int row, std::span<const int> columns) const {
    // Edits and the names row go cell by cell; otherwise each column's
    // values are rendered straight from their compact storage.
    const bool direct = loaded_ && !namesInDataRow_ && edits_.isEmpty() && row >= 0 && row < rows_;
    for (const int column : columns) {
        if (direct && column >= 0 && column < columns_)
            AppendStoredCell(out, row, column);
        else
            AppendCellBytes(out, row, column);
        out.push_back(' ');
    }
}

void GridModel::AppendRowsBytes(std::span<std::string> lines, std::span<const int> rows,
                                std::span<const int> columns) const {
    bool direct = loaded_ && !namesInDataRow_ && edits_.isEmpty();
    for (const int row : rows) direct = direct && row >= 0 && row < rows_;
    if (!direct) {
        for (size_t i = 0; i < rows.size(); ++i) AppendRowBytes(lines[i], rows[i], columns);
        return;
    }
    // A column at a time over the block: each column's cells of consecutive
    // rows lie together, where a row at a time would touch every column's
    // storage once per row.
    for (const int column : columns) {
        const bool valid = column >= 0 && column < columns_;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (valid)
                AppendStoredCell(lines[i], rows[i], column);
            else
                AppendCellBytes(lines[i], rows[i], column);
            lines[i].push_back(' ');
        }
    }
}

const std::string& GridModel::CodeText(int column, const lv::NumericColumn& values,
                                       int8_t code) const {
    if (codeTexts_.size() != static_cast<size_t>(columns_)) codeTexts_.resize(columns_);
    std::unique_ptr<CodeTexts>& texts = codeTexts_[column];
    if (!texts || texts->scale != values.scale()) {
        texts = std::make_unique<CodeTexts>();
        texts->scale = values.scale();
    }
    const size_t i = static_cast<uint8_t>(code);
    std::string& text = texts->text[i];
    if (!texts->ready[i]) {
        const lv::ColumnRender& render = layout_.columns[column].render;
        double v = 0;
        if (values.DecodeCode(code, v) == lv::CellState::Value)
            render.AppendValue(text, v);
        else
            render.AppendSysmis(text);
        texts->ready[i] = true;
    }
    return text;
}

std::string GridModel::HeaderBytes(int column) const {
    if (!loaded_ || column < 0 || column >= columns_) return std::string();
    if (namesInDataRow_) {
        std::string text;
        AppendCellBytes(text, 0, column);
        return text;
    }
    return layout_.columns[column].name;
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
        if (namesInDataRow_) return QString();
        return Decoded(HeaderBytes(section));
    }
    if (!loaded_ || namesInDataRow_) return QString();
    return QString::fromStdString(lv::Format("%8d", {static_cast<int32_t>(section + 1)}));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editing_) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !editing_) return false;
    // Qt writes the editor's text back whenever the current cell moves; a
    // text the user left as shown keeps the cell's bytes, even bytes that
    // would not come back the same from a decode and encode.
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString()) return true;
    const std::string& encoding = lv::DisplayEncoding();
    std::string unencodable;
    std::optional<std::string> bytes = lv::FromUtf8(text.toStdString(), encoding, &unencodable);
    if (!bytes) {
        lv::CurrentDialogs().ShowMessage("「" + unencodable + "」はファイルの文字コード（" +
                                         encoding + "）で表せません：セルは元のままです");
        return false;
    }
    edits_.insert(Key(index.row(), index.column()), std::move(*bytes));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

size_t GridModel::ValueBytes() const {
    size_t total = 0;
    for (const auto& c : numeric_) total += c.MemoryBytes();
    for (const auto& c : strings_) total += c.MemoryBytes();
    return total;
}
