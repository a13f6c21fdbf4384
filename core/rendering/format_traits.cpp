#include "core/rendering/format_traits.h"

#include <algorithm>
#include <cctype>

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

std::optional<PrintFormat> ParseFormatText(std::string_view text) {
    size_t i = 0;
    std::string name;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])))
        name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++]))));
    auto number = [&](int& out) {
        const size_t start = i;
        long long n = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && n < 100000)
            n = n * 10 + (text[i++] - '0');
        out = static_cast<int>(n);
        return i > start && i - start <= 5;
    };
    PrintFormat f;
    if (!number(f.width)) return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!number(f.decimals)) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    for (const FormatTraits& t : detail::kFormatTraits)
        if (t.name == name) f.type = t.type;
    const FormatTraits& t = TraitsOf(f.type);
    if (t.name.empty() || f.width < t.minWidth || f.width > t.maxWidth ||
        f.decimals > MaxDecimals(f.type, f.width))
        return std::nullopt;
    return f;
}

}  // namespace lv
