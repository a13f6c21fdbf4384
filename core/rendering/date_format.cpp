#include "core/rendering/date_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/rendering/calendar.h"
#include "core/rendering/format_digits.h"
#include "core/rendering/number_format.h"

namespace lv::detail {
namespace {

// The two templates of each format (see DateTemplate).
struct Templates {
    const char* narrow;
    const char* wide;
};

Templates TemplatesOf(int type) {
    switch (type) {
        case fmt::DATE:
            return {"dd-mmm-yy", "dd-mmm-yyyy"};
        case fmt::ADATE:
            return {"mm/dd/yy", "mm/dd/yyyy"};
        case fmt::EDATE:
            return {"dd.mm.yy", "dd.mm.yyyy"};
        case fmt::JDATE:
            return {"yyddd", "yyyyddd"};
        case fmt::SDATE:
            return {"yy/mm/dd", "yyyy/mm/dd"};
        case fmt::QYR:
            return {"q Q yy", "q Q yyyy"};
        case fmt::MOYR:
            return {"mmm yy", "mmm yyyy"};
        case fmt::WKYR:
            return {"ww WK yy", "ww WK yyyy"};
        case fmt::DATETIME:
            return {"dd-mmm-yyyy HH:MM", "dd-mmm-yyyy HH:MM:SS"};
        case fmt::YMDHMS:
            return {"yyyy-mm-dd HH:MM", "yyyy-mm-dd HH:MM:SS"};
        case fmt::MTIME:
            return {"MM", "MM:SS"};
        case fmt::TIME:
            return {"HH:MM", "HH:MM:SS"};
        default:
            return {"D HH:MM", "D HH:MM:SS"};  // DTIME
    }
}

char* PutNumber(char* p, int64_t v, int minDigits, char pad) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* first = WriteDigitsBackward(end, static_cast<uint64_t>(v), 1);
    for (int n = static_cast<int>(end - first); n < minDigits; ++n) *p++ = pad;
    std::memcpy(p, first, static_cast<size_t>(end - first));
    return p + (end - first);
}

// A whole number of at most 40 digits (a larger one cannot fit any width).
bool PutWhole(char*& p, double v, int minDigits, char pad) {
    if (v < 1e18) {
        p = PutNumber(p, static_cast<int64_t>(v), minDigits, pad);
        return true;
    }
    if (!(v < 1e40)) return false;
    p += std::snprintf(p, 48, pad == '0' ? "%0*.0f" : "%*.0f", minDigits, v);
    return true;
}

// ":ss.ff" with decimals places of seconds (below 60), rounded to nearest
// on the exact value, ties to even, as the C library prints it.
char* PutSeconds(char* p, double seconds, int decimals, char decimal) {
    p += std::snprintf(p, 48, ":%0*.*f", decimals + 3, decimals, seconds);
    if (decimal != '.')
        if (char* point = static_cast<char*>(std::memchr(p - decimals - 1, '.', decimals + 1)))
            *point = decimal;
    return p;
}

// fmod(x, m) for x >= 0 and a whole m, without the library's slow loop for
// large x: below 2^52 the product q * m is exact and so is x - q * m (x is
// a multiple of its ulp, which divides every integer), and one step mends
// a quotient the division rounded across a multiple of m.
double Remainder(double x, double m) {
    if (!(x < 4503599627370496.0)) return std::fmod(x, m);
    double r = x - std::floor(x / m) * m;
    if (r < 0)
        r += m;
    else if (r >= m)
        r -= m;
    return r;
}

int Finish(const PrintFormat& f, const char* text, int length, char* buf) {
    if (length >= f.width) {
        std::memcpy(buf, text, static_cast<size_t>(f.width));
    } else {
        std::memset(buf, ' ', static_cast<size_t>(f.width - length));
        std::memcpy(buf + f.width - length, text, static_cast<size_t>(length));
    }
    return f.width;
}

int RenderName(const PrintFormat& f, std::string_view name, char* buf) {
    const size_t shown = std::min(name.size(), static_cast<size_t>(f.width));
    std::memcpy(buf, name.data(), shown);
    std::memset(buf + shown, ' ', static_cast<size_t>(f.width) - shown);
    return f.width;
}

}  // namespace

const char* DateTemplate(const PrintFormat& f) {
    const Templates t = TemplatesOf(f.type);
    return static_cast<size_t>(f.width) >= std::strlen(t.wide) ? t.wide : t.narrow;
}

