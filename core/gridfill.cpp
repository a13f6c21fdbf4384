#include "core/gridfill.h"

#include <memory>

namespace lv {

void GridFill::Layout(const GridLayout& layout) {
    auto store = std::make_unique<CompactCaseStore>(layout);
    store_ = store.get();
    grid_.Reset(layout, std::move(store));
}

// Cases arrive in row order.
void GridFill::Case(int, std::span<const GridCell> cells) {
    store_->Append(cells);
}

}  // namespace lv
