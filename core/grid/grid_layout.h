// The grid's shape as the load sets it up (its columns' names, widths and
// renderings) and one value of a case as the load hands it on: what the
// load, the case stores and the windows share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/rendering/column_render.h"

namespace lv {

inline constexpr int kDefaultColumnPixels = 68;

// Pixel width of a variable's column from its display width w (the widths
// rule, base pixels for width 8). For w below 8 the display width becomes
// n = max(w + 1, nameBytes, 4) and is stored in widenedWidth; otherwise
// widenedWidth is w.
int ColumnPixels(int base, int w, int nameBytes, int& widenedWidth);

struct GridColumnLayout {
    std::string name;  // header text: the name slot up to its NUL
    int pixelWidth = kDefaultColumnPixels;
    int stringWidth = 0;  // VarTypes entry: 0 numeric, n string of n bytes
    ColumnRender render;
};

struct GridLayout {
    int varCount = 0;   // never negative
    int caseCount = 0;  // as the shared state holds it (-1: matrix data)
    char decimalSeparator = '.';
    std::vector<GridColumnLayout> columns;
    // The grid's row count including the header row (at least 1).
    long long RowCount() const { return caseCount > 0 ? caseCount + 1LL : 1; }
};

// One value of the current case.
struct GridCell {
    enum class Kind : unsigned char { Unread, Sysmis, Number, Text };
    Kind kind = Kind::Unread;
    double number = 0;
    std::string_view text;  // Text only; valid during the Case call
};

}  // namespace lv
