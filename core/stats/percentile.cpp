#include "core/stats/percentile.h"

#include <charconv>

#include "core/stats/order_walk.h"
#include "core/text/trim.h"

namespace lv {

double WeightedAveragePercentile(std::span<const WeightedValue> values, double p) {
    double total = 0;
    for (const WeightedValue& v : values) total += v.weight;
    const double points[] = {p};
    OrderWalk walk(total, points);
    for (const WeightedValue& v : values) walk.Add(v.value, v.weight, 0);
    return walk.Finish().percentiles[0];
}

}  // namespace lv

namespace lv {

bool ParsePercentiles(std::string_view text, std::vector<AskedPercentile>& out) {
    std::vector<AskedPercentile> asked;
    if (Trim(text).empty()) {
        out.clear();
        return true;
    }
    for (size_t start = 0; start <= text.size();) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string_view item = Trim(text.substr(start, comma - start));
        start = comma + 1;
        // Digits and at most one point, with a digit somewhere.
        if (item.empty() || item.find_first_not_of("0123456789.") != std::string_view::npos ||
            item.find_first_of("0123456789") == std::string_view::npos ||
            item.find('.') != item.rfind('.'))
            return false;
        AskedPercentile p;
        p.text = std::string(item);
        const auto [end, error] =
            std::from_chars(item.data(), item.data() + item.size(), p.percent);
        if (error != std::errc() || end != item.data() + item.size() || p.percent > 100)
            return false;
        bool seen = false;
        for (const AskedPercentile& a : asked) seen = seen || a.text == p.text;
        if (!seen) asked.push_back(std::move(p));
    }
    out = std::move(asked);
    return true;
}

}  // namespace lv
