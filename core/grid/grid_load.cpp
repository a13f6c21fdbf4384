#include "core/grid/grid_load.h"

#include <algorithm>
#include <cstring>

#include "core/cases/case_stream.h"
#include "core/rendering/decimal_separator.h"
#include "core/state/dialogs.h"
#include "core/state/errors.h"
#include "core/state/spssdio1.h"
#include "savio/case_index.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

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

namespace {

// Where a column's value is in the stream's block: its column there (-1:
// the column's handle reads no variable of its kind, as a failed value call
// would; or the consumer takes no values and the column need not be looked
// at), and what reading it takes.
struct ColumnRead {
    int k = -1;
    bool text = false;
    bool raises = false;
    size_t width = 0;  // a string's, in bytes
};

struct ColumnSources {
    std::vector<int> variables;  // what the stream reads
    std::vector<ColumnRead> columns;
};

ColumnSources SourcesOf(int handle, const GridLayout& layout, bool takesValues) {
    savio::CaseIndex index;
    savio::GetCaseIndex(handle, &index);
    ColumnSources s;
    s.columns.resize(layout.columns.size());
    for (size_t v = 0; v < layout.columns.size(); ++v) {
        const GridColumnLayout& col = layout.columns[v];
        ColumnRead& read = s.columns[v];
        read.raises = col.render.raises();
        if (!takesValues && !read.raises) continue;
        const int variable = savio::VariableIndexOfHandle(handle, VarHandles[v]);
        if (variable < 0 || static_cast<size_t>(variable) >= index.values.size()) continue;
        const savio::ValueSlots& where = index.values[size_t(variable)];
        if (where.isString() != (col.stringWidth != 0)) continue;
        read.k = static_cast<int>(s.variables.size());
        read.text = where.isString();
        read.width = static_cast<size_t>(where.width);
        s.variables.push_back(variable);
    }
    return s;
}

// How the load ends with its file: the program's own load closes the shared
// file; a load from the caller's file leaves it open.
struct LoadedFile {
    int handle = 0;
    bool closes = true;
    void Close() const {
        if (closes) LastStatus = spssCloseRead(handle);
    }
};

GridLoadOutcome LoadCases(const LoadedFile& file, GridLoadConsumer& consumer, Progress* progress,
                          const std::vector<uint32_t>* cases) {
    const int varCount = std::max(VarCount, 0);
    EnsureVarCapacity(varCount);
    const GridLayout layout = BuildLayout(varCount);
    consumer.Layout(layout);

    if (!ObtainHandles(varCount)) {
        file.Close();
        return GridLoadOutcome::HandleFailed;
    }
    consumer.EditingOn();
    if (CaseCount == -1) {
        CurrentDialogs().Tell(Message{MessageCode::MatrixDataNotLoaded});
        file.Close();
        return GridLoadOutcome::MatrixData;
    }

    const bool takesValues = consumer.TakesValues();
    const ColumnSources sources = SourcesOf(file.handle, layout, takesValues);
    CasesWanted wanted;
    wanted.variables = sources.variables;
    wanted.cases = cases;
    wanted.lastCase =
        consumer.LastCase() < 0 ? CaseCount : std::min(consumer.LastCase(), CaseCount);
    if (!cases) wanted.firstCase = std::max(consumer.FirstCase(), 1) - 1;
    // Progress is told every few thousand values.
    wanted.blockCases = static_cast<uint32_t>(CasesPerStep(varCount));
    CaseStream stream(file.handle, wanted, progress);

    std::vector<GridCell> cells(varCount);
    // Each case's string values as the value calls give them (the value up
    // to its first NUL, trailing blanks and all), in one buffer; views are
    // made once the case is complete (the buffer may move while it grows).
    std::string caseText;
    std::vector<size_t> textStart(varCount), textSize(varCount);
    // A consumer that takes no values needs the cases looked at only when a
    // column's rendering raises.
    const bool looks = takesValues || !sources.variables.empty();
    while (stream.Next()) {
        const CaseValues& values = stream.values();
        for (int64_t i = 0; looks && i < stream.rows(); ++i) {
            caseText.clear();
            int filled = 0;
            const ColumnRender* raising = nullptr;
            for (; filled < varCount; ++filled) {
                const int v = filled;
                GridCell& cell = cells[v];
                const ColumnRead& read = sources.columns[v];
                if (read.k < 0) {
                    cell.kind = GridCell::Kind::Unread;
                    continue;
                }
                if (read.text) {
                    if (read.raises) {
                        raising = &layout.columns[v].render;
                        break;
                    }
                    const std::string_view text = values.Text(i, size_t(read.k));
                    textStart[v] = caseText.size();
                    const void* nul = std::memchr(text.data(), 0, text.size());
                    if (nul) {
                        caseText.append(text.data(),
                                        size_t(static_cast<const char*>(nul) - text.data()));
                    } else {
                        caseText.append(text);
                        caseText.append(read.width - text.size(), ' ');
                    }
                    textSize[v] = caseText.size() - textStart[v];
                    cell.kind = GridCell::Kind::Text;
                    continue;
                }
                const double x = values.Number(i, size_t(read.k));
                if (IsShownAsSysmis(x, SysmisValue)) {
                    cell.kind = GridCell::Kind::Sysmis;
                    continue;
                }
                if (read.raises) {
                    raising = &layout.columns[v].render;
                    break;
                }
                cell.kind = GridCell::Kind::Number;
                cell.number = x;
            }
            if (takesValues) {
                for (int v = 0; v < filled; ++v) {
                    if (cells[v].kind == GridCell::Kind::Text)
                        cells[v].text =
                            std::string_view(caseText).substr(textStart[v], textSize[v]);
                }
                consumer.Case(static_cast<int>(stream.CaseNumber(i) + 1),
                              std::span<const GridCell>(cells.data(), filled));
            }
            if (raising) {
                // The rendering error ends the load here; the file is closed
                // first so that no handle outlives the load.
                stream.StandAfter(stream.CaseNumber(i) + 1);
                consumer.CasesEnded(filled);
                file.Close();
                throw ConversionError(raising->error());
            }
        }
    }
    if (stream.end() == CaseStream::End::Cancelled) {
        file.Close();
        return GridLoadOutcome::Cancelled;
    }
    // The load reads as many cases as the shared state counts: data that
    // ends before them is a failed read too (no case wanted, none fails).
    if ((stream.end() == CaseStream::End::Failed && wanted.lastCase != 0) ||
        stream.casesRead() < wanted.lastCase) {
        CurrentDialogs().Tell(Message{MessageCode::DataReadTrouble});
        consumer.CasesEnded(-1);
        file.Close();
        return GridLoadOutcome::ReadFailed;
    }
    consumer.CasesEnded(-1);
    file.Close();
    return GridLoadOutcome::Complete;
}

}  // namespace

GridLoadOutcome LoadGrid(GridLoadConsumer& consumer, Progress* progress) {
    if (DataFileName.empty()) return GridLoadOutcome::NoFile;
    OpenDataFile();
    // No layout from the counts of a file that did not open (another
    // file's, or none).
    if (LastStatus != 0) return GridLoadOutcome::OpenFailed;
    return LoadCases({FileHandle, true}, consumer, progress, nullptr);
}

GridLoadOutcome LoadGridFrom(const ReaderHandle& file, GridLoadConsumer& consumer,
                             Progress* progress, const std::vector<uint32_t>* cases) {
    FileHandle = file.get();
    return LoadCases({FileHandle, false}, consumer, progress, cases);
}

}  // namespace lv
