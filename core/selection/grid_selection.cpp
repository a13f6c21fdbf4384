#include "core/selection/grid_selection.h"

#include <algorithm>
#include <numeric>

#include "core/grid/cell_block.h"
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
    ConditionBlock block;
    block.numbers.assign(n, nullptr);
    block.strings.assign(n, nullptr);
    std::vector<uint32_t> rows(kBlockRows);
    CellBlock cells;
    ReadAheadWindow window(grid, columns, 0, total, false, ReadAheadWindow::Rows::File);
    for (uint32_t first = 0; first < total; first += kBlockRows) {
        const uint32_t count = std::min(kBlockRows, total - first);
        std::iota(rows.begin(), rows.begin() + count, first);
        window.Cover(first, count);
        cells.Gather(grid, columns, std::span<const uint32_t>(rows.data(), count));
        for (size_t k = 0; k < n; ++k) {
            if (condition.readsString(k)) {
                strings[k].resize(count);
                for (uint32_t i = 0; i < count; ++i) strings[k][i] = cells.Text(k, i);
                block.strings[k] = strings[k].data();
            } else {
                numbers[k].resize(count);
                for (uint32_t i = 0; i < count; ++i)
                    numbers[k][i] = cells.State(k, i) == CellState::Value && !cells.isText(k)
                                        ? cells.Number(k, i)
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
