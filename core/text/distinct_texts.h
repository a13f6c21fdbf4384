// The distinct values of a string column, each kept once in one arena and
// found again by an open-addressing table (no allocation per value), then
// ranked by their shown text: what a string sort compares, for a million
// rows whether they hold a few values or a million different ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

class DistinctTexts {
  public:
    // The id of value (0, 1, 2, ... in the order values first come).
    uint32_t Intern(std::string_view value);
    size_t size() const { return starts_.size(); }
    std::string_view Text(uint32_t id) const;

    // Per id, its rank in the order of the values' shown texts (code point
    // order); values whose shown texts are equal share a rank.
    std::vector<uint32_t> Ranks() const;

  private:
    void Grow();

    std::string arena_;
    std::vector<uint64_t> starts_;  // id -> start in arena_; ends at the next start
    std::vector<uint32_t> table_;   // id + 1, or 0 for an empty slot
};

}  // namespace lv
