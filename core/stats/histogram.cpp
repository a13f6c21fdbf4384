#include "core/stats/histogram.h"

#include <algorithm>
#include <cmath>

namespace lv {

Histogram MakeHistogram(const ValueTally& tally) {
    Histogram h;
    const double low = tally.minimum(), high = tally.maximum();
    if (tally.variable().isString() || !std::isfinite(low) || !std::isfinite(high)) return h;
    const double n = static_cast<double>(tally.valid().cases);
    const int count = std::max(1, static_cast<int>(std::ceil(std::log2(std::max(n, 1.0)) + 1)));
    h.width = high > low ? (high - low) / count : 1;
    h.bins.resize(static_cast<size_t>(count));
    for (int b = 0; b < count; ++b) h.bins[size_t(b)].low = low + b * h.width;
    const auto binOf = [&](double x) {
        return static_cast<size_t>(std::clamp(static_cast<int>((x - low) / h.width), 0, count - 1));
    };
    double largestHeld = low;
    for (const TallyEntry& e : tally.Entries()) {
        if (e.missing != MissingKind::None) continue;
        h.bins[binOf(e.number)].weight += e.weight;
        largestHeld = std::max(largestHeld, e.number);
    }
    const double rest = tally.restValid().weight;
    if (tally.complete() || rest <= 0) return h;
    h.exact = false;
    // The rest lies in (largestHeld, high]: each bin takes its share of it.
    const double span = high - largestHeld;
    for (size_t b = binOf(largestHeld); b <= binOf(high); ++b) {
        const double from = std::max(largestHeld, h.bins[b].low);
        const double to = b + 1 == h.bins.size() ? high : std::min(high, h.bins[b].low + h.width);
        h.bins[b].weight += span > 0 ? rest * std::max(0.0, to - from) / span : rest;
    }
    return h;
}

}  // namespace lv
