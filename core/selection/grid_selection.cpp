#include "core/selection/grid_selection.h"

#include <algorithm>
#include <numeric>

#include "core/grid/read_ahead.h"

namespace lv {
namespace {

constexpr uint32_t kBlockRows = 4096;

}  // namespace

GridSelection SelectGridRows(const GridData& grid, std::string_view text,
                             const std::string& encoding, Progress* progress) {
    GridSelection result;
    const std::vector<ConditionVariable> variables = ConditionVariablesOf(grid.facts());
    auto compiled = CompileCondition(text, variables, encoding);
    if (auto* error = std::get_if<ConditionError>(&compiled)) {
        result.status = GridSelection::Status::BadCondition;
        result.error = *error;
        return result;
    }
    const Condition& condition = std::get<Condition>(compiled);
    const uint32_t total = grid.namesInDataRow() ? 0 : grid.order().fileRowCount();
    const std::vector<int>& columns = condition.variables();

    const size_t n = columns.size();
    std::vector<std::vector<double>> numbers(n);
    std::vector<std::vector<std::string_view>> strings(n);
    std::vector<NumberCell> numberCells(kBlockRows);
    std::vector<StringCell> stringCells(kBlockRows);
    std::vector<std::string> texts(n);
    ConditionBlock block;
    block.numbers.assign(n, nullptr);
    block.strings.assign(n, nullptr);
    std::vector<uint32_t> rows(kBlockRows);
    ReadAheadWindow window(grid, columns, 0, total, false, ReadAheadWindow::Rows::File);
    for (uint32_t first = 0; first < total; first += kBlockRows) {
        const uint32_t count = std::min(kBlockRows, total - first);
        const std::span<const uint32_t> span(rows.data(), count);
        std::iota(rows.begin(), rows.begin() + count, first);
        window.Cover(first, count);
        for (size_t k = 0; k < n; ++k) {
            const int column = columns[k];
            if (condition.readsString(k)) {
                // The store's views last until its next call: the bytes are
                // copied, and the views set once they stop moving.
                grid.store().GatherStrings(column, span, stringCells.data());
                std::string& bytes = texts[k];
                bytes.clear();
                std::vector<size_t> ends(count);
                for (uint32_t i = 0; i < count; ++i) {
                    if (stringCells[i].state == CellState::Value) bytes += stringCells[i].stored;
                    ends[i] = bytes.size();
                }
                strings[k].resize(count);
                for (uint32_t i = 0; i < count; ++i) {
                    const size_t begin = i ? ends[i - 1] : 0;
                    strings[k][i] = std::string_view(bytes).substr(begin, ends[i] - begin);
                }
                block.strings[k] = strings[k].data();
            } else {
                grid.store().GatherNumbers(column, span, numberCells.data());
                numbers[k].resize(count);
                for (uint32_t i = 0; i < count; ++i)
                    numbers[k][i] = numberCells[i].state == CellState::Value ? numberCells[i].value
                                                                             : kConditionMissing;
                block.numbers[k] = numbers[k].data();
            }
        }
        block.rows = count;
        condition.Select(block, first, result.rows);
        if (grid.lost() || !Continue(progress, first + count, total)) {
            result.status = GridSelection::Status::Stopped;
            result.rows.clear();
            return result;
        }
    }
    result.rows.shrink_to_fit();
    return result;
}

GridSelection ApplyCondition(GridData& grid, std::string_view condition,
                             const std::string& encoding, Progress* progress) {
    GridSelection selection = SelectGridRows(grid, condition, encoding, progress);
    if (selection.status == GridSelection::Status::Ok) grid.SelectRows(selection.rows);
    return selection;
}

std::optional<ShownCases> ShownCasesOf(const RowOrder& order, std::string condition) {
    if (!order.selecting()) return std::nullopt;
    return ShownCases{std::move(condition), order.ShownInFileOrder(), order.fileRowCount()};
}

}  // namespace lv
