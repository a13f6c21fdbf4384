#include "core/grid/grid_sort.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <string_view>

#include "core/dictionary/variable_facts.h"
#include "core/grid/cell_block.h"
#include "core/text/distinct_texts.h"

namespace lv {
namespace {

// Keys are gathered in runs of rows in file order, which a store that reads
// the file reads in one pass each (on several cores): a quarter of the rows,
// between 65536 and a million, so that progress is heard a few times.
uint32_t BlockRows(uint32_t n) {
    return std::clamp<uint32_t>(n / 4, 65536, 1u << 20);
}

// Where a cell goes: valid values first, then user-missing, system-missing
// and empty cells, in this order whatever the direction.
enum Group : uint8_t { kValid, kUserMissing, kSysmis, kEmpty, kGroups };

// A number's bits turned so that unsigned order is numeric order.
uint64_t NumberKey(double v) {
    if (v == 0) v = 0;  // -0 ties with 0
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    return bits & (uint64_t{1} << 63) ? ~bits : bits | (uint64_t{1} << 63);
}

// The group and key of every file row of one column.
struct ColumnKeys {
    std::vector<uint8_t> group;
    std::vector<uint64_t> key;
};

bool NumberKeys(const GridData& grid, int column, ColumnKeys& out, Progress* progress,
                uint64_t total) {
    // Keys of every file row, shown or not: rows are their indices.
    const uint32_t n = grid.order().fileRowCount();
    const uint32_t blockRows = BlockRows(n);
    const VariableFacts* facts = grid.FactsOf(column);
    const MissingValues* missing = facts && facts->missing().any() ? &facts->missing() : nullptr;
    std::vector<uint32_t> rows(std::min(blockRows, n));
    CellBlock cells;
    for (uint32_t first = 0; first < n; first += blockRows) {
        const uint32_t count = std::min(blockRows, n - first);
        std::iota(rows.begin(), rows.begin() + count, first);
        cells.Gather(grid, std::span<const int>(&column, 1),
                     std::span<const uint32_t>(rows.data(), count));
        for (uint32_t i = 0; i < count; ++i) {
            const CellState state = cells.State(0, i);
            const double value = cells.Number(0, i);
            uint8_t group = kEmpty;
            if (state == CellState::Sysmis)
                group = kSysmis;
            else if (state == CellState::Value)
                group = missing && missing->Holds(value) ? kUserMissing : kValid;
            out.group[first + i] = group;
            out.key[first + i] = group <= kUserMissing ? NumberKey(value) : 0;
        }
        if (grid.lost() || !Continue(progress, first + count, total)) return false;
    }
    return true;
}

// Strings: each distinct value (without trailing blanks) is ranked once by
// its shown text, and a row's key is its value's rank.
bool StringKeys(const GridData& grid, int column, ColumnKeys& out, Progress* progress,
                uint64_t total) {
    // Keys of every file row, shown or not: rows are their indices.
    const uint32_t n = grid.order().fileRowCount();
    const uint32_t blockRows = BlockRows(n);
    const VariableFacts* facts = grid.FactsOf(column);
    DistinctTexts distinct;
    std::vector<uint32_t> rows(std::min(blockRows, n));
    CellBlock cells;
    for (uint32_t first = 0; first < n; first += blockRows) {
        const uint32_t count = std::min(blockRows, n - first);
        std::iota(rows.begin(), rows.begin() + count, first);
        cells.Gather(grid, std::span<const int>(&column, 1),
                     std::span<const uint32_t>(rows.data(), count));
        for (uint32_t i = 0; i < count; ++i) {
            if (cells.State(0, i) != CellState::Value) {
                out.group[first + i] = kEmpty;
                continue;
            }
            out.group[first + i] = kValid;
            out.key[first + i] = distinct.Intern(WithoutTrailingBlanks(cells.Text(0, i)));
        }
        if (grid.lost() || !Continue(progress, first + count, total)) return false;
    }
    const std::vector<uint32_t> rank = distinct.Ranks();
    std::vector<uint8_t> group(distinct.size(), kValid);
    if (facts && facts->missing().any())
        for (size_t d = 0; d < distinct.size(); ++d)
            if (facts->missing().Holds(distinct.Text(static_cast<uint32_t>(d))))
                group[d] = kUserMissing;
    for (uint32_t r = 0; r < n; ++r) {
        if (out.group[r] != kValid) continue;
        const uint32_t id = static_cast<uint32_t>(out.key[r]);
        out.group[r] = group[id];
        out.key[r] = rank[id];
    }
    return true;
}

}  // namespace

std::optional<std::vector<uint32_t>> SortedOrder(const GridData& grid, SortKey key,
                                                 std::vector<uint32_t> order, Progress* progress) {
    const uint32_t n = grid.order().fileRowCount();
    if (!grid.loaded() || grid.namesInDataRow() || key.column < 0 ||
        key.column >= grid.columnCount() || (order.size() != n && order.size() != grid.rowCount()))
        return std::nullopt;
    const uint64_t total = uint64_t{n} + n / 4 + 1;
    ColumnKeys keys;
    keys.group.resize(n);
    keys.key.resize(n);
    const bool isString = grid.layout().columns[key.column].stringWidth != 0;
    const bool complete = isString ? StringKeys(grid, key.column, keys, progress, total)
                                   : NumberKeys(grid, key.column, keys, progress, total);
    if (!complete) return std::nullopt;

    // Rows of each group in the order they stand; valid and user-missing
    // rows then sort stably by key. Rows are sorted as indices into the
    // keys, so that a sort holds about 20 bytes per row at its peak.
    size_t begin[kGroups + 1] = {};
    for (const uint32_t row : order) ++begin[keys.group[row] + 1];
    for (int g = 1; g <= kGroups; ++g) begin[g] += begin[g - 1];
    {
        std::vector<uint32_t> grouped(order.size());
        size_t at[kGroups];
        std::copy(begin, begin + kGroups, at);
        for (const uint32_t row : order) grouped[at[keys.group[row]]++] = row;
        order.swap(grouped);
    }
    std::vector<uint8_t>().swap(keys.group);
    const std::vector<uint64_t>& k = keys.key;
    for (int g = kValid; g <= kUserMissing; ++g) {
        const auto first = order.begin() + std::ptrdiff_t(begin[g]);
        const auto last = order.begin() + std::ptrdiff_t(begin[g + 1]);
        if (key.descending)
            std::stable_sort(first, last, [&k](uint32_t a, uint32_t b) { return k[b] < k[a]; });
        else
            std::stable_sort(first, last, [&k](uint32_t a, uint32_t b) { return k[a] < k[b]; });
    }
    if (!Continue(progress, total, total)) return std::nullopt;
    return order;
}

bool SortRows(GridData& grid, SortKey key, Progress* progress) {
    return SortRows(grid, std::span<const SortKey>(&key, 1), progress);
}

bool SortRows(GridData& grid, std::span<const SortKey> keys, Progress* progress) {
    std::vector<uint32_t> order = grid.order().Whole();
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        auto next = SortedOrder(grid, *it, std::move(order), progress);
        if (!next) return false;
        order = std::move(*next);
    }
    grid.SetOrder(std::move(order));
    return true;
}

}  // namespace lv
