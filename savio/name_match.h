// Finding variables by name: byte for byte first, then ignoring the case of
// ASCII letters (names of other bytes are compared as they are). The first
// variable of a name wins when a damaged file repeats names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace savio {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// An open-addressing table over copies of the names, hashed with ASCII
// letters folded, so that one probe sequence finds both the exact and the
// case-folded match and a lookup allocates nothing. Files with 100,000
// variables build several of these at every open.
class NameIndex {
  public:
    void Reserve(size_t count);
    // Empty names are not indexed.
    void Add(std::string_view name, int index);
    // The index of the variable of that name, or -1.
    int Find(std::string_view name) const;

  private:
    struct Entry {
        uint32_t offset;
        uint32_t length;
        uint32_t hash;
        int index;
    };
    std::string_view NameOf(const Entry& e) const { return {arena_.data() + e.offset, e.length}; }
    void Place(int32_t entry);
    void Rehash(size_t slots);

    std::string arena_;
    std::vector<Entry> entries_;
    std::vector<int32_t> slots_;  // -1 = empty, else into entries_
};

}  // namespace savio
