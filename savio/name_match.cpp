#include "name_match.h"

namespace savio {
namespace {

inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

uint32_t FoldedHash(std::string_view s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ Fold(c)) * 16777619u;
    return h;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void NameIndex::Reserve(size_t count) {
    entries_.reserve(count);
    arena_.reserve(count * 8);
    if (slots_.size() < 2 * count) Rehash(2 * count);
}

void NameIndex::Add(std::string_view name, int index) {
    if (name.empty()) return;
    entries_.push_back({static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(name.size()),
                        FoldedHash(name), index});
    arena_.append(name);
    if (2 * entries_.size() > slots_.size())
        Rehash(2 * slots_.size() > 16 ? 2 * slots_.size() : 16);
    else
        Place(static_cast<int32_t>(entries_.size() - 1));
}

// Entries of one folded name follow each other in their probe sequence in
// the order they were added, so the first found is the first added.
void NameIndex::Place(int32_t entry) {
    const size_t mask = slots_.size() - 1;
    size_t i = entries_[static_cast<size_t>(entry)].hash & mask;
    while (slots_[i] >= 0) i = (i + 1) & mask;
    slots_[i] = entry;
}

void NameIndex::Rehash(size_t slots) {
    size_t size = 16;
    while (size < slots) size *= 2;
    slots_.assign(size, -1);
    for (size_t e = 0; e < entries_.size(); ++e) Place(static_cast<int32_t>(e));
}

int NameIndex::Find(std::string_view name) const {
    if (slots_.empty() || name.empty()) return -1;
    const uint32_t hash = FoldedHash(name);
    const size_t mask = slots_.size() - 1;
    int folded = -1;
    for (size_t i = hash & mask; slots_[i] >= 0; i = (i + 1) & mask) {
        const Entry& e = entries_[static_cast<size_t>(slots_[i])];
        if (e.hash != hash || e.length != name.size()) continue;
        const std::string_view candidate = NameOf(e);
        if (candidate == name) return e.index;
        if (folded < 0 && EqualsIgnoringAsciiCase(candidate, name)) folded = e.index;
    }
    return folded;
}

}  // namespace savio
