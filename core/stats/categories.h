// The distinct values of a variable that a table lists as its categories
// (a crosstab's rows, columns and layers, the groups of means), numbered as
// they first come in the pass and sorted into value order at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/stats/case_pass.h"
#include "core/stats/crosstab.h"

namespace lv {

class Categories {
  public:
    explicit Categories(const StatsVariable& v) : variable_(v) {}

    // Whether a case with value is left out of the table.
    bool LeftOut(const PassValue& value, bool includeUserMissing) const;

    // The category of value (-1 when the case is left out, -2 when there are
    // already max others).
    int Of(const PassValue& value, bool includeUserMissing, size_t max);

    size_t size() const { return list_.size(); }

    // The categories in value order, with their texts and labels, and where
    // each first-come number went.
    std::vector<CrossCategory> Sorted(std::vector<size_t>& placeOf) const;

  private:
    const StatsVariable& variable_;
    std::vector<CrossCategory> list_;
    std::unordered_map<uint64_t, int> numbers_;
    std::unordered_map<std::string, int> texts_;
};

}  // namespace lv
