// The data grid's model: the values the load read, kept per column in
// compact adaptive form, their texts rendered on demand, plus a sparse map
// of the user's edits. It is the consumer of the core grid load.
#ifndef LORIVANE_FORMS_GRIDMODEL_H
#define LORIVANE_FORMS_GRIDMODEL_H

#include <QAbstractTableModel>
#include <QHash>
#include <array>
#include <bitset>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/gridcolumns.h"
#include "core/gridload.h"

class GridModel : public QAbstractTableModel, public lv::GridLoadConsumer {
    Q_OBJECT
  public:
    // Before any load the grid has its design shape: 5 columns and 10 rows,
    // all empty (one of each as headers).
    explicit GridModel(QObject* parent = nullptr);

    // lv::GridLoadConsumer
    void Layout(const lv::GridLayout& layout) override;
    void EditingOn() override;
    void Case(int row, std::span<const lv::GridCell> cells) override;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The bytes of a data cell (logical row and column): the user's edit
    // when there is one, else the rendered value; nothing for an empty cell.
    void AppendCellBytes(std::string& out, int row, int column) const;
    // The bytes of the cells of row in the given (logical) columns, each
    // followed by a blank, as AppendCellBytes gives them: the export's rows.
    void AppendRowBytes(std::string& out, int row, std::span<const int> columns) const;
    // The same for several rows, lines[i] receiving row rows[i]; walks the
    // columns' storage in order, a column at a time.
    void AppendRowsBytes(std::span<std::string> lines, std::span<const int> rows,
                         std::span<const int> columns) const;
    // The bytes of a column's header text (the variable's name). Without a
    // header row (a file with no cases) the names stand in the one data row.
    std::string HeaderBytes(int column) const;

    // Whether the names stand in the data row 0 instead of the header row.
    bool namesInDataRow() const { return namesInDataRow_; }
    bool editing() const { return editing_; }
    bool loaded() const { return loaded_; }
    int pixelWidth(int column) const;
    const lv::GridLayout& layout() const { return layout_; }
    // Memory held by the cell values (for the benchmark).
    size_t ValueBytes() const;

  signals:
    void editingSwitchedOn();

  private:
    QString Decoded(const std::string& bytes) const;
    static quint64 Key(int row, int column) {
        return (static_cast<quint64>(row) << 32) | static_cast<quint32>(column);
    }

    // The cell texts of a one-byte column's codes, each rendered the first
    // time an export row meets it (for the scale it was rendered with).
    struct CodeTexts {
        int scale = 0;
        std::bitset<256> ready;
        std::array<std::string, 256> text;
    };
    // A data cell rendered from its column's storage (no edit, no names row).
    void AppendStoredCell(std::string& out, int row, int column) const;
    const std::string& CodeText(int column, const lv::NumericColumn& values, int8_t code) const;

    lv::GridLayout layout_;
    mutable std::vector<std::unique_ptr<CodeTexts>> codeTexts_;
    bool loaded_ = false;
    bool editing_ = false;
    bool namesInDataRow_ = false;
    int rows_ = 9;
    int columns_ = 4;
    std::vector<lv::NumericColumn> numeric_;
    std::vector<lv::StringColumn> strings_;
    std::vector<int> slot_;  // per column: index into numeric_ or strings_
    QHash<quint64, std::string> edits_;
};

#endif
