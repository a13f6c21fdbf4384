#include "core/condition/number_input.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/condition/condition_dates.h"

namespace lv {
namespace {

constexpr double kMissing = -DBL_MAX;

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool ReadsNumberInput(int type) {
    switch (CategoryOf(type)) {
        case FormatCategory::Number:
        case FormatCategory::Grouped:
        case FormatCategory::Percent:
        case FormatCategory::Scientific:
            return true;
        case FormatCategory::Zoned:
            return type == fmt::N;
        default:
            return ReadsFormattedDate(type);
    }
}

double ReadFormattedNumber(std::string_view text, const PrintFormat& format) {
    if (text.size() > static_cast<size_t>(format.width))
        text = text.substr(0, static_cast<size_t>(format.width));
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return kMissing;
    if (ReadsFormattedDate(format.type)) {
        const std::optional<double> v = ParseFormattedDate(text, format.type);
        return v ? *v : kMissing;
    }
    const char point = format.type == fmt::DOT ? ',' : '.';
    const char grouping =
        format.type == fmt::DOT                                                              ? '.'
        : format.type == fmt::COMMA || format.type == fmt::DOLLAR || format.type == fmt::PCT ? ','
                                                                                             : '\0';
    std::string plain;  // as strtod reads it
    size_t i = 0;
    bool digits = false, decimals = false, exponent = false;
    if (format.type == fmt::N) {
        for (char c : text)
            if (!Digit(c)) return kMissing;
        plain.assign(text);
        digits = true;
    } else {
        if (text[i] == '+' || text[i] == '-') plain.push_back(text[i++]);
        if (grouping == ',' && i < text.size() && text[i] == '$') ++i;
        while (i < text.size() && Blank(text[i])) ++i;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (Digit(c)) {
                plain.push_back(c);
                digits = true;
            } else if (c == point && !decimals) {
                plain.push_back('.');
                decimals = true;
            } else if (c == grouping && grouping && !decimals) {
            } else {
                break;
            }
        }
        if (i < text.size() && std::strchr("eEdD+-", text[i])) {
            std::string power = "e";
            if (std::strchr("eEdD", text[i])) ++i;
            if (i < text.size() && (text[i] == '+' || text[i] == '-')) power.push_back(text[i++]);
            const size_t start = i;
            while (i < text.size() && Digit(text[i])) power.push_back(text[i++]);
            if (i == start) return kMissing;
            plain += power;
            exponent = true;
        }
        if (format.type == fmt::PCT && i < text.size() && text[i] == '%') ++i;
        if (i != text.size()) return kMissing;
    }
    if (!digits) return kMissing;
    double v = std::strtod(plain.c_str(), nullptr);
    if (!decimals && !exponent && format.decimals > 0) v /= std::pow(10.0, format.decimals);
    return std::isfinite(v) ? v : kMissing;
}

}  // namespace lv
