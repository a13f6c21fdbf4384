#include "savio/name_match.h"

namespace savio {
namespace {

std::string FoldAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    return FoldAscii(a) == FoldAscii(b);
}

void NameIndex::Add(std::string_view name, int index) {
    exact_.emplace(std::string(name), index);
    folded_.emplace(FoldAscii(name), index);
}

int NameIndex::Find(std::string_view name) const {
    if (auto it = exact_.find(std::string(name)); it != exact_.end()) return it->second;
    if (auto it = folded_.find(FoldAscii(name)); it != folded_.end()) return it->second;
    return -1;
}

}  // namespace savio
