#include "cli/grid_stream.h"

#include <memory>

namespace lv::cli {
namespace {

constexpr int kBlockRows = 1024;

}  // namespace

BlockStream::BlockStream(long long first, long long last,
                         const std::vector<lv::VariableFacts>* facts, OnBlock onBlock,
                         GridShow show)
    : first_(first), last_(last), facts_(facts), onBlock_(std::move(onBlock)), show_(show) {}

void BlockStream::Layout(const lv::GridLayout& layout) {
    lv::GridLayout block = layout;
    block.caseCount = kBlockRows;
    auto store = std::make_unique<lv::MemoryCaseStore>(block);
    store_ = store.get();
    grid_.Reset(block, std::move(store));
    grid_.SetRowCount(0);
    if (facts_) {
        grid_.SetFacts(*facts_);
        grid_.SetShowLabels(show_.labels);
        grid_.SetShowFormatted(show_.formatted);
    }
}

void BlockStream::Case(int row, std::span<const lv::GridCell> cells) {
    delivered_ = row;
    if (row < first_) return;
    if (last_ != -1 && row > last_) return;
    if (store_->RowCount() == 0) blockFirst_ = row;
    store_->Append(cells);
    if (store_->RowCount() == kBlockRows) Flush();
}

void BlockStream::Flush() {
    if (!store_ || store_->RowCount() == 0) return;
    grid_.SetRowCount(store_->RowCount());
    onBlock_(grid_, blockFirst_);
    store_->Clear();
    grid_.SetRowCount(0);
}

}  // namespace lv::cli
