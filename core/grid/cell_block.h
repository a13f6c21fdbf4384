// The values of some columns of the grid at some file rows, gathered from
// its store as one block: what a walk over many of the grid's values (a
// selection, a sort's keys, the table export, finding a value) reads at a
// time. A column's kind is its layout's; a numeric column holds numbers
// (with their states), a string column its stored bytes, copied out of the
// store so that they stay valid until the next gather.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/case_store.h"
#include "core/grid/grid_data.h"

namespace lv {

class CellBlock {
  public:
    // The values of columns (dictionary indices) at fileRows, replacing
    // what the block held.
    void Gather(const GridData& grid, std::span<const int> columns,
                std::span<const uint32_t> fileRows);

    uint32_t rows() const { return rows_; }
    // Of column k (the k-th asked for) at row i (the i-th file row).
    bool isText(size_t k) const { return columns_[k].text; }
    CellState State(size_t k, uint32_t i) const { return columns_[k].states[i]; }
    // A number (0 unless its state is Value, and in a string column).
    double Number(size_t k, uint32_t i) const {
        const Column& c = columns_[k];
        return c.text ? 0 : c.numbers[i];
    }
    NumberCell NumberAt(size_t k, uint32_t i) const { return {State(k, i), Number(k, i)}; }
    // A string's stored bytes (empty unless its state is Value, and in a
    // numeric column): the value up to its first NUL, without the trailing
    // blanks the store keeps apart.
    std::string_view Text(size_t k, uint32_t i) const {
        const Column& c = columns_[k];
        if (!c.text) return {};
        const size_t begin = i ? c.ends[i - 1] : 0;
        return std::string_view(c.bytes).substr(begin, c.ends[i] - begin);
    }

  private:
    struct Column {
        bool text = false;
        std::vector<CellState> states;
        std::vector<double> numbers;
        std::vector<size_t> ends;  // text: where each row's bytes end
        std::string bytes;
    };
    std::vector<Column> columns_;
    std::vector<NumberCell> numberCells_;
    std::vector<StringCell> stringCells_;
    uint32_t rows_ = 0;
};

}  // namespace lv
