#include "core/export/table_convert.h"

#include <algorithm>
#include <climits>
#include <thread>

#include "core/export/delimited_writer.h"
#include "core/export/output_file.h"
#include "core/export/threaded_rows.h"
#include "core/export/xlsx_writer.h"
#include "core/grid/cell_block.h"
#include "core/grid/edited_cell.h"
#include "core/grid/grid_data.h"
#include "core/grid/read_ahead.h"
#include "core/rendering/column_render.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

constexpr uint32_t kBlockRows = 1024;

// Writes the cases the load hands over: with a selection of cases, rows
// first .. last count the selected cases only (the load hands over those
// alone, in ascending order).
class StreamConsumer final : public GridLoadConsumer {
  public:
    StreamConsumer(std::span<const TableColumn> columns, RowSink& rows, long long first,
                   long long last, const std::vector<uint32_t>* cases)
        : columns_(columns),
          rows_(rows),
          first_(first),
          last_(last),
          cases_(cases),
          values_(columns.size()) {
        for (size_t k = 0; k < columns.size(); ++k)
            everyVariable_ = everyVariable_ && columns[k].variable == static_cast<int>(k);
    }
    void Layout(const GridLayout&) override {}
    void EditingOn() override {}
    // The load reads no case after the last row wanted.
    int LastCase() const override {
        if (!cases_) return last_ < 0 || last_ > INT_MAX ? -1 : static_cast<int>(last_);
        const size_t wanted =
            last_ < 0 ? cases_->size() : std::min(cases_->size(), static_cast<size_t>(last_));
        return wanted == 0 ? 0 : static_cast<int>((*cases_)[wanted - 1] + 1);
    }
    void Case(int row, std::span<const GridCell> cells) override {
        const long long shown = cases_ ? static_cast<long long>(++handed_) : row;
        if (shown < first_ || (last_ != -1 && shown > last_)) return;
        if (everyVariable_) {
            rows_.Row(cells.first(std::min(cells.size(), columns_.size())));
            return;
        }
        for (size_t k = 0; k < columns_.size(); ++k) {
            const size_t v = static_cast<size_t>(columns_[k].variable);
            values_[k] = v < cells.size() ? cells[v] : GridCell{};
        }
        rows_.Row(values_);
    }

  private:
    std::span<const TableColumn> columns_;
    RowSink& rows_;
    long long first_, last_;
    const std::vector<uint32_t>* cases_;
    size_t handed_ = 0;
    std::vector<GridCell> values_;
    bool everyVariable_ = true;  // column k is variable k: the cells go as they are
};

}  // namespace

std::unique_ptr<RowSink> OpenTableRows(std::span<const TableColumn> columns,
                                       const TableOptions& options, const std::string& path,
                                       const std::string& encoding,
                                       const FileDictionary* dictionary) {
    std::unique_ptr<TableWriter> writer;
    if (options.format == TableFormat::Xlsx) {
        if (path == "-") throw ExportError(Message{MessageCode::XlsxToStandardOutput});
        if (!dictionary) throw ExportError(Message{MessageCode::XlsxNoDictionary});
        writer = std::make_unique<XlsxWriter>(path, *dictionary, encoding);
    } else {
        writer = std::make_unique<DelimitedWriter>(path, options);
    }
    writer->Header(columns);
    std::unique_ptr<RowSink> rows =
        std::make_unique<TableRows>(columns, options, encoding, std::move(writer));
    // The file is made on another core while the cases are read.
    if (std::thread::hardware_concurrency() > 1)
        rows = std::make_unique<ThreadedRows>(std::move(rows), columns.size());
    return rows;
}

uint64_t RowsWanted(const TableOptions& options, uint64_t caseCount) {
    const uint64_t first = static_cast<uint64_t>(std::max(options.firstRow, 1LL));
    uint64_t last = caseCount;
    if (options.lastRow != -1) last = std::min(last, static_cast<uint64_t>(options.lastRow));
    return last >= first ? last - first + 1 : 0;
}

Message TableLimitProblem(TableFormat format, uint64_t rows, size_t columns) {
    if (format != TableFormat::Xlsx) return {};
    if (rows + 1 > kXlsxMaxRows)
        return Message{MessageCode::XlsxTooManyRows, {}, {static_cast<long long>(rows)}};
    if (columns > kXlsxMaxColumns)
        return Message{MessageCode::XlsxTooManyColumns, {}, {static_cast<long long>(columns)}};
    return {};
}

