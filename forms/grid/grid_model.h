// The data grid's model: a Qt face of lv::GridData (core/grid/grid_data.h), which
// holds the layout, the order, the edits and renders every text. It is the
// consumer of the core grid load, which leaves it reading every value back
// from the data file on demand (core/grid/grid_fill.h).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>
#include <span>
#include <string>
#include <vector>

#include "core/compute/computed_variables.h"
#include "core/dictionary/variable_facts.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_fill.h"
#include "core/grid/grid_load.h"
#include "core/selection/grid_selection.h"
#include "core/state/progress.h"

namespace lv {

// A data cell's role answering true when the user edited it (the view marks it).
inline constexpr int kEditedRole = Qt::UserRole + 1;

class GridModel : public QAbstractTableModel, public lv::GridLoadConsumer {
    Q_OBJECT
  public:
    // Before any load the grid has its design shape: 5 columns and 10 rows,
    // all empty (one of each as headers).
    explicit GridModel(QObject* parent = nullptr);

    // lv::GridLoadConsumer
    void Layout(const lv::GridLayout& layout) override;
    void EditingOn() override;
    bool TakesValues() const override { return false; }
    int LastCase() const override { return fill_.LastCase(); }
    void Case(int, std::span<const lv::GridCell>) override {}
    void CasesEnded(int cut) override;

    // The load shows the first cases and leaves the rest of the index to a
    // thread of its own (the window); off, it reads every case first.
    void IndexInBackground(bool on) { fill_.IndexInBackground(on); }
    // How far that index is, and stopping and taking it up again (the
    // window closed and shown again).
    lv::IndexProgress indexing() const { return grid_.indexing(); }
    // The data ended before the first screen's cases (a failed load).
    bool damagedFirst() const { return fill_.damagedFirst(); }
    void StopIndexing();
    void ResumeIndexing();
    // Waits until the index holds the first `cases` cases of the file (-1:
    // every case), taking up what it finds: false when progress said stop.
    // What needs every case, or a row past the index, waits so.
    bool WaitForCases(int64_t cases, lv::Progress* progress);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A text that is not a number in a numeric cell is entered only when
    // the user confirms it.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The bytes of a data cell (row as shown, logical column), as
    // lv::GridData::AppendCell gives them.
    void AppendCellBytes(std::string& out, int row, int column) const;
    // The variables' facts (read after the load), for labels, missing
    // values and tooltips.
    void SetFacts(std::vector<lv::VariableFacts> facts,
                  std::shared_ptr<const lv::FileDictionary> dictionary = nullptr);
    // Value labels in place of the values they label (or not).
    void SetShowLabels(bool on);
    bool showLabels() const { return grid_.showLabels(); }
    // Values in their print formats (書式どおりに表示).
    void SetShowFormatted(bool on);
    bool showFormatted() const { return grid_.showFormatted(); }
    // Sorts the rows by a column (stably from the order they stand in);
    // false, with nothing changed, when progress says stop.
    bool Sort(int column, bool descending, lv::Progress* progress);
    // The file's order again.
    void ResetOrder();
    // Shows only the cases condition selects (in the order they stand);
    // a bad condition leaves the rows as they were.
    lv::GridSelection Select(const std::string& condition, lv::Progress* progress);
    // Every case again.
    void ClearSelection();
    // The condition of the cases shown (UTF-8); empty when every case is.
    const std::string& condition() const;

    // A computed column after the others (core/compute/grid_computed.h),
    // or a computed column taken away; an error changes nothing.
    std::optional<lv::ComputeError> AddComputed(const lv::ComputeSpec& spec);
    std::optional<lv::ComputeError> RemoveComputed(int column);

    // Moves the row shown at from to to (a row dragged by its case number):
    // the row's cells, case number and edits go with it.
    void MoveRow(int from, int to);

    // The bytes of a column's header text (the variable's name). Without a
    // header row (a file with no cases) the names stand in the one data row.
    std::string HeaderBytes(int column) const;

    // Edits taken back (the cell shown as before), the last first: the
    // cell the undo changed (invalid when there was no edit), or all of them.
    QModelIndex UndoEdit();
    void UndoAllEdits();
    // Edits set aside, or taken up again (lv::GridData::SetEditsAside).
    void SetEditsAside(bool aside) { grid_.SetEditsAside(aside); }
    // Whether the user lets the cells be edited; off, the grid is read-only
    // even once the load has switched editing on.
    void SetEditsAllowed(bool on) { editsAllowed_ = on; }

    bool namesInDataRow() const { return grid_.namesInDataRow(); }
    bool editing() const { return editing_ && editsAllowed_; }
    bool loaded() const { return grid_.loaded(); }
    int pixelWidth(int column) const;
    const lv::GridLayout& layout() const { return grid_.layout(); }
    const lv::GridData& grid() const { return grid_; }

    // Finds out whether the data file is still the one loaded (the view asks
    // before it paints). When it is not, or a read found it changed, the
    // cells it can no longer read show empty and the grid says so once,
    // after the event that found it.
    void CheckFile();
    // An action over many cells stopped because the values were lost: it
    // says so itself (this says the notice is given) and the cells show empty.
    void LostTold();

  signals:
    void editingSwitchedOn();
    // The index moved on (or ended: running false).
    void indexProgressed(qint64 indexed, qint64 expected, bool running);
    // A cell was edited or edits were taken back (grid().editCount()).
    void editsChanged();

  private:
    QString Decoded(const std::string& bytes) const;
    // A tooltip's first lines: the variable's name, long name and label.
    QStringList VariableLines(const lv::VariableFacts& facts) const;
    QVariant CellToolTip(const QModelIndex& index) const;
    QVariant HeaderToolTip(int column) const;
    // Tells the views that every row may show other cells now.
    template <typename Change>
    void ChangeRows(Change change);
    // Queues the notice of lost values (once), out of the current event.
    void NoticeLost() const;
    void ShowLostNotice();
    void RefreshAll();

    // Takes up the rows the index reached: the cells shown again, the count
    // told, a damaged or changed file said as a load says it.
    void TakeIndexed();

    lv::GridData grid_;
    // Looks at the index a few times a second while it is built.
    QTimer indexTimer_;
    bool damageTold_ = false;
    std::string condition_;  // of the selection shown
    lv::GridFill fill_{grid_};
    bool editing_ = false;
    bool editsAllowed_ = true;
    bool confirming_ = false;  // a text that is not a number
    mutable bool lostSeen_ = false;
    int rows_ = 9;
    int columns_ = 4;
};

}  // namespace lv
