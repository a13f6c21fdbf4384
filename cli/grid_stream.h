// The grid's cases for the tool, held in a lv::GridData so that every text
// comes from the windows' own code: streamed a block of cases at a time
// (nothing else kept), or loaded whole when the rows must be sorted first.
#pragma once

#include <climits>
#include <functional>
#include <vector>

#include "core/dictionary/variable_facts.h"
#include "core/grid/case_store.h"
#include "core/grid/grid_data.h"
#include "core/grid/grid_load.h"

namespace lv::cli {

// Hands the cases first .. last (1-based; last -1: to the end) over in
// blocks: onBlock gets a grid of the block's cases and the case number of
// its first row. facts, when given, are set on every block, with labels
// and print formats shown as show says. The load reads no case after last.
struct GridShow {
    bool labels = true;
    bool formatted = false;
};

class BlockStream final : public lv::GridLoadConsumer {
  public:
    using OnBlock = std::function<void(const lv::GridData& block, long long firstCase)>;
    BlockStream(long long first, long long last, const std::vector<lv::VariableFacts>* facts,
                OnBlock onBlock, GridShow show = {});

    void Layout(const lv::GridLayout& layout) override;
    void EditingOn() override {}
    void Case(int row, std::span<const lv::GridCell> cells) override;
    int LastCase() const override {
        return last_ < 0 ? -1 : last_ > INT_MAX ? INT_MAX : static_cast<int>(last_);
    }
    int FirstCase() const override {
        return first_ < 1 ? 1 : first_ > INT_MAX ? INT_MAX : static_cast<int>(first_);
    }
    // Hands over the cases held; a load that ended (or stopped) calls it.
    void Flush();

    // The block's grid (no rows between blocks).
    const lv::GridData& grid() const { return grid_; }
    // The last case number handed to Case (0 before any).
    long long delivered() const { return delivered_; }

  private:
    long long first_, last_;
    const std::vector<lv::VariableFacts>* facts_;
    OnBlock onBlock_;
    GridShow show_;
    lv::GridData grid_;
    lv::MemoryCaseStore* store_ = nullptr;
    long long delivered_ = 0;
    long long blockFirst_ = 0;
};

}  // namespace lv::cli
