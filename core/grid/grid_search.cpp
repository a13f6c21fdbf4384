#include "core/grid/grid_search.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/grid/read_ahead.h"

namespace lv {
namespace {

// Rows per block: 64, fewer for very wide grids, so that progress hears of
// the walk every few ten thousand cells.
constexpr uint32_t kBlockRows = 64;
constexpr size_t kBlockCells = 65536;

uint32_t BlockRows(size_t columns) {
    return static_cast<uint32_t>(
        std::clamp<size_t>(kBlockCells / std::max<size_t>(columns, 1), 1, kBlockRows));
}

// Which cells of a block of rows match, a column at a time: display rows,
// or, for a walk whose order does not matter (a count), the rows shown in
// file order (listed: those, ascending).
class BlockMatcher {
  public:
    using Rows = ReadAheadWindow::Rows;
    BlockMatcher(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
                 Progress* progress, Rows rows = Rows::Display,
                 std::span<const uint32_t> listed = {})
        : grid_(grid),
          matcher_(matcher),
          columns_(columns),
          progress_(progress),
          rows_(rows),
          listed_(listed),
          total_(uint64_t{grid.rowCount()} * columns.size()) {}

    const GridData& grid() const { return grid_; }
    std::span<const int> columns() const { return columns_; }
    Rows rows() const { return rows_; }
    std::span<const uint32_t> listed() const { return listed_; }

    // Matches rows first .. first + count - 1, read ahead in window; false
    // when progress said stop or the values could no longer be read.
    bool Match(uint32_t first, uint32_t count, ReadAheadWindow& window) {
        window.Cover(first, count);
        fileRows_.resize(count);
        if (rows_ == Rows::File && !listed_.empty())
            std::copy_n(listed_.begin() + first, count, fileRows_.begin());
        else if (rows_ == Rows::File)
            for (uint32_t i = 0; i < count; ++i) fileRows_[i] = first + i;
        else
            grid_.order().Rows(first, fileRows_);
        texts_.resize(std::max<size_t>(texts_.size(), count));
        hits_.assign(size_t{count} * columns_.size(), 0);
        const std::span<std::string> texts(texts_.data(), count);
        for (size_t k = 0; k < columns_.size(); ++k) {
            for (std::string& t : texts) t.clear();
            grid_.AppendColumn(columns_[k], fileRows_, texts);
            for (uint32_t i = 0; i < count; ++i)
                hits_[i * columns_.size() + k] = matcher_.Matches(texts[i]) ? 1 : 0;
        }
        done_ += uint64_t{count} * columns_.size();
        return !grid_.lost() && Continue(progress_, std::min(done_, total_), total_);
    }
    bool Hit(uint32_t i, size_t k) const { return hits_[i * columns_.size() + k] != 0; }

