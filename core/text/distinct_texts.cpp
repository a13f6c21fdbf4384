#include "core/text/distinct_texts.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/text/shown_text.h"

namespace lv {
namespace {

size_t Hash(std::string_view text) {
    return std::hash<std::string_view>()(text);
}

// The first eight bytes of text, big-endian, zero-filled: integers that
// order as the texts' starts do.
uint64_t Prefix(std::string_view text) {
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    return prefix;
}

}  // namespace

std::string_view DistinctTexts::Text(uint32_t id) const {
    const uint64_t start = starts_[id];
    const uint64_t end = id + 1 < starts_.size() ? starts_[id + 1] : arena_.size();
    return std::string_view(arena_).substr(start, end - start);
}

void DistinctTexts::Grow() {
    std::vector<uint32_t> fresh(std::max<size_t>(table_.size() * 2, 1024), 0);
    const size_t mask = fresh.size() - 1;
    for (uint32_t id = 0; id < starts_.size(); ++id) {
        size_t slot = Hash(Text(id)) & mask;
        while (fresh[slot] != 0) slot = (slot + 1) & mask;
        fresh[slot] = id + 1;
    }
    table_.swap(fresh);
}

uint32_t DistinctTexts::Intern(std::string_view value) {
    if ((starts_.size() + 1) * 2 > table_.size()) Grow();
    const size_t mask = table_.size() - 1;
    size_t slot = Hash(value) & mask;
    while (table_[slot] != 0) {
        const uint32_t id = table_[slot] - 1;
        if (Text(id) == value) return id;
        slot = (slot + 1) & mask;
    }
    const uint32_t id = static_cast<uint32_t>(starts_.size());
    starts_.push_back(arena_.size());
    arena_.append(value);
    table_[slot] = id + 1;
    return id;
}

std::vector<uint32_t> DistinctTexts::Ranks() const {
    const uint32_t n = static_cast<uint32_t>(size());
    // The shown texts: the bytes themselves when ASCII, else decoded into a
    // second arena (views made once it no longer grows).
    std::string decoded;
    std::vector<std::pair<uint64_t, uint64_t>> decodedAt(n, {UINT64_MAX, 0});
    for (uint32_t id = 0; id < n; ++id) {
        const std::string_view text = Text(id);
        if (IsAscii(text)) continue;
        const uint64_t start = decoded.size();
        AppendShownText(decoded, text);
        decodedAt[id] = {start, decoded.size() - start};
    }
    std::vector<std::string_view> shown(n);
    for (uint32_t id = 0; id < n; ++id)
        shown[id] =
            decodedAt[id].first == UINT64_MAX
                ? Text(id)
                : std::string_view(decoded).substr(decodedAt[id].first, decodedAt[id].second);
    std::vector<std::pair<uint64_t, uint32_t>> order(n);
    for (uint32_t id = 0; id < n; ++id) order[id] = {Prefix(shown[id]), id};
    std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        const int c = shown[a.second].compare(shown[b.second]);
        return c != 0 ? c < 0 : a.second < b.second;
    });
    std::vector<uint32_t> rank(n);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t id = order[i].second;
        const bool tie = i > 0 && shown[order[i - 1].second] == shown[id];
        rank[id] = tie ? rank[order[i - 1].second] : i;
    }
    return rank;
}

}  // namespace lv
