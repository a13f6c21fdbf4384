// Computed columns of the data grid: computed variables (computed_variables.h)
// shown after the file's variables, their values made as the grid reads its
// cells, a block of cases at a time (the grid's case store and case cache),
// so that nothing of them is kept beyond the blocks on hand. A computed
// column works as a column of the file does in conditions, sorts, searches,
// copies and exports; it is never written into the data file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/compute/computed_variables.h"
#include "core/grid/grid_data.h"

namespace lv {

// The facts of a computed variable, as the grid holds them.
VariableFacts ComputedFactsOf(const DictVariable& variable);

// The grid's computed columns as specs (UTF-8), in their order.
std::vector<ComputeSpec> GridComputedSpecs(const GridData& grid, const std::string& encoding);

// Makes the grid's computed columns those of specs, compiled against the
// grid's dictionary in encoding (the display encoding): the ones before stay
// when they are among specs, the others are taken away. On an error (its spec
// and message, with the position in the expression) nothing changes.
std::optional<ComputeError> SetGridComputed(GridData& grid, const std::vector<ComputeSpec>& specs,
                                            const std::string& encoding);

// One more computed column after the others.
std::optional<ComputeError> AddGridComputed(GridData& grid, const ComputeSpec& spec,
                                            const std::string& encoding);

// Takes computed column `column` away; refused (nothing changes) while a
// later computed column is made from it.
std::optional<ComputeError> RemoveGridComputed(GridData& grid, int column,
                                               const std::string& encoding);

}  // namespace lv