int RenderDateFormat(const PrintFormat& f, char decimal, int epoch, double value, char* buf) {
    CalendarDate date;
    double rest = value;
    if (IsCalendarFormat(f.type)) {
        if (!(value > 0)) return RenderMissing(f, buf);
        const double days = value / 60. / 60. / 24.;
        if (!(days < static_cast<double>(kMaxCalendarDays))) return RenderOverflow(f, buf);
        date = DateOfDay(static_cast<int64_t>(days));
        rest = Remainder(value, kSecondsPerDay);
    } else if (!std::isfinite(value)) {
        return RenderOverflow(f, buf);
    }

    const char* layout = DateTemplate(f);
    char text[192];
    char* p = text;
    while (*layout != '\0') {
        const char c = *layout;
        int count = 1;
        while (layout[count] == c) ++count;
        layout += count;
        switch (c) {
            case 'd':
                p = count < 3 ? PutNumber(p, date.day, 2, '0') : PutNumber(p, date.yearDay, 3, '0');
                break;
            case 'm':
                if (count < 3) {
                    p = PutNumber(p, date.month, 2, '0');
                } else {
                    std::memcpy(p, kMonthNames[date.month - 1].data(), 3);
                    p += 3;
                }
                break;
            case 'y':
                if (count >= 4) {
                    if (date.year <= 9999) {
                        p = PutNumber(p, date.year, 4, '0');
                    } else if (f.type == fmt::DATETIME || f.type == fmt::YMDHMS) {
                        std::memcpy(p, "****", 4);
                        p += 4;
                    } else {
                        return RenderOverflow(f, buf);
                    }
                } else {
                    if (date.year < epoch || date.year > epoch + 99) return RenderOverflow(f, buf);
                    p = PutNumber(p, date.year % 100, 2, '0');
                }
                break;
            case 'q':
                p = PutNumber(p, (date.month - 1) / 3 + 1, 1, '0');
                break;
            case 'w':
                p = PutNumber(p, (date.yearDay - 1) / 7 + 1, 2, ' ');
                break;
            case 'D':
                if (rest < 0) *p++ = '-';
                rest = std::fabs(rest);
                if (!PutWhole(p, std::floor(rest / 60. / 60. / 24.), count, ' '))
                    return RenderOverflow(f, buf);
                rest = Remainder(rest, kSecondsPerDay);
                break;
            case 'H':
                if (rest < 0) *p++ = '-';
                rest = std::fabs(rest);
                if (!PutWhole(p, std::floor(rest / 60. / 60.), count, '0'))
                    return RenderOverflow(f, buf);
                rest = Remainder(rest, 3600.);
                break;
            case 'M': {
                if (rest < 0) *p++ = '-';
                rest = std::fabs(rest);
                if (!PutWhole(p, std::floor(rest / 60.), 2, '0')) return RenderOverflow(f, buf);
                rest = Remainder(rest, 60.);
                // The seconds, with decimals, as far as the width allows.
                const int excess = f.width - static_cast<int>(p - text);
                if (excess < 0 || (f.type == fmt::MTIME && excess < 3))
                    return RenderOverflow(f, buf);
                if (excess == 3 || excess == 4 || (excess >= 5 && f.decimals == 0)) {
                    *p++ = ':';
                    p = PutNumber(p, static_cast<int64_t>(rest), 2, '0');
                } else if (excess >= 5) {
                    p = PutSeconds(p, rest, std::min(f.decimals, excess - 4), decimal);
                }
                return Finish(f, text, static_cast<int>(p - text), buf);
            }
            default:
                for (int i = 0; i < count; ++i) *p++ = c;
                break;
        }
    }
    return Finish(f, text, static_cast<int>(p - text), buf);
}

int RenderWeekday(const PrintFormat& f, double value, char* buf) {
    if (!(value >= 1 && value < 8)) return RenderMissing(f, buf);
    return RenderName(f, kWeekdayNames[static_cast<int>(value) - 1], buf);
}

int RenderMonth(const PrintFormat& f, double value, char* buf) {
    if (!(value >= 1 && value < 13)) return RenderMissing(f, buf);
    return RenderName(f, kMonthNames[static_cast<int>(value) - 1], buf);
}

}  // namespace lv::detail
