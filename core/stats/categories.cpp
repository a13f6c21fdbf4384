#include "core/stats/categories.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "core/stats/value_text.h"

namespace lv {

bool Categories::LeftOut(const PassValue& value, bool includeUserMissing) const {
    if (variable_.isString()) return !includeUserMissing && variable_.missing().Holds(value.text);
    return value.sysmis || (!includeUserMissing && variable_.missing().Holds(value.number));
}

int Categories::Of(const PassValue& value, bool includeUserMissing, size_t max) {
    CrossCategory c;
    if (variable_.isString()) {
        c.missing = variable_.missing().Holds(value.text) ? MissingKind::User : MissingKind::None;
        if (c.missing != MissingKind::None && !includeUserMissing) return -1;
        const auto it = texts_.find(std::string(value.text));
        if (it != texts_.end()) return it->second;
        if (list_.size() >= max) return -2;
        c.text = value.text;
        texts_.emplace(c.text, static_cast<int>(list_.size()));
    } else {
        if (value.sysmis) return -1;
        const double x = value.number == 0 ? 0 : value.number;
        c.missing = variable_.missing().Holds(x) ? MissingKind::User : MissingKind::None;
        if (c.missing != MissingKind::None && !includeUserMissing) return -1;
        const uint64_t key = std::bit_cast<uint64_t>(x);
        const auto it = numbers_.find(key);
        if (it != numbers_.end()) return it->second;
        if (list_.size() >= max) return -2;
        c.number = x;
        numbers_.emplace(key, static_cast<int>(list_.size()));
    }
    list_.push_back(std::move(c));
    return static_cast<int>(list_.size()) - 1;
}

std::vector<CrossCategory> Categories::Sorted(std::vector<size_t>& placeOf) const {
    std::vector<size_t> order(list_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const bool strings = variable_.isString();
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return strings ? list_[a].text < list_[b].text : list_[a].number < list_[b].number;
    });
    std::vector<CrossCategory> sorted;
    placeOf.assign(list_.size(), 0);
    for (size_t i = 0; i < order.size(); ++i) {
        CrossCategory c = list_[order[i]];
        const std::string* label =
            strings ? variable_.LabelOf(c.text) : variable_.LabelOf(c.number);
        if (label) c.label = *label;
        c.valueText = strings ? c.text : StatsValueText(*variable_.dict, c.number);
        placeOf[order[i]] = i;
        sorted.push_back(std::move(c));
    }
    return sorted;
}

}  // namespace lv
