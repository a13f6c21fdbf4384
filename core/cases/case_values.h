// The values of some variables for a run of cases, column by column:
// numbers as doubles, strings as their bytes in the file's encoding with the
// trailing blanks dropped (the variable's width gives them back). Filled from
// decoded case rows: a block of the case stream, or of the reader's
// on-demand reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "savio/case_index.h"

namespace lv {

class CaseValues {
  public:
    CaseValues() = default;
    // variables: indices into the file's variables (index.values); one
    // from index.values.size() on is a computed variable k places after
    // them, of computedWidths[k] bytes (0: numeric), which AppendSlots
    // leaves to AppendComputed.
    CaseValues(const savio::CaseIndex& index, const std::vector<int>& variables,
               const std::vector<int>& computedWidths = {});

    int64_t rows() const { return rows_; }
    size_t columnCount() const { return columns_.size(); }
    int variable(size_t c) const { return columns_[c].variable; }
    bool isText(size_t c) const { return columns_[c].where.isString(); }
    // A string column's width in bytes (0 for a number).
    int width(size_t c) const { return columns_[c].where.width; }

    double Number(int64_t row, size_t c) const { return columns_[c].numbers[size_t(row)]; }
    // A numeric column's rows() numbers.
    const double* Numbers(size_t c) const { return columns_[c].numbers.data(); }
    // The string's bytes up to its last non-blank.
    std::string_view Text(int64_t row, size_t c) const {
        const Column& col = columns_[c];
        const uint64_t begin = row ? col.ends[size_t(row) - 1] : 0;
        return std::string_view(col.text).substr(begin, col.ends[size_t(row)] - begin);
    }
    // The string as spssGetValueChar gives it: its width bytes (blanks put
    // back) cut to size - 1, and a NUL. 0, or SPSS_BUFFER_SHORT when cut.
    int CopyText(int64_t row, size_t c, char* out, int size) const;

    // One more case, from its decoded slots.
    void AppendSlots(const uint8_t* slots);
    // A computed column's value of the next row (rows appended by
    // AppendSlots that it has no value for yet): a number, or a string
    // (its trailing blanks dropped).
    void AppendComputed(size_t c, double number) { columns_[c].numbers.push_back(number); }
    void AppendComputed(size_t c, std::string_view text);
    bool isComputed(size_t c) const { return columns_[c].computed; }
    // Keeps the rows whose keep is true, in their order.
    void KeepRows(const std::vector<bool>& keep);
    // Every case of more, which holds the same variables.
    void AppendAll(const CaseValues& more);
    void Reserve(int64_t rows);
    // No cases; the memory stays for the next ones.
    void Clear();
    // Memory held.
    size_t bytes() const;

  private:
    struct Column {
        int variable = 0;
        bool computed = false;
        savio::ValueSlots where;
        std::vector<double> numbers;  // numeric columns
        std::vector<uint64_t> ends;   // string columns: end of each value in text
        std::string text;
    };
    void EndText(Column& col);

    bool swap_ = false;
    std::vector<Column> columns_;
    int64_t rows_ = 0;
};

}  // namespace lv
