#include "core/rendering/print_format.h"

#include <algorithm>
#include <cstring>

#include "core/rendering/date_format.h"
#include "core/rendering/number_format.h"

namespace lv {
namespace {

struct TypeLimits {
    const char* name;  // nullptr: not a format type
    int minWidth;
    int maxWidth;
};

TypeLimits LimitsOf(int type) {
    switch (type) {
        case fmt::A:
            return {"A", 1, 32767};
        case fmt::AHEX:
            return {"AHEX", 2, 65534};
        case fmt::COMMA:
            return {"COMMA", 1, 40};
        case fmt::DOLLAR:
            return {"DOLLAR", 2, 40};
        case fmt::F:
            return {"F", 1, 40};
        case fmt::IB:
            return {"IB", 1, 8};
        case fmt::PIBHEX:
            return {"PIBHEX", 2, 16};
        case fmt::P:
            return {"P", 1, 16};
        case fmt::PIB:
            return {"PIB", 1, 8};
        case fmt::PK:
            return {"PK", 1, 16};
        case fmt::RB:
            return {"RB", 2, 8};
        case fmt::RBHEX:
            return {"RBHEX", 4, 16};
        case fmt::Z:
            return {"Z", 1, 40};
        case fmt::N:
            return {"N", 1, 40};
        case fmt::E:
            return {"E", 6, 40};
        case fmt::DATE:
            return {"DATE", 9, 40};
        case fmt::TIME:
            return {"TIME", 5, 40};
        case fmt::DATETIME:
            return {"DATETIME", 17, 40};
        case fmt::ADATE:
            return {"ADATE", 8, 40};
        case fmt::JDATE:
            return {"JDATE", 5, 40};
        case fmt::DTIME:
            return {"DTIME", 8, 40};
        case fmt::WKDAY:
            return {"WKDAY", 2, 40};
        case fmt::MONTH:
            return {"MONTH", 3, 40};
        case fmt::MOYR:
            return {"MOYR", 6, 40};
        case fmt::QYR:
            return {"QYR", 6, 40};
        case fmt::WKYR:
            return {"WKYR", 8, 40};
        case fmt::PCT:
            return {"PCT", 2, 40};
        case fmt::DOT:
            return {"DOT", 1, 40};
        case fmt::CCA:
            return {"CCA", 2, 40};
        case fmt::CCA + 1:
            return {"CCB", 2, 40};
        case fmt::CCA + 2:
            return {"CCC", 2, 40};
        case fmt::CCA + 3:
            return {"CCD", 2, 40};
        case fmt::CCE:
            return {"CCE", 2, 40};
        case fmt::EDATE:
            return {"EDATE", 8, 40};
        case fmt::SDATE:
            return {"SDATE", 8, 40};
        case fmt::MTIME:
            return {"MTIME", 5, 40};
        case fmt::YMDHMS:
            return {"YMDHMS", 16, 40};
        default:
            return {nullptr, 0, 0};
    }
}

// The most decimals a type shows at width, 0..16.
int MaxDecimals(int type, int width) {
    int most = 0;
    switch (type) {
        case fmt::F:
        case fmt::COMMA:
        case fmt::DOT:
            most = width - 1;
            break;
        case fmt::DOLLAR:
        case fmt::PCT:
            most = width - 2;
            break;
        case fmt::E:
            most = width - 7;
            break;
        case fmt::N:
        case fmt::Z:
            most = width;
            break;
        case fmt::P:
            most = width * 2 - 1;
            break;
        case fmt::PK:
            most = width * 2;
            break;
        case fmt::IB:
        case fmt::PIB:
            // The decimal digits of the largest integer of width bytes.
            most = width >= 8 ? 19 : static_cast<int>(width * 2.408) + (width == 1 ? 1 : 0);
            break;
        case fmt::RB:
            most = 16;
            break;
        case fmt::DATETIME:
            most = width - 21;
            break;
        case fmt::YMDHMS:
            most = width - 20;
            break;
        case fmt::MTIME:
            most = width - 6;
            break;
        case fmt::TIME:
            most = width - 9;
            break;
        case fmt::DTIME:
            most = width - 12;
            break;
        default:
            if (type >= fmt::CCA && type <= fmt::CCE) most = width - 1;
            break;
    }
    return std::clamp(most, 0, 16);
}

bool TakesDecimals(int type) {
    return MaxDecimals(type, LimitsOf(type).maxWidth) > 0;
}

bool IsBinaryFormat(int type) {
    return type == fmt::IB || type == fmt::PIB || type == fmt::P || type == fmt::PK ||
           type == fmt::RB;
}

// Width into the type's range; then, when the decimals do not fit, the
// width grows until they do, and what still does not fit is dropped.
PrintFormat Fixed(PrintFormat f) {
    const TypeLimits limits = LimitsOf(f.type);
    f.width = std::clamp(f.width, limits.minWidth, limits.maxWidth);
    if (TakesDecimals(f.type))
        while (f.decimals > MaxDecimals(f.type, f.width) && f.width < limits.maxWidth) ++f.width;
    f.decimals = std::clamp(f.decimals, 0, MaxDecimals(f.type, f.width));
    return f;
}

}  // namespace

bool IsCalendarFormat(int type) {
    switch (type) {
        case fmt::DATE:
        case fmt::ADATE:
        case fmt::EDATE:
        case fmt::JDATE:
        case fmt::SDATE:
        case fmt::QYR:
        case fmt::MOYR:
        case fmt::WKYR:
        case fmt::DATETIME:
        case fmt::YMDHMS:
            return true;
        default:
            return false;
    }
}

bool IsDurationFormat(int type) {
    return type == fmt::TIME || type == fmt::DTIME || type == fmt::MTIME;
}

PrintFormat FormatRender::Normalize(PrintFormat written, int varWidth) {
    const bool stringVariable = varWidth > 0;
    const PrintFormat fallback =
        stringVariable ? PrintFormat{fmt::A, varWidth, 0} : PrintFormat{fmt::F, 8, 2};
    if (LimitsOf(written.type).name == nullptr) return fallback;
    PrintFormat f = Fixed(written);
    const bool stringFormat = f.type == fmt::A || f.type == fmt::AHEX;
    if (stringFormat != stringVariable) return fallback;
    if (stringVariable) {
        const int bytes = f.type == fmt::AHEX ? f.width / 2 : f.width;
        if (bytes != varWidth) return fallback;
        return f;
    }
    if (IsBinaryFormat(f.type)) f = Fixed(PrintFormat{fmt::F, f.width, f.decimals});
    return f;
}

FormatRender::FormatRender(PrintFormat written, int varWidth, const FormatSettings& settings)
    : format_(Normalize(written, varWidth)), string_(varWidth > 0), settings_(settings) {
    if (settings_.epoch == 0) settings_.epoch = detail::DefaultEpoch();
    if (!string_) dateLayout_ = detail::MakeDateLayout(format_);
    switch (format_.type) {
        case fmt::N:
        case fmt::Z:
        case fmt::PIBHEX:
        case fmt::RBHEX:
        case fmt::WKDAY:
        case fmt::MONTH:
        case fmt::A:
        case fmt::AHEX:
            break;
        default:
            decimal_ = !IsCalendarFormat(format_.type) && !IsDurationFormat(format_.type);
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

void FormatRender::AppendString(std::string& out, std::string_view stored, size_t blanks) const {
    const size_t bytes = format_.type == fmt::AHEX ? static_cast<size_t>(format_.width / 2)
                                                   : static_cast<size_t>(format_.width);
    const size_t fromStored = std::min(stored.size(), bytes);
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
