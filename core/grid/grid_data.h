// What the data grid shows, without Qt: the layout the load set up, the
// values (behind a CaseStore), the order of the rows, the user's edits and
// whether value labels stand in for the values. Every text of a data cell,
// on screen, in the export, in a search or a copy, comes from here.
//
// Display rows are the grid's rows as they stand (0-based); file rows are
// the cases' positions in the file. Columns are variables' dictionary
// indices; callers pass them in the order they stand on screen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/grid/case_store.h"
#include "core/grid/grid_load.h"
#include "core/grid/row_order.h"
#include "core/rendering/print_format.h"
#include "core/state/japanese_messages.h"  // kLostActionText

namespace lv {

// What the grid says, once, when it finds that its values can no longer be
// read (what an action over many cells says when it stops for that is
// kLostActionText).
inline constexpr const char* kLostNoticeText =
    "データファイルが読み込み後に変更されたか削除されました：読めないセルは空白で表示します"
    "（DATA表示で読み直すか、フォルダのボタンでファイルを開き直してください）";

// What a data cell holds, for its colour and its tooltip.
struct CellFacts {
    CellState state = CellState::Empty;
    bool edited = false;
    bool userMissing = false;
    const std::string* label = nullptr;  // the value's label, when it has one
};

// How a line joins its cells: a separator after every cell (the export's
// blank), or only between cells (tab-separated text).
struct RowJoin {
    char separator = ' ';
    bool afterEvery = true;
};

class GridData {
  public:
    GridData();
    ~GridData();

    // A fresh grid for layout over store: one row per case (one row holding
    // the names when there are no cases), the file's order, no edits,
    // values shown as values.
    void Reset(const GridLayout& layout, std::unique_ptr<CaseStore> store);
    // Columns computed from the others, after the file's (made by
    // core/compute/grid_computed.h): each one's layout and facts, the
    // dictionary with them after the file's variables, and what makes their
    // values (the store, as it reads its cells). Replaces those set before;
    // none takes them away. False, with nothing changed, when the store
    // cannot make them or the facts were not read.
    bool SetComputedColumns(std::vector<GridColumnLayout> columns, std::vector<VariableFacts> facts,
                            std::shared_ptr<const FileDictionary> dictionary,
                            std::shared_ptr<const DerivedColumns> derived);
    // What makes the computed columns' values (null without any), and the
    // dictionary with their variables after the file's (what a pass over
    // the file that counts them takes, as the statistics windows do).
    const std::shared_ptr<const DerivedColumns>& computed() const { return computed_; }
    const std::shared_ptr<const FileDictionary>& sharedDictionary() const { return dictionary_; }
    // The columns of the file's variables (the computed ones follow).
    int fileColumnCount() const { return fileColumns_ >= 0 ? fileColumns_ : layout_.varCount; }
    bool IsComputed(int column) const {
        return column >= fileColumnCount() && column < columnCount();
    }
    // Rows shown (not counting the header); the store may hold fewer.
    void SetRowCount(uint32_t rows);
    // Another store for the same layout, order, edits and labels.
    void SetStore(std::unique_ptr<CaseStore> store);

    bool loaded() const { return loaded_; }
    const GridLayout& layout() const { return layout_; }
    const CaseStore& store() const { return *store_; }
    uint32_t rowCount() const { return order_.size(); }
    int columnCount() const { return layout_.varCount; }
    // A file with no cases shows the names in its one data row.
    bool namesInDataRow() const { return namesInDataRow_; }

    // The row order.
    const RowOrder& order() const { return order_; }
    void SetOrder(std::vector<uint32_t> order) { order_.Assign(std::move(order)); }
    void ResetOrder() { order_.Unsort(); }
    // Shows only the cases at file rows selected (ascending), in the order
    // the rows stand; every search, copy, sort and export then walks them.
    void SelectRows(std::vector<uint32_t> selected) { order_.Select(std::move(selected)); }
    void ClearSelection() { order_.ClearSelection(); }
    void MoveRow(uint32_t from, uint32_t to) { order_.Move(from, to); }
    uint32_t FileRow(uint32_t displayRow) const { return order_.Row(displayRow); }

    // The variables' facts (dictionary order), and whether value labels are
    // shown in place of the values they label. dictionary: the whole
    // dictionary they were taken from, when it was read (what a workbook's
    // dictionary sheet describes); null when none is.
    void SetFacts(std::vector<VariableFacts> facts,
                  std::shared_ptr<const FileDictionary> dictionary = nullptr);
    const std::vector<VariableFacts>& facts() const { return facts_; }
    const FileDictionary* dictionary() const { return dictionary_.get(); }
    // Null when the facts were not read (or the column is out of range).
    const VariableFacts* FactsOf(int column) const;
    void SetShowLabels(bool on);
    bool showLabels() const { return showLabels_; }
    // Whether values are shown in their print formats (labels, when shown,
    // still stand in for the values they label). Columns whose facts were
    // not read keep the plain rendering.
    void SetShowFormatted(bool on);
    bool showFormatted() const { return showFormatted_; }

