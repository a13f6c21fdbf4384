#include "core/rendering/print_format.h"

#include <algorithm>
#include <cstring>

#include "core/rendering/calendar.h"
#include "core/rendering/date_format.h"
#include "core/rendering/number_format.h"

namespace lv {
namespace {

// Width into the type's range; then, when the decimals do not fit, the
// width grows until they do, and what still does not fit is dropped.
PrintFormat Fixed(PrintFormat f) {
    const FormatTraits& traits = TraitsOf(f.type);
    f.width = std::clamp(f.width, traits.minWidth, traits.maxWidth);
    if (TakesDecimals(f.type))
        while (f.decimals > MaxDecimals(f.type, f.width) && f.width < traits.maxWidth) ++f.width;
    f.decimals = std::clamp(f.decimals, 0, MaxDecimals(f.type, f.width));
    return f;
}

}  // namespace

PrintFormat FormatRender::Normalize(PrintFormat written, int varWidth) {
    const bool stringVariable = varWidth > 0;
    const PrintFormat fallback =
        stringVariable ? PrintFormat{fmt::A, varWidth, 0} : PrintFormat{fmt::F, 8, 2};
    if (CategoryOf(written.type) == FormatCategory::None) return fallback;
    PrintFormat f = Fixed(written);
    const bool stringFormat = CategoryOf(f.type) == FormatCategory::String;
    if (stringFormat != stringVariable) return fallback;
    if (stringVariable) {
        const int bytes = f.type == fmt::AHEX ? f.width / 2 : f.width;
        if (bytes != varWidth) return fallback;
        return f;
    }
    if (CategoryOf(f.type) == FormatCategory::Binary)
        f = Fixed(PrintFormat{fmt::F, f.width, f.decimals});
    return f;
}

FormatRender::FormatRender(PrintFormat written, int varWidth, const FormatSettings& settings)
    : format_(Normalize(written, varWidth)), string_(varWidth > 0), settings_(settings) {
    if (settings_.epoch == 0) settings_.epoch = DefaultEpoch();
    if (!string_) dateLayout_ = detail::MakeDateLayout(format_);
    switch (CategoryOf(format_.type)) {
        case FormatCategory::Number:
        case FormatCategory::Grouped:
        case FormatCategory::Percent:
        case FormatCategory::Scientific:
        case FormatCategory::Binary:
            decimal_ = true;
            break;
        default:
            break;
    }
}

int FormatRender::RenderNumber(double value, char* buf) const {
    const PrintFormat& f = format_;
    if (decimal_) return detail::RenderDecimalFormat(f, settings_.decimal, value, buf);
    switch (f.type) {
        case fmt::N:
            return detail::RenderN(f, value, buf);
        case fmt::Z:
            return detail::RenderZ(f, value, buf);
        case fmt::PIBHEX:
            return detail::RenderPibHex(f, value, buf);
        case fmt::RBHEX:
            return detail::RenderRbHex(f, value, buf);
        case fmt::WKDAY:
            return detail::RenderWeekday(f, value, buf);
        case fmt::MONTH:
            return detail::RenderMonth(f, value, buf);
        case fmt::A:
        case fmt::AHEX:
            return detail::RenderMissing(f, buf);
        default:
            if (dateLayout_.way != detail::DateLayout::Way::General) {
                const int length =
                    detail::RenderDateLayout(f, dateLayout_, settings_.epoch, value, buf);
                if (length >= 0) return length;
            }
            if (IsCalendarFormat(f.type) || IsDurationFormat(f.type))
                return detail::RenderDateFormat(f, settings_.decimal, settings_.epoch, value, buf);
            return detail::RenderDecimalFormat(f, settings_.decimal, value, buf);
    }
}

int FormatRender::RenderSysmis(char* buf) const {
    return detail::RenderMissing(format_, buf);
}

void FormatRender::AppendNumber(std::string& out, double value) const {
    char buf[kMaxNumberText];
    out.append(buf, static_cast<size_t>(RenderNumber(value, buf)));
}

void FormatRender::AppendSysmis(std::string& out) const {
    char buf[kMaxNumberText];
    out.append(buf, static_cast<size_t>(RenderSysmis(buf)));
}

void FormatRender::AppendString(std::string& out, std::string_view stored, size_t blanks,
                                CharLayout chars) const {
    const size_t bytes = format_.type == fmt::AHEX ? static_cast<size_t>(format_.width / 2)
                                                   : static_cast<size_t>(format_.width);
    const size_t fromStored = format_.type == fmt::AHEX || stored.size() <= bytes
                                  ? std::min(stored.size(), bytes)
                                  : CutAtCharBoundary(stored, bytes, chars);
    const size_t fromBlanks = std::min(blanks, bytes - fromStored);
    const size_t trailing = bytes - fromStored - fromBlanks;  // short values: padded
    if (format_.type != fmt::AHEX) {
        out.append(stored.data(), fromStored);
        out.append(fromBlanks + trailing, ' ');
        return;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    const size_t start = out.size();
    out.resize(start + 2 * bytes);
    char* p = out.data() + start;
    for (size_t i = 0; i < bytes; ++i) {
        const auto byte = static_cast<unsigned char>(i < fromStored ? stored[i] : ' ');
        *p++ = kHex[byte >> 4];
        *p++ = kHex[byte & 15];
    }
    (void)trailing;
}

}  // namespace lv
