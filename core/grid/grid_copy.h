// The text of a copied range of the grid, for the clipboard: cells
// separated by tabs and rows ended by line ends, each cell's shown text
// without its padding blanks, in screen order; and the same cells as an
// HTML table, which spreadsheets paste cell for cell. Tabs and line breaks
// inside a text become blanks, so that they cannot split a cell.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/grid/grid_data.h"
#include "core/state/progress.h"

namespace lv {

struct CopiedCells {
    std::string text;  // UTF-8
    std::string html;  // UTF-8; empty unless asked for
};

struct CopyRange {
    uint32_t firstRow = 0;  // display rows first .. end - 1
    uint32_t endRow = 0;
    bool withNames = false;  // the variables' names as the first row
    bool withHtml = true;
};

// columns: dictionary indices in screen order. Nothing when progress said
// stop (cells are the units) or the values could no longer be read.
std::optional<CopiedCells> CopyCells(const GridData& grid, std::span<const int> columns,
                                     CopyRange range, Progress* progress = nullptr);

}  // namespace lv
