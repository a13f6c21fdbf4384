#include "core/grid/grid_fill.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/state/dialogs.h"
#include "core/state/message.h"
#include "core/state/spssdio1.h"
#include "savio/case_index.h"
#include "savio/case_indexer.h"
#include "savio/case_reread.h"

namespace lv {
namespace {

// The cases indexed before the grid shows: at least a screenful, and about
// a million slots' decoding at most.
int64_t FirstCasesFor(size_t slotCount) {
    return std::clamp<int64_t>(int64_t{1 << 20} / int64_t(std::max<size_t>(slotCount, 1)), 128,
                               4096);
}

}  // namespace

// Until the cases end the grid has no values: rows read as empty.
void GridFill::Layout(const GridLayout& layout) {
    raises_ = false;
    for (const GridColumnLayout& column : layout.columns)
        raises_ = raises_ || column.render.raises();
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
    std::unique_ptr<savio::CaseIndexer> indexer;
    damagedFirst_ = false;
    bool more = false;
    if (LastCase() == 0) {
        // The first screen's cases now, the rest on the index's thread.
        indexer = savio::CaseIndexer::Of(FileHandle, limits_.checkpointShift, CaseCount);
        if (!indexer) return;
        const auto status = indexer->Read(FirstCasesFor(indexer->index().shape.slotCount()));
        // Found before the grid shows, a damaged file is told as the load
        // tells it; a changed one is found by the first read of a cell.
        damagedFirst_ = status == savio::CaseIndexer::Status::Damaged;
        if (damagedFirst_) CurrentDialogs().Tell(Message{MessageCode::DataReadTrouble});
        more = status == savio::CaseIndexer::Status::More;
        index = indexer->index();
    } else if (!savio::GetCaseIndex(FileHandle, &index)) {
        return;
    }
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
    if (more) store->IndexInBackground(std::make_unique<BackgroundIndex>(std::move(indexer)));
    if (damagedFirst_) store->IndexEnded(IndexProgress::State::Damaged);
    grid_.SetStore(std::move(store));
}

}  // namespace lv
