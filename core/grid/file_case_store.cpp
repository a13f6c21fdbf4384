#include "core/grid/file_case_store.h"

#include <algorithm>

#include "core/rendering/column_render.h"

namespace lv {

FileCaseStore::FileCaseStore(std::unique_ptr<CaseCache> cache, std::vector<Column> columns,
                             double sysmis, size_t aheadBytes)
    : cache_(std::move(cache)),
      columns_(std::move(columns)),
      sysmis_(sysmis),
      aheadBytes_(aheadBytes) {}

bool FileCaseStore::SetDerived(std::shared_ptr<const DerivedColumns> derived, int fileColumns) {
    if (fileColumns < 0 || static_cast<size_t>(fileColumns) > columns_.size() ||
        (derived && derived->fileVariables() != cache_->columnCount()))
        return false;
    columns_.resize(size_t(fileColumns));
    ahead_ = Ahead();
    aheadRowVariables_.clear();
    aheadRowBytes_ = 0;
    cache_->SetDerived(derived, sysmis_);
    for (int d = 0; derived && d < derived->count(); ++d)
        columns_.push_back({derived->fileVariables() + d, derived->width(d)});
    return true;
}

IndexProgress FileCaseStore::Indexing() const {
    if (background_) return background_->progress();
    return {end_, cache_->rowCount(), cache_->rowCount()};
}

bool FileCaseStore::CatchUp() {
    if (!background_) return false;
    const bool grew = cache_->Grow(*background_);
    // A file changed under the index is lost as a changed file is lost.
    if (background_->progress().state == IndexProgress::State::Changed) cache_->Recheck();
    return grew;
}

void FileCaseStore::StopIndexing() {
    if (background_) background_->Stop();
}

uint32_t FileCaseStore::RowCount() const {
    return static_cast<uint32_t>(std::min<int64_t>(cache_->rowCount(), UINT32_MAX));
}

std::vector<int> FileCaseStore::VariablesOf(std::span<const int> columns) const {
    std::vector<int> variables;
    std::vector<bool> seen(size_t(cache_->variableCount()));
    for (const int c : columns) {
        if (c < 0 || static_cast<size_t>(c) >= columns_.size()) continue;
        const int v = columns_[c].variable;
        if (v < 0 || seen[size_t(v)]) continue;
        seen[size_t(v)] = true;
        variables.push_back(v);
    }
    return variables;
}

// By what the last window of the same variables took, with a margin; else
// by an estimate that counts strings at half their width (most end in
// blanks, which are not kept).
uint32_t FileCaseStore::WindowRows(std::span<const int> columns) const {
    const std::vector<int> variables = VariablesOf(columns);
    double perRow = 8;
    if (aheadRowBytes_ > 0 && variables == aheadRowVariables_) {
        perRow = aheadRowBytes_ * 1.25;
    } else {
        for (const int v : variables) {
            const int width = cache_->width(v);
            perRow += width > 0 ? 8 + width / 2 : 8;
        }
    }
    return static_cast<uint32_t>(std::clamp<double>(double(aheadBytes_) / perRow, 1, UINT32_MAX));
}

void FileCaseStore::ReadAhead(std::span<const uint32_t> rows, std::span<const int> columns) const {
    Ahead& a = ahead_;
    a = Ahead();
    if (cache_->changed() || rows.empty()) return;
    a.variables = VariablesOf(columns);
    a.columnOf.assign(size_t(cache_->variableCount()), -1);
    for (size_t k = 0; k < a.variables.size(); ++k) a.columnOf[size_t(a.variables[k])] = int(k);
    const int64_t count = cache_->rowCount();
    for (const uint32_t r : rows)
        if (r < count) a.rows.push_back(r);
    std::sort(a.rows.begin(), a.rows.end());
    a.rows.erase(std::unique(a.rows.begin(), a.rows.end()), a.rows.end());
    if (a.variables.empty() ||
        cache_->Rows(a.variables, a.rows, &a.values) != CaseCache::Status::Ok) {
        a = Ahead();
        return;
    }
    if (a.values.rows() > 0) {
        aheadRowBytes_ = double(a.values.bytes()) / double(a.values.rows());
        aheadRowVariables_ = a.variables;
    }
}

const std::vector<int64_t>& FileCaseStore::AheadPositions(std::span<const uint32_t> rows) const {
    Ahead& a = ahead_;
    // The columns of a block ask for the same rows one after another.
    if (a.askedRows.size() == rows.size() &&
        std::equal(rows.begin(), rows.end(), a.askedRows.begin()))
        return a.positions;
    a.askedRows.assign(rows.begin(), rows.end());
    a.positions.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto it = std::lower_bound(a.rows.begin(), a.rows.end(), int64_t{rows[i]});
        a.positions[i] = it != a.rows.end() && *it == rows[i] ? it - a.rows.begin() : -1;
    }
    return a.positions;
}

template <class Take>
void FileCaseStore::Gather(int column, bool strings, std::span<const uint32_t> rows,
                           Take take) const {
    // Once the file changed, nothing read from it before is shown either.
    if (cache_->changed() || column < 0 || static_cast<size_t>(column) >= columns_.size()) return;
    const Column& col = columns_[column];
    if ((col.stringWidth != 0) != strings || col.variable < 0 ||
        col.variable >= cache_->variableCount() || cache_->isString(col.variable) != strings)
        return;
    const int64_t count = cache_->rowCount();
    const int64_t cutRow = lastRowFilled_ >= 0 && column >= lastRowFilled_ ? count - 1 : -1;
    auto hasValue = [&](uint32_t row) { return row < count && row != cutRow; };

    // Rows read ahead first; the rest from the file.
    rest_.clear();
    const int inAhead = ahead_.rows.empty() ? -1 : ahead_.columnOf[size_t(col.variable)];
    if (inAhead >= 0) {
        const std::vector<int64_t>& at = AheadPositions(rows);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!hasValue(rows[i])) continue;
            if (at[i] >= 0)
                take(i, ahead_.values, size_t(inAhead), at[i]);
            else
                rest_.push_back(i);
        }
    } else {
        for (size_t i = 0; i < rows.size(); ++i)
            if (hasValue(rows[i])) rest_.push_back(i);
    }
    if (rest_.empty()) return;

    // Many rows in file order (a sort's block) are read in one pass over
    // the file, the others block by block through the cache.
    const uint32_t first = rows[rest_.front()];
    bool run = rest_.size() > size_t(4 * cache_->blockRows());
    for (size_t k = 0; run && k < rest_.size(); ++k) run = rows[rest_[k]] == first + k;
    if (run) {
        CaseValues values;
        if (cache_->Values({col.variable}, first, int64_t{first} + int64_t(rest_.size()),
                           &values) != CaseCache::Status::Ok)
            return;
        for (size_t k = 0; k < rest_.size(); ++k) take(rest_[k], values, 0, int64_t(k));
        return;
    }
    const CaseValues* block = nullptr;
    int64_t blockFirst = 0, blockEnd = 0;
    for (const size_t i : rest_) {
        const int64_t row = rows[i];
        if (!block || row < blockFirst || row >= blockEnd) {
            block = cache_->Block(row, &blockFirst);
            if (!block) return;  // the file changed: nothing more can be read
            blockEnd = blockFirst + block->rows();
        }
        take(i, *block, size_t(col.variable), row - blockFirst);
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
        const size_t valueWidth = size_t(cache_->width(values.variable(c)));
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