    // The user's edit of a cell; it moves with its row. Edits are taken
    // back the last first: UndoEdit gives the cell as it stood before the
    // last edit still standing and says which (nothing when none is left);
    // UndoAllEdits gives every cell its value again.
    void SetEdit(uint32_t displayRow, int column, std::string bytes);
    bool hasEdits() const { return !edits_.empty(); }
    size_t editCount() const { return edits_.size(); }
    // Edits set aside: every cell reads as the file holds it (for a write
    // without them) until they are taken up again.
    void SetEditsAside(bool aside) { editsAside_ = aside; }
    struct CellPlace {
        uint32_t displayRow = 0;
        int column = 0;
    };
    std::optional<CellPlace> UndoEdit();
    bool IsEdited(uint32_t displayRow, int column) const;
    // The edit of a cell by its file row, or null.
    const std::string* EditAt(uint32_t fileRow, int column) const;
    void UndoAllEdits();

    // The text of one cell as the grid shows it, in the file's bytes: the
    // edit, else the name (names row), else the label (when shown and the
    // value has one), else the rendered value; nothing for an empty cell.
    // A column whose rendering raises throws its ConversionError.
    void AppendCell(std::string& out, uint32_t displayRow, int column) const;
    // The texts of column at file rows, appended to lines[i] for fileRows[i]:
    // the same texts as AppendCell, a column at a time.
    void AppendColumn(int column, std::span<const uint32_t> fileRows,
                      std::span<std::string> lines) const;
    // The export's lines: the cells of columns joined as join says, for one
    // display row, or for display rows first .. first + lines.size() - 1 (a
    // column at a time over the block; rows past the end get only the
    // separators).
    void AppendRow(std::string& out, uint32_t displayRow, std::span<const int> columns,
                   RowJoin join = {}) const;
    void AppendRows(std::span<std::string> lines, uint32_t firstDisplayRow,
                    std::span<const int> columns, RowJoin join = {}) const;

    // The value of a cell as rendered, whether or not labels are shown or
    // the cell was edited (nothing for a names row or an empty cell).
    void AppendValue(std::string& out, uint32_t displayRow, int column) const;
    // The same in the column's print format, without the format's padding,
    // whether or not formats are shown (nothing without the facts).
    void AppendFormattedValue(std::string& out, uint32_t displayRow, int column) const;
    CellFacts Describe(uint32_t displayRow, int column) const;
    // The header text of a column (the variable's name).
    const std::string& Name(int column) const;

    // Long walks read ahead (see core/grid/read_ahead.h): the rows the store
    // reads at once for columns (0: it needs no reading ahead), and the
    // reading of the values of columns at those file rows (none: what was
    // read is let go).
    uint32_t WindowRows(std::span<const int> columns) const;
    void ReadAhead(std::span<const uint32_t> fileRows, std::span<const int> columns) const;

    // Whether values could no longer be read (the data file changed or went
    // away since the load; those cells read as empty), finding it out now,
    // and whether that is still to be told (true once).
    bool lost() const { return store_ && store_->Lost(); }
    void Recheck() {
        if (store_) store_->Recheck();
    }
    bool TakeLostNotice() { return store_ && store_->TakeLostNotice(); }

    // While the store's index is built on another thread: how far it is,
    // taking up the rows it reached (true when more can be read), and
    // stopping it (see CaseStore).
    IndexProgress indexing() const { return store_ ? store_->Indexing() : IndexProgress{}; }
    bool CatchUp() { return store_ && store_->CatchUp(); }
    void StopIndexing() {
        if (store_) store_->StopIndexing();
    }
    void ResumeIndexing() {
        if (store_) store_->ResumeIndexing();
    }

  private:
    struct ColumnMemo;
    void AppendNumbers(int column, std::span<const uint32_t> fileRows,
                       std::span<std::string> lines) const;
    void AppendStrings(int column, std::span<const uint32_t> fileRows,
                       std::span<std::string> lines) const;
    void ClearMemos() const;
    // The print format's text of a number cell or a string, aligned as the
    // column aligns its values.
    void AppendFormattedNumber(std::string& out, int column, const NumberCell& cell) const;
    void AppendFormattedString(std::string& out, int column, const StringCell& cell) const;
    const FormatRender* FormatOf(int column) const;
    static uint64_t Key(uint32_t fileRow, int column) {
        return (static_cast<uint64_t>(fileRow) << 32) | static_cast<uint32_t>(column);
    }

    GridLayout layout_;
    int fileColumns_ = -1;  // -1: no computed column
    std::shared_ptr<const DerivedColumns> computed_;
    std::unique_ptr<CaseStore> store_;
    RowOrder order_;
    bool loaded_ = false;
    bool namesInDataRow_ = false;
    bool showLabels_ = false;
    bool showFormatted_ = false;
    std::shared_ptr<const FileDictionary> dictionary_;
    std::vector<VariableFacts> facts_;
    std::vector<FormatRender> formats_;  // per column, from the facts
    std::unordered_map<uint64_t, std::string> edits_;
    // Each edit's cell and what the cell held before it (nothing: its value).
    struct PastEdit {
        uint64_t key;
        std::optional<std::string> before;
    };
    std::vector<PastEdit> history_;
    std::vector<uint32_t> editsPerColumn_;
    bool editsAside_ = false;
    mutable std::vector<std::unique_ptr<ColumnMemo>> memos_;
    // How the display encoding's characters are laid out, for the encoding named.
    mutable std::string charsEncoding_;
    mutable CharLayout chars_ = CharLayout::SingleByte;
    mutable size_t memoCount_ = 0;
    mutable std::vector<NumberCell> numbers_;
    mutable std::vector<StringCell> strings_;
    mutable std::vector<uint32_t> blockRows_;
};

}  // namespace lv
