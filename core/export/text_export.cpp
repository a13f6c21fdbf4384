#include "core/export/text_export.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/export/text_file.h"
#include "core/rendering/scientific.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

using namespace spssdio1;

std::string_view BufferText() {
    const void* nul = std::memchr(StringValueBuffer, 0, kStringValueBufferSize);
    const size_t n =
        nul ? static_cast<const char*>(nul) - StringValueBuffer : kStringValueBufferSize;
    return std::string_view(StringValueBuffer, n);
}

// The scientific texts of recently written values, by their bits. Survey
// columns repeat a few codes over and over, and a text depends on the value
// alone, so most numbers of a case are copied instead of rendered again.
class ScientificMemo {
  public:
    void Append(std::string& out, double v) {
        const uint64_t bits = std::bit_cast<uint64_t>(v);
        Entry& e = entries_[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits)];
        if (!e.filled || e.bits != bits) {
            detail::RenderScientific(e.text, v);
            e.bits = bits;
            e.filled = true;
        }
        out.append(e.text, kScientificLength);
    }

  private:
    static constexpr int kIndexBits = 10;
    struct Entry {
        uint64_t bits = 0;
        char text[kScientificLength];
        bool filled = false;
    };
    std::vector<Entry> entries_ = std::vector<Entry>(size_t{1} << kIndexBits);
};

}  // namespace

void CellTextSource::AppendRow(std::string& out, int row, int varCount) {
    for (int c = 1; c <= varCount; ++c) {
        AppendCell(out, row, c);
        out.push_back(' ');
    }
}

void WriteDisplayedRow(TextFileWriter& out, CellTextSource& cells, int row, int varCount,
                       std::string& line) {
    line.clear();
    cells.AppendRow(line, row, varCount);
    line.append("\r\n");
    out.Write(line);
}

void CellTextSource::AppendRows(std::span<std::string> lines, int firstRow, int varCount) {
    for (size_t i = 0; i < lines.size(); ++i)
        AppendRow(lines[i], firstRow + static_cast<int>(i), varCount);
}

bool WriteAsDisplayed(TextFileWriter& out, CellTextSource& cells, int caseCount, int varCount,
                      Progress* progress) {
    constexpr int kBlockRows = 64;
    std::vector<std::string> lines(std::clamp(caseCount, 0, kBlockRows));
    for (int r = 1; r <= caseCount;) {
        if (!Continue(progress, static_cast<uint64_t>(r - 1), static_cast<uint64_t>(caseCount)))
            return false;
        const int n = std::min(kBlockRows, caseCount - r + 1);
        const std::span<std::string> block(lines.data(), static_cast<size_t>(n));
        for (std::string& line : block) line.clear();
        try {
            cells.AppendRows(block, r, varCount);
        } catch (...) {
            // Row by row again, so that the rows before a failing one are
            // written before its error propagates, as in a plain row walk.
            for (int i = 0; i < n; ++i) WriteDisplayedRow(out, cells, r + i, varCount, lines[0]);
            r += n;
            continue;
        }
        if (cells.Lost()) {
            CurrentDialogs().Tell(Message{MessageCode::ExportFileChanged});
            return false;
        }
        for (std::string& line : block) {
            line.append("\r\n");
            out.Write(line);
        }
        r += n;
    }
    return true;
}

bool WriteInternalForm(TextFileWriter& out, int caseCount, int varCount, Progress* progress) {
    EnsureVarCapacity(varCount);
    ScientificMemo scientific;
    std::string line;
    const int stride = CasesPerStep(varCount);
    for (int r = 1; r <= caseCount; ++r) {
        if (r % stride == 0 &&
            !Continue(progress, static_cast<uint64_t>(r - 1), static_cast<uint64_t>(caseCount)))
            return false;
        LastStatus = spssReadCaseRecord(FileHandle);
        if (LastStatus != 0) {
            CurrentDialogs().Tell(Message{MessageCode::DataReadTrouble});
            return false;
        }
        line.clear();
        for (int i = 0; i < varCount; ++i) {
            if (VarTypes[i] != 0) {
                LastStatus = spssGetValueChar(FileHandle, VarHandles[i], StringValueBuffer,
                                              kStringValueBufferSize);
                if (LastStatus != 0) continue;
                line.append(BufferText());
            } else {
                LastStatus = spssGetValueNumeric(FileHandle, VarHandles[i], &NumericValue);
                if (LastStatus != 0) continue;
                scientific.Append(line, NumericValue);
            }
            line.push_back(' ');
        }
        out.Write(line);
        out.WriteLine();
    }
    return true;
}

bool WriteExport(TextFileWriter& out, ExportMode mode, CellTextSource* cells, Progress* progress) {
    const int varCount = std::max(VarCount, 0);
    if (mode == ExportMode::AsDisplayed) {
        const int rows = cells && cells->SelectedRows() >= 0 ? cells->SelectedRows() : CaseCount;
        return !cells || WriteAsDisplayed(out, *cells, rows, varCount, progress);
    }
    OpenDataFile();
    bool complete = false;
    try {
        complete = WriteInternalForm(out, CaseCount, varCount, progress);
    } catch (...) {
        LastStatus = spssCloseRead(FileHandle);
        throw;
    }
    LastStatus = spssCloseRead(FileHandle);
    return complete;
}

bool RunExport(const std::string& path, ExportMode mode, CellTextSource* cells,
               Progress* progress) {
    WatchedProgress watched(progress);
    TextFileWriter out;
    out.Create(path);
    // An error leaving this scope drops the output with the writer.
    const bool complete = WriteExport(out, mode, cells, &watched);
    if (watched.stopped()) {
        out.Discard();
        return false;
    }
    out.Close();
    return complete;
}

}  // namespace lv
