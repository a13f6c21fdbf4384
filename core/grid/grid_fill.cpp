#include "core/grid/grid_fill.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "core/state/spssdio1.h"
#include "savio/case_index.h"
#include "savio/case_reread.h"

namespace lv {

// Until the cases end the grid has no values: rows read as empty.
void GridFill::Layout(const GridLayout& layout) {
    grid_.Reset(layout, std::make_unique<MemoryCaseStore>(layout));
}

// The handles are there and no case is read yet.
void GridFill::EditingOn() {
    if (limits_.checkpointShift < 0) return;
    savio::SetCheckpointShift(spssdio1::FileHandle, limits_.checkpointShift);
}

void GridFill::CasesEnded(int cut) {
    using namespace spssdio1;
    savio::CaseIndex index;
    if (!savio::GetCaseIndex(FileHandle, &index)) return;
    std::vector<FileCaseStore::Column> columns;
    for (int i = 0; i < grid_.columnCount(); ++i)
        columns.push_back({savio::VariableIndexOfHandle(FileHandle, VarHandles[i]),
                           grid_.layout().columns[i].stringWidth});
    CaseCache::Source source;
    if (from_ == ReadBackFrom::LoadedFile) {
        source.reads = savio::ReadsOfOpenFile(FileHandle);
    } else {
        // The path as the load opened it, made absolute so that later reads
        // find the same file whatever the working folder is then.
        std::error_code error;
        std::filesystem::path path = std::filesystem::absolute(DataFileName, error);
        source.path = error ? DataFileName : path.string();
    }
    auto store = std::make_unique<FileCaseStore>(
        std::make_unique<CaseCache>(std::move(source), std::move(index), limits_.cacheBytes),
        std::move(columns), SysmisValue, limits_.aheadBytes);
    if (cut >= 0) store->CutLastRow(cut);
    grid_.SetStore(std::move(store));
}

}  // namespace lv