ConvertOutcome ConvertFileCases(const ReaderHandle& file, const FileDictionary* dictionary,
                                const std::vector<VariableFacts>& facts,
                                const TableOptions& options, const std::string& path,
                                Progress* progress, const std::vector<uint32_t>* cases) {
    using namespace spssdio1;
    const std::string encoding = DisplayEncoding();
    const std::vector<TableColumn> columns = PlanColumns(facts, options, encoding);
    const uint64_t rows =
        RowsWanted(options, cases ? cases->size() : static_cast<uint64_t>(std::max(CaseCount, 0)));
    if (Message problem = TableLimitProblem(options.format, rows, columns.size()))
        throw ExportError(std::move(problem));
    const std::unique_ptr<RowSink> sink =
        OpenTableRows(columns, options, path, encoding, dictionary);
    StreamConsumer consumer(columns, *sink, options.firstRow, options.lastRow, cases);
    const GridLoadOutcome outcome = LoadGridFrom(file, consumer, progress, cases);
    if (outcome == GridLoadOutcome::Cancelled) return ConvertOutcome::Cancelled;
    if (outcome != GridLoadOutcome::Complete)
        throw ExportError(Message{MessageCode::ConvertDataUnfinished});
    sink->Commit();
    return ConvertOutcome::Written;
}

ConvertOutcome ConvertGridRows(const GridData& grid, const TableOptions& options,
                               const std::string& path, Progress* progress, GridRowOrder order) {
    const std::string encoding = DisplayEncoding();
    const std::vector<TableColumn> columns = PlanColumns(grid.facts(), options, encoding);
    const bool fileOrder = order == GridRowOrder::File;
    // The file's order holds every case, those a selection hides too.
    const uint64_t total = grid.namesInDataRow() ? 0
                           : fileOrder           ? grid.order().fileRowCount()
                                                 : grid.rowCount();
    const uint64_t rows = RowsWanted(options, total);
    if (Message problem = TableLimitProblem(options.format, rows, columns.size()))
        throw ExportError(std::move(problem));
    const std::unique_ptr<RowSink> sink =
        OpenTableRows(columns, options, path, encoding, grid.dictionary());

    std::vector<int> variables;
    for (const TableColumn& c : columns) variables.push_back(c.variable);
    const uint32_t first = static_cast<uint32_t>(std::max(options.firstRow, 1LL) - 1);
    const uint32_t end = first + static_cast<uint32_t>(rows);
    ReadAheadWindow window(
        grid, variables, first, end, false,
        fileOrder ? ReadAheadWindow::Rows::File : ReadAheadWindow::Rows::Display);
    std::vector<uint32_t> fileRows;
    CellBlock cells;
    std::vector<GridCell> row(columns.size());
    for (uint32_t r = first; r < end;) {
        if (!Continue(progress, r - first, rows)) return ConvertOutcome::Cancelled;
        const uint32_t n = std::min(kBlockRows, end - r);
        window.Cover(r, n);
        fileRows.resize(n);
        for (uint32_t i = 0; i < n; ++i) fileRows[i] = fileOrder ? r + i : grid.FileRow(r + i);
        cells.Gather(grid, variables, fileRows);
        if (grid.lost()) throw ExportError(Message{MessageCode::ConvertFileChanged});
        const bool edits = grid.hasEdits();
        for (uint32_t i = 0; i < n; ++i) {
            for (size_t k = 0; k < columns.size(); ++k) {
                GridCell cell;
                const CellState state = cells.State(k, i);
                if (state == CellState::Value && cells.isText(k)) {
                    cell.kind = GridCell::Kind::Text;
                    cell.text = cells.Text(k, i);
                } else if (state == CellState::Value) {
                    cell.kind = GridCell::Kind::Number;
                    cell.number = cells.Number(k, i);
                } else if (state == CellState::Sysmis && !cells.isText(k)) {
                    cell.kind = GridCell::Kind::Sysmis;
                }
                if (edits)
                    if (const std::string* edit = grid.EditAt(fileRows[i], columns[k].variable))
                        cell = EditedCell(*edit, columns[k].kind != ValueKind::String);
                row[k] = cell;
            }
            sink->Row(row);
        }
        r += n;
    }
    if (!Continue(progress, rows, rows)) return ConvertOutcome::Cancelled;
    sink->Commit();
    return ConvertOutcome::Written;
}

}  // namespace lv
