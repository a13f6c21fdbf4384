// The grid load: one streaming pass over the chosen data file that sets up
// the grid's shape, header names and column widths, obtains the variable
// handles, and reads every case (through the case stream), handing each
// case's values to a consumer.
// The grid window keeps them in compact columns; the command-line tool
// prints them. Messages go through lv::CurrentDialogs().
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/reader_handle.h"
#include "core/grid/grid_layout.h"
#include "core/state/progress.h"

namespace lv {

class GridLoadConsumer {
  public:
    virtual ~GridLoadConsumer() = default;
    // Shape, names and widths, before any handle is requested.
    virtual void Layout(const GridLayout& layout) = 0;
    // Every handle was obtained: cell editing goes on.
    virtual void EditingOn() = 0;
    // Whether Case is called: a consumer that reads the values back later
    // says no, and the load then only reads and checks them.
    virtual bool TakesValues() const { return true; }
    // The last case the consumer wants (the load reads cases 1 .. LastCase
    // and ends as Complete); -1 for every case. 0 reads none: the load then
    // only sets up the layout and the variable handles.
    virtual int LastCase() const { return -1; }
    // The first case the consumer wants (1-based): Case hears of none
    // before it, and the load passes over the cases before it as quickly as
    // the file allows (uncompressed: without reading them).
    virtual int FirstCase() const { return 1; }
    // Case row (1-based) with its values in dictionary order. At a rendering
    // error the case ends before the value that raised it.
    virtual void Case(int row, std::span<const GridCell> cells) = 0;
    // The cases ended: every one was read, a case read failed, or a
    // rendering error ended the last case read before column cut (-1 when
    // none did). The data file is still open behind the shared FileHandle.
    virtual void CasesEnded(int cut) { (void)cut; }
};

// OpenFailed: the data file could not be opened (said as any failed open
// is); the consumer heard nothing, not even a layout.
enum class GridLoadOutcome {
    NoFile,
    OpenFailed,
    HandleFailed,
    MatrixData,
    ReadFailed,
    Complete,
    Cancelled
};

// The whole load. Stops with a message where the grid's load stops; a
// rendering error is raised as ConversionError after the values before it
// were handed over and the data file was closed. progress hears of the
// cases read (a few thousand values apart); when it says stop, the load
// closes the data file and ends as Cancelled, without a message.
GridLoadOutcome LoadGrid(GridLoadConsumer& consumer, Progress* progress = nullptr);

// The same load from a file the caller holds open (its cases are read from
// the first) and keeps open: the shared FileHandle names it for the load
// and the variable handles are its own, so that a command reads the file it
// opened once, whatever its path names meanwhile. cases: only those
// (0-based, ascending) are read and handed over, with their own row
// numbers; null for every case.
GridLoadOutcome LoadGridFrom(const ReaderHandle& file, GridLoadConsumer& consumer,
                             Progress* progress = nullptr,
                             const std::vector<uint32_t>* cases = nullptr);

}  // namespace lv
