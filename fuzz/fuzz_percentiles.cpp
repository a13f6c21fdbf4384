// libFuzzer target: the bytes as the percents asked of freq and describe
// (--percentiles, the frequency window's field). A list read must hold
// percents from 0 to 100, each written once, and give a percentile within
// the values of a small weighted table; anything else is refused with the
// list left as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/stats/order_walk.h"
#include "core/stats/percentile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<lv::AskedPercentile> asked(1);
    if (!lv::ParsePercentiles(text, asked)) {
        if (asked.size() != 1) std::abort();
        return 0;
    }
    std::vector<double> points;
    for (size_t i = 0; i < asked.size(); ++i) {
        if (!(asked[i].percent >= 0 && asked[i].percent <= 100)) std::abort();
        for (size_t j = 0; j < i; ++j)
            if (asked[j].text == asked[i].text) std::abort();
        points.push_back(asked[i].percent / 100);
    }
    lv::OrderWalk walk(3.55, points);
    walk.Add(-2, 0.8, 1);
    walk.Add(0, 0.25, 1);
    walk.Add(7.5, 2.5, 3);
    for (double p : walk.Finish().percentiles)
        if (!(p >= -2 && p <= 7.5)) std::abort();
    return 0;
}
