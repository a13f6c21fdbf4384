#include "core/cases/case_values.h"

#include <algorithm>
#include <cstring>

#include "core/text/trim.h"
#include "savio/case_layout.h"
#include "savio/spssfio.h"

namespace lv {

CaseValues::CaseValues(const savio::CaseIndex& index, const std::vector<int>& variables,
                       const std::vector<int>& computedWidths)
    : swap_(index.shape.swap) {
    columns_.resize(variables.size());
    const size_t fileVariables = index.values.size();
    for (size_t c = 0; c < variables.size(); ++c) {
        Column& col = columns_[c];
        col.variable = variables[c];
        if (size_t(variables[c]) < fileVariables) {
            col.where = index.values[size_t(variables[c])];
        } else {
            col.computed = true;
            col.where.width = computedWidths[size_t(variables[c]) - fileVariables];
        }
    }
}

void CaseValues::AppendComputed(size_t c, std::string_view text) {
    Column& col = columns_[c];
    col.text.append(WithoutTrailingBlanks(text));
    col.ends.push_back(col.text.size());
}

void CaseValues::KeepRows(const std::vector<bool>& keep) {
    for (Column& col : columns_) {
        size_t kept = 0;
        if (!col.where.isString()) {
            for (size_t r = 0; r < keep.size(); ++r)
                if (keep[r]) col.numbers[kept++] = col.numbers[r];
            col.numbers.resize(kept);
            continue;
        }
        std::string text;
        uint64_t begin = 0;
        for (size_t r = 0; r < keep.size(); ++r) {
            const uint64_t end = col.ends[r];
            if (keep[r]) {
                text.append(col.text, begin, end - begin);
                col.ends[kept++] = text.size();
            }
            begin = end;
        }
        col.ends.resize(kept);
        col.text = std::move(text);
    }
    rows_ = static_cast<int64_t>(std::count(keep.begin(), keep.end(), true));
}

int CaseValues::CopyText(int64_t row, size_t c, char* out, int size) const {
    if (size < 1) return SPSS_BUFFER_SHORT;
    const std::string_view text = Text(row, c);
    const size_t width = static_cast<size_t>(columns_[c].where.width);
    const size_t n = std::min(width, static_cast<size_t>(size) - 1);
    const size_t copied = std::min(n, text.size());
    std::memcpy(out, text.data(), copied);
    std::memset(out + copied, ' ', n - copied);
    out[n] = '\0';
    return n < width ? SPSS_BUFFER_SHORT : 0;
}

void CaseValues::EndText(Column& col) {
    const size_t begin = col.ends.empty() ? 0 : col.ends.back();
    const size_t end =
        begin + WithoutTrailingBlanks(std::string_view(col.text).substr(begin)).size();
    col.text.resize(end);
    col.ends.push_back(end);
}

void CaseValues::AppendSlots(const uint8_t* slots) {
    for (Column& col : columns_) {
        if (col.computed) continue;
        if (!col.where.isString()) {
            col.numbers.push_back(savio::SlotNumber(slots, col.where, swap_));
            continue;
        }
        if (col.where.segments == 1) {
            // One piece: only the bytes before the trailing blanks are copied.
            const std::string_view value = WithoutTrailingBlanks(
                {reinterpret_cast<const char*>(slots) + size_t(col.where.firstSlot) * 8,
                 size_t(col.where.width)});
            col.text.append(value);
            col.ends.push_back(col.text.size());
            continue;
        }
        savio::ForEachStringPiece(slots, col.where, [&col](const uint8_t* p, size_t n) {
            col.text.append(reinterpret_cast<const char*>(p), n);
        });
        EndText(col);
    }
    ++rows_;
}

void CaseValues::AppendAll(const CaseValues& more) {
    for (size_t c = 0; c < columns_.size(); ++c) {
        Column& col = columns_[c];
        const Column& from = more.columns_[c];
        col.numbers.insert(col.numbers.end(), from.numbers.begin(), from.numbers.end());
        const uint64_t shift = col.text.size();
        col.text += from.text;
        for (uint64_t end : from.ends) col.ends.push_back(end + shift);
    }
    rows_ += more.rows_;
}

void CaseValues::Reserve(int64_t rows) {
    for (Column& col : columns_) {
        if (col.where.isString())
            col.ends.reserve(size_t(rows));
        else
            col.numbers.reserve(size_t(rows));
    }
}

void CaseValues::Clear() {
    for (Column& col : columns_) {
        col.numbers.clear();
        col.ends.clear();
        col.text.clear();
    }
    rows_ = 0;
}

size_t CaseValues::bytes() const {
    size_t n = sizeof(*this) + columns_.capacity() * sizeof(Column);
    for (const Column& col : columns_)
        n += col.numbers.capacity() * sizeof(double) + col.ends.capacity() * sizeof(uint64_t) +
             col.text.capacity();
    return n;
}

}  // namespace lv
