// The grid load's consumer that keeps every case: a GridData over a
// CompactCaseStore, as the grid window holds its cases.
#ifndef LORIVANE_CORE_GRIDFILL_H
#define LORIVANE_CORE_GRIDFILL_H

#include "core/casestore.h"
#include "core/griddata.h"
#include "core/gridload.h"

namespace lv {

class GridFill final : public GridLoadConsumer {
  public:
    explicit GridFill(GridData& grid) : grid_(grid) {}

    void Layout(const GridLayout& layout) override;
    void EditingOn() override {}
    void Case(int row, std::span<const GridCell> cells) override;

    // The store the cases went into (null before Layout).
    const CompactCaseStore* store() const { return store_; }

  private:
    GridData& grid_;
    CompactCaseStore* store_ = nullptr;  // owned by grid_
};

}  // namespace lv

#endif
