#include "core/export.h"

#include <algorithm>
#include <cstring>

#include "core/dialogs.h"
#include "core/scientific.h"
#include "core/spssdio1.h"
#include "core/spssfio.h"
#include "core/textfile.h"

namespace lv {
namespace {

using namespace spssdio1;

std::string_view BufferText() {
    const void* nul = std::memchr(StringValueBuffer, 0, kStringValueBufferSize);
    const size_t n =
        nul ? static_cast<const char*>(nul) - StringValueBuffer : kStringValueBufferSize;
    return std::string_view(StringValueBuffer, n);
}

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

void WriteAsDisplayed(TextFileWriter& out, CellTextSource& cells, int caseCount, int varCount) {
    std::string line;
    for (int r = 1; r <= caseCount; ++r) WriteDisplayedRow(out, cells, r, varCount, line);
}

bool WriteInternalForm(TextFileWriter& out, int caseCount, int varCount) {
    EnsureVarCapacity(varCount);
    std::string line;
    for (int r = 1; r <= caseCount; ++r) {
        LastStatus = spssReadCaseRecord(FileHandle);
        if (LastStatus != 0) {
            CurrentDialogs().ShowMessage("データ読み込み中にトラブル発生：再度挑戦してください");
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
                AppendScientific(line, NumericValue);
            }
            line.push_back(' ');
        }
        out.Write(line);
        out.WriteLine();
    }
    return true;
}

bool RunExport(const std::string& path, ExportMode mode, CellTextSource* cells) {
    TextFileWriter out;
    out.Create(path);
    const int varCount = std::max(VarCount, 0);
    if (mode == ExportMode::AsDisplayed) {
        // The output closes itself when an error leaves this scope.
        if (cells) WriteAsDisplayed(out, *cells, CaseCount, varCount);
        out.Close();
        return true;
    }
    bool complete = false;
    OpenDataFile();
    try {
        complete = WriteInternalForm(out, CaseCount, varCount);
        out.Close();
    } catch (...) {
        // Keep the first error; the writer's destructor closes the output.
        LastStatus = spssCloseRead(FileHandle);
        throw;
    }
    LastStatus = spssCloseRead(FileHandle);
    return complete;
}

}  // namespace lv
