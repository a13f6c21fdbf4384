#include "core/rendering/format_traits.h"

#include <algorithm>

namespace lv {

int MaxDecimals(int type, int width) {
    const FormatTraits& t = TraitsOf(type);
    int most = 0;
    switch (t.room) {
        case DecimalRoom::None:
            break;
        case DecimalRoom::WidthLess:
            most = width - t.less;
            break;
        case DecimalRoom::TwiceWidth:
            most = width * 2 - t.less;
            break;
        case DecimalRoom::IntegerBytes:
            most = width >= 8 ? 19 : static_cast<int>(width * 2.408) + (width == 1 ? 1 : 0);
            break;
        case DecimalRoom::Sixteen:
            most = 16;
            break;
    }
    return std::clamp(most, 0, 16);
}

bool TakesDecimals(int type) {
    return MaxDecimals(type, TraitsOf(type).maxWidth) > 0;
}

std::string FormatText(const PrintFormat& f) {
    const std::string_view name = FormatTypeName(f.type);
    std::string out;
    if (name.empty())
        out.append("?").append(std::to_string(f.type)).append("?");
    else
        out.append(name);
    out += std::to_string(f.width);
    const bool shown = name.empty() || f.type == fmt::RBHEX || TakesDecimals(f.type);
    if (shown || f.decimals != 0) out.append(".").append(std::to_string(f.decimals));
    return out;
}

}  // namespace lv
