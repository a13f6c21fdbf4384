#include "core/rendering/format_name.h"

#include "savio/spssfio.h"

namespace lv {
namespace {

bool TakesDecimals(int type) {
    switch (type) {
        case SPSS_FMT_A:
        case SPSS_FMT_AHEX:
        case SPSS_FMT_PIBHEX:
        case SPSS_FMT_DATE:
        case SPSS_FMT_ADATE:
        case SPSS_FMT_EDATE:
        case SPSS_FMT_JDATE:
        case SPSS_FMT_SDATE:
        case SPSS_FMT_QYR:
        case SPSS_FMT_MOYR:
        case SPSS_FMT_WKYR:
        case SPSS_FMT_WKDAY:
        case SPSS_FMT_MONTH:
            return false;
        default:
            return true;
    }
}

}  // namespace

std::string_view FormatTypeName(int type) {
#define LV_FORMAT_NAME_CASE(symbol, code, text) \
    case code:                                  \
        return text;
    switch (type) {
        SPSS_FORMAT_TYPES(LV_FORMAT_NAME_CASE)
        default:
            return {};
    }
#undef LV_FORMAT_NAME_CASE
}

std::string FormatText(int type, int width, int decimals) {
    const std::string_view name = FormatTypeName(type);
    std::string out;
    if (name.empty())
        out.append("?").append(std::to_string(type)).append("?");
    else
        out.append(name);
    out += std::to_string(width);
    if (TakesDecimals(type) || decimals != 0) out.append(".").append(std::to_string(decimals));
    return out;
}

bool IsDateFormat(int t) {
    return t == SPSS_FMT_DATE || t == SPSS_FMT_ADATE || t == SPSS_FMT_JDATE ||
           t == SPSS_FMT_SDATE || t == SPSS_FMT_EDATE;
}

}  // namespace lv
