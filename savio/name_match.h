// Finding variables by name: byte for byte first, then ignoring the case of
// ASCII letters (names of other bytes are compared as they are). The first
// variable of a name wins when a damaged file repeats names.
#ifndef LORIVANE_SAVIO_NAME_MATCH_H
#define LORIVANE_SAVIO_NAME_MATCH_H

#include <string>
#include <string_view>
#include <unordered_map>

namespace savio {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

class NameIndex {
  public:
    void Add(std::string_view name, int index);
    // The index of the variable of that name, or -1.
    int Find(std::string_view name) const;

  private:
    std::unordered_map<std::string, int> exact_;
    std::unordered_map<std::string, int> folded_;
};

}  // namespace savio

#endif
