// The grid load: one streaming pass over the chosen data file that sets up
// the grid's shape, header names and column widths, obtains the variable
// handles, and reads every case, handing each case's values to a consumer.
// The grid window keeps them in compact columns; the command-line tool
// prints them. Messages go through lv::CurrentDialogs().
#ifndef LORIVANE_CORE_GRIDLOAD_H
#define LORIVANE_CORE_GRIDLOAD_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/celltext.h"
#include "core/progress.h"

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

class GridLoadConsumer {
  public:
    virtual ~GridLoadConsumer() = default;
    // Shape, names and widths, before any handle is requested.
    virtual void Layout(const GridLayout& layout) = 0;
    // Every handle was obtained: cell editing goes on.
    virtual void EditingOn() = 0;
    // Case row (1-based) with its values in dictionary order. At a rendering
    // error the case ends before the value that raised it.
    virtual void Case(int row, std::span<const GridCell> cells) = 0;
};

enum class GridLoadOutcome { NoFile, HandleFailed, MatrixData, ReadFailed, Complete, Cancelled };

// The whole load. Stops with a message where the grid's load stops; a
// rendering error is raised as ConversionError after the values before it
// were handed over and the data file was closed. progress hears of the
// cases read (a few thousand values apart); when it says stop, the load
// closes the data file and ends as Cancelled, without a message.
GridLoadOutcome LoadGrid(GridLoadConsumer& consumer, Progress* progress = nullptr);

}  // namespace lv

#endif
