#include "core/grid/grid_load.h"

#include <algorithm>
#include <cstring>

#include "core/rendering/decimal_separator.h"
#include "core/state/dialogs.h"
#include "core/state/errors.h"
#include "core/state/spssdio1.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

void CloseDataFile() {
    LastStatus = spssCloseRead(FileHandle);
}

// The name slot as a NUL-terminated text (a full slot has no NUL of its own).
std::string SlotName(int i) {
    return std::string(SlotText(VarNames[i]));
}

GridLayout BuildLayout(int varCount) {
    GridLayout layout;
    layout.varCount = varCount;
    layout.caseCount = CaseCount;
    layout.decimalSeparator = DecimalSeparator();
    layout.columns.resize(varCount);
    for (int i = 0; i < varCount; ++i) {
        GridColumnLayout& col = layout.columns[i];
        col.name = SlotName(i);
        int widened = ColumnWidths[i];
        col.pixelWidth = ColumnPixels(kDefaultColumnPixels, ColumnWidths[i],
                                      static_cast<int>(col.name.size()), widened);
        ColumnWidths[i] = widened;
        col.stringWidth = VarTypes[i];
        col.render = ColumnRender::Make(VarTypes[i], PrintFormatTypes[i], DisplayFormats[i],
                                        ColumnWidths[i], layout.decimalSeparator);
    }
    return layout;
}

bool ObtainHandles(int varCount) {
    for (int i = 0; i < varCount; ++i) {
        LastStatus = spssGetVarHandle(FileHandle, SlotName(i).c_str(), &VarHandles[i]);
        if (LastStatus != 0) {
            CurrentDialogs().ShowMessage("Error at spssGetVarHandle.: " + StatusName(LastStatus));
            return false;
        }
    }
    return true;
}

}  // namespace

int ColumnPixels(int base, int w, int nameBytes, int& widenedWidth) {
    widenedWidth = w;
    if (w > 8) return static_cast<int>((static_cast<long long>(base) * w) / 8);
    if (w == 8) return base;
    const int n = std::max({w + 1, nameBytes, 4});
    widenedWidth = n;
    return static_cast<int>((static_cast<long long>(base) * n) / 8);
}

GridLoadOutcome LoadGrid(GridLoadConsumer& consumer, Progress* progress) {
    if (DataFileName.empty()) return GridLoadOutcome::NoFile;
    OpenDataFile();
    // No layout from the counts of a file that did not open (another
    // file's, or none).
    if (LastStatus != 0) return GridLoadOutcome::OpenFailed;
    const int varCount = std::max(VarCount, 0);
    EnsureVarCapacity(varCount);
    const GridLayout layout = BuildLayout(varCount);
    consumer.Layout(layout);

    if (!ObtainHandles(varCount)) {
        CloseDataFile();
        return GridLoadOutcome::HandleFailed;
    }
    consumer.EditingOn();
    if (CaseCount == -1) {
        CurrentDialogs().Tell(Message{MessageCode::MatrixDataNotLoaded});
        CloseDataFile();
        return GridLoadOutcome::MatrixData;
    }

    const bool takesValues = consumer.TakesValues();
    std::vector<GridCell> cells(varCount);
    // Offsets of each case's string values in one buffer; views are made
    // once the case is complete (the buffer may move while it grows).
    std::string caseText;
    std::vector<size_t> textStart(varCount);
    // Progress is told every few thousand values.
    const int stride = CasesPerStep(varCount);
    const int lastCase =
        consumer.LastCase() < 0 ? CaseCount : std::min(consumer.LastCase(), CaseCount);
    for (int r = 1; r <= lastCase; ++r) {
        if (r % stride == 0 && !Continue(progress, static_cast<uint64_t>(r - 1), CaseCount)) {
            CloseDataFile();
            return GridLoadOutcome::Cancelled;
        }
        LastStatus = spssReadCaseRecord(FileHandle);
        if (LastStatus != 0) {
            CurrentDialogs().Tell(Message{MessageCode::DataReadTrouble});
            consumer.CasesEnded(-1);
            CloseDataFile();
            return GridLoadOutcome::ReadFailed;
        }
        caseText.clear();
        int filled = 0;
        const ColumnRender* raising = nullptr;
        for (; filled < varCount; ++filled) {
            const int v = filled;
            GridCell& cell = cells[v];
            if (VarTypes[v] != 0) {
                LastStatus = spssGetValueChar(FileHandle, VarHandles[v], StringValueBuffer,
                                              kStringValueBufferSize);
                if (LastStatus != 0) {
                    cell.kind = GridCell::Kind::Unread;
                    continue;
                }
                if (layout.columns[v].render.raises()) {
                    raising = &layout.columns[v].render;
                    break;
                }
                if (!takesValues) continue;
                const void* nul = std::memchr(StringValueBuffer, 0, kStringValueBufferSize);
                const size_t n = nul ? static_cast<const char*>(nul) - StringValueBuffer
                                     : kStringValueBufferSize;
                textStart[v] = caseText.size();
                caseText.append(StringValueBuffer, n);
                cell.kind = GridCell::Kind::Text;
                cell.number = static_cast<double>(n);
            } else {
                LastStatus = spssGetValueNumeric(FileHandle, VarHandles[v], &NumericValue);
                if (LastStatus != 0) {
                    cell.kind = GridCell::Kind::Unread;
                    continue;
                }
                // Only a column whose rendering raises needs the value
                // looked at while it is read.
                if (!takesValues && !layout.columns[v].render.raises()) continue;
                if (IsShownAsSysmis(NumericValue, SysmisValue)) {
                    cell.kind = GridCell::Kind::Sysmis;
                    continue;
                }
                if (layout.columns[v].render.raises()) {
                    raising = &layout.columns[v].render;
                    break;
                }
                cell.kind = GridCell::Kind::Number;
                cell.number = NumericValue;
            }
        }
        if (takesValues) {
            for (int v = 0; v < filled; ++v) {
                if (cells[v].kind == GridCell::Kind::Text)
                    cells[v].text = std::string_view(caseText).substr(
                        textStart[v], static_cast<size_t>(cells[v].number));
            }
            consumer.Case(r, std::span<const GridCell>(cells.data(), filled));
        }
        if (raising) {
            // The rendering error ends the load here; the file is closed
            // first so that no handle outlives the load.
            consumer.CasesEnded(filled);
            CloseDataFile();
            throw ConversionError(raising->error());
        }
    }
    consumer.CasesEnded(-1);
    CloseDataFile();
    return GridLoadOutcome::Complete;
}

}  // namespace lv
