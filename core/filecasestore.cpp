#include "core/filecasestore.h"

#include <algorithm>

#include "core/celltext.h"

namespace lv {

FileCaseStore::FileCaseStore(std::unique_ptr<CaseCache> cache, std::vector<Column> columns,
                             double sysmis)
    : cache_(std::move(cache)), columns_(std::move(columns)), sysmis_(sysmis) {}

uint32_t FileCaseStore::RowCount() const {
    return static_cast<uint32_t>(std::min<int64_t>(cache_->rowCount(), UINT32_MAX));
}

template <class Take>
void FileCaseStore::Gather(int column, bool strings, std::span<const uint32_t> rows,
                           Take take) const {
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return;
    const Column& col = columns_[column];
    if ((col.stringWidth != 0) != strings || col.variable < 0 ||
        cache_->index().values[size_t(col.variable)].isString() != strings)
        return;
    const int64_t count = cache_->rowCount();
    const int64_t cutRow = lastRowFilled_ >= 0 && column >= lastRowFilled_ ? count - 1 : -1;
    auto hasValue = [&](uint32_t row) { return row < count && row != cutRow; };
    // Many rows in file order (a sort's or a search's block) are read in
    // one pass over the file, the rest block by block through the cache.
    const bool run = rows.size() > size_t(4 * cache_->blockRows()) &&
                     uint64_t(rows.back()) - rows.front() + 1 == rows.size() &&
                     std::is_sorted(rows.begin(), rows.end());
    if (run) {
        CaseValues values;
        if (cache_->Values({col.variable}, rows.front(), int64_t(rows.back()) + 1, &values) !=
            CaseCache::Status::Ok)
            return;
        for (size_t i = 0; i < rows.size(); ++i)
            if (hasValue(rows[i])) take(i, values, 0, int64_t(i));
        return;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!hasValue(rows[i])) continue;
        int64_t first = 0;
        const CaseValues* block = cache_->Block(rows[i], &first);
        if (block) take(i, *block, size_t(col.variable), int64_t(rows[i]) - first);
    }
}

void FileCaseStore::GatherNumbers(int column, std::span<const uint32_t> rows,
                                  NumberCell* out) const {
    std::fill(out, out + rows.size(), NumberCell{});
    Gather(column, false, rows, [&](size_t i, const CaseValues& values, size_t c, int64_t row) {
        const double v = values.Number(row, c);
        out[i].state = IsShownAsSysmis(v, sysmis_) ? CellState::Sysmis : CellState::Value;
        out[i].value = v;
    });
}

// What the load keeps of a string: the value up to its first NUL, without
// its trailing blanks when that is the column's full width (blanks restore
// them), else as it is.
void FileCaseStore::GatherStrings(int column, std::span<const uint32_t> rows,
                                  StringCell* out) const {
    std::fill(out, out + rows.size(), StringCell{});
    texts_.clear();
    spans_.assign(rows.size(), {0, 0});
    Gather(column, true, rows, [&](size_t i, const CaseValues& values, size_t c, int64_t row) {
        const std::string_view text = values.Text(row, c);
        const size_t valueWidth = size_t(cache_->index().values[size_t(values.variable(c))].width);
        const size_t width = size_t(columns_[column].stringWidth);
        const size_t nul = text.find('\0');
        const size_t start = texts_.size();
        out[i].state = CellState::Value;
        if (nul != std::string_view::npos) {
            texts_.append(text.substr(0, nul));
        } else if (valueWidth == width) {
            texts_.append(text);
            out[i].blanks = width - text.size();
        } else {
            texts_.append(text);
            texts_.append(valueWidth - text.size(), ' ');
        }
        spans_[i] = {start, texts_.size() - start};
    });
    // The views are made once every byte is in place.
    for (size_t i = 0; i < rows.size(); ++i)
        if (out[i].state == CellState::Value)
            out[i].stored = std::string_view(texts_).substr(spans_[i].first, spans_[i].second);
}

}  // namespace lv