  private:
    const GridData& grid_;
    const TextMatcher& matcher_;
    std::span<const int> columns_;
    Progress* progress_;
    Rows rows_;
    std::span<const uint32_t> listed_;
    uint64_t total_;
    uint64_t done_ = 0;
    std::vector<uint32_t> fileRows_;
    std::vector<std::string> texts_;
    std::vector<uint8_t> hits_;
};

enum class Scan { Found, None, Cancelled };

// The first matching cell of rows first .. end - 1 that accept takes,
// walking forwards or backwards.
Scan ScanRows(BlockMatcher& blocks, size_t columns, uint32_t first, uint32_t end, bool backwards,
              const std::function<bool(GridPlace)>& accept, GridPlace& place) {
    if (first >= end) return Scan::None;
    ReadAheadWindow window(blocks.grid(), blocks.columns(), first, end, backwards, blocks.rows(),
                           blocks.listed());
    const uint32_t rows = BlockRows(columns);
    const uint32_t blockCount = (end - first + rows - 1) / rows;
    for (uint32_t b = 0; b < blockCount; ++b) {
        const uint32_t index = backwards ? blockCount - 1 - b : b;
        const uint32_t start = first + index * rows;
        const uint32_t count = std::min(rows, end - start);
        if (!blocks.Match(start, count, window)) return Scan::Cancelled;
        for (uint32_t r = 0; r < count; ++r) {
            const uint32_t i = backwards ? count - 1 - r : r;
            for (size_t c = 0; c < columns; ++c) {
                const size_t k = backwards ? columns - 1 - c : c;
                if (!blocks.Hit(i, k)) continue;
                const GridPlace candidate{start + i, k};
                if (accept(candidate)) {
                    place = candidate;
                    return Scan::Found;
                }
            }
        }
    }
    return Scan::None;
}

}  // namespace

namespace {

bool MatchesIn(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
               uint32_t first, uint32_t end, const std::function<bool(GridPlace)>& found,
               Progress* progress, ReadAheadWindow::Rows rows,
               std::span<const uint32_t> listed = {}) {
    end = std::min(end, grid.rowCount());
    if (matcher.empty() || columns.empty()) return true;
    BlockMatcher blocks(grid, matcher, columns, progress, rows, listed);
    GridPlace place;
    bool stopped = false;
    const Scan scan = ScanRows(
        blocks, columns.size(), first, end, false,
        [&](GridPlace p) {
            stopped = !found(p);
            return stopped;
        },
        place);
    return scan != Scan::Cancelled;
}

}  // namespace

bool ForEachMatch(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
                  uint32_t first, uint32_t end, const std::function<bool(GridPlace)>& found,
                  Progress* progress) {
    return MatchesIn(grid, matcher, columns, first, end, found, progress,
                     ReadAheadWindow::Rows::Display);
}

// A count does not depend on the rows' order: it walks the rows shown in
// the file's, which reads the file once whatever order they are shown in.
std::optional<uint64_t> CountMatches(const GridData& grid, const TextMatcher& matcher,
                                     std::span<const int> columns, Progress* progress) {
    uint64_t count = 0;
    const std::vector<uint32_t> shown =
        grid.order().selecting() ? grid.order().ShownInFileOrder() : std::vector<uint32_t>();
    if (!MatchesIn(
            grid, matcher, columns, 0, grid.rowCount(),
            [&](GridPlace) {
                ++count;
                return true;
            },
            progress, ReadAheadWindow::Rows::File, shown))
        return std::nullopt;
    return count;
}

FindResult FindNext(const GridData& grid, const TextMatcher& matcher, std::span<const int> columns,
                    GridPlace from, bool backwards, Progress* progress) {
    FindResult result;
    const uint32_t n = grid.rowCount();
    if (matcher.empty() || columns.empty() || n == 0) return result;
    from.row = std::min(from.row, n - 1);
    from.column = std::min(from.column, columns.size() - 1);
    BlockMatcher blocks(grid, matcher, columns, progress);
    // Before the wrap: the cells after from (before it, backwards); after
    // the wrap: the cells from the other end up to from itself.
    const auto beyond = [&](GridPlace p) {
        if (p.row != from.row) return true;
        return backwards ? p.column < from.column : p.column > from.column;
    };
    const auto upTo = [&](GridPlace p) {
        if (p.row != from.row) return true;
        return backwards ? p.column >= from.column : p.column <= from.column;
    };
    Scan scan = backwards
                    ? ScanRows(blocks, columns.size(), 0, from.row + 1, true, beyond, result.place)
                    : ScanRows(blocks, columns.size(), from.row, n, false, beyond, result.place);
    if (scan == Scan::None) {
        result.wrapped = true;
        scan = backwards
                   ? ScanRows(blocks, columns.size(), from.row, n, true, upTo, result.place)
                   : ScanRows(blocks, columns.size(), 0, from.row + 1, false, upTo, result.place);
    }
    result.found = scan == Scan::Found;
    result.cancelled = scan == Scan::Cancelled;
    return result;
}

}  // namespace lv
