#include "core/rendering/date_layout.h"

#include <cmath>
#include <cstring>

#include "core/rendering/calendar.h"
#include "core/rendering/date_format.h"
#include "core/rendering/format_digits.h"
#include "core/rendering/number_format.h"

namespace lv::detail {
namespace {

constexpr char kMonthAbbreviations[] = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";

// Magnitudes from here on take the general way (past the year 17000).
constexpr double kLayoutLimit = 549755813888.0;  // 2^39

// The whole seconds of a magnitude below kLayoutLimit, or -1 when its
// fraction lies within a thousandth of the next second. Short of that, the
// general way's floating-point divisions by 60, 3600 and 86400 give the
// same days, hours and minutes as integer division: their rounding errors
// (a few billionths of a day) stay far below the distance to the next boundary.
int64_t WholeSeconds(double magnitude) {
    const auto whole = static_cast<int64_t>(magnitude);
    return magnitude - static_cast<double>(whole) > 0.999 ? -1 : whole;
}

void Put2(char* p, int64_t v) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
}

// At least minDigits digits, zero-padded.
char* PutDigits(char* p, int64_t v, int minDigits) {
    char digits[24];
    char* end = digits + sizeof digits;
    const char* first = WriteDigitsBackward(end, static_cast<uint64_t>(v), minDigits);
    std::memcpy(p, first, static_cast<size_t>(end - first));
    return p + (end - first);
}

DateLayout CalendarLayout(const PrintFormat& f) {
    DateLayout layout;
    char text[DateLayout::kLineBytes];
    DateLayout::Field fields[12];
    int fieldCount = 0;
    int at = 0;
    const auto add = [&](char kind, int width) {
        fields[fieldCount++] = {kind, static_cast<unsigned char>(at)};
        at += width;
    };
    for (const char* t = DateTemplate(f); *t != '\0';) {
        const char c = *t;
        int count = 1;
        while (t[count] == c) ++count;
        t += count;
        switch (c) {
            case 'd':
                add(count < 3 ? 'd' : 'j', count < 3 ? 2 : 3);
                break;
            case 'm':
                add(count < 3 ? 'm' : 'b', count < 3 ? 2 : 3);
                break;
            case 'y':
                add(count >= 4 ? 'Y' : 'y', count >= 4 ? 4 : 2);
                break;
            case 'q':
                add('q', 1);
                break;
            case 'w':
                add('w', 2);
                break;
            case 'H':
                add('H', 2);
                break;
            case 'M': {
                add('M', 2);
                // The seconds as the width allows; with decimals they take
                // the general way. Nothing of the template follows them.
                const int excess = f.width - at;
                if (excess == 3 || excess == 4 || (excess >= 5 && f.decimals == 0)) {
                    text[at++] = ':';
                    add('S', 2);
                } else if (excess < 0 || excess >= 5) {
                    return layout;
                }
                t = "";
                break;
            }
            default:
                for (int i = 0; i < count; ++i) text[at++] = c;
                break;
        }
    }
    // Right-aligned in the width (every template fits its narrowest width).
    const int pad = f.width - at;
    if (pad < 0 || f.width > DateLayout::kLineBytes) return layout;
    std::memset(layout.line, ' ', sizeof layout.line);
    std::memcpy(layout.line + pad, text, static_cast<size_t>(at));
    for (int i = 0; i < fieldCount; ++i) {
        layout.fields[i] = fields[i];
        layout.fields[i].at = static_cast<unsigned char>(fields[i].at + pad);
    }
    layout.fieldCount = fieldCount;
    layout.way = DateLayout::Way::Calendar;
    return layout;
}

int RenderCalendar(const PrintFormat& f, const DateLayout& layout, int epoch, double value,
                   char* buf) {
    if (!(value > 0 && value < kLayoutLimit)) return -1;
    const int64_t whole = WholeSeconds(value);
    if (whole < 0) return -1;
    const CalendarDate date = DateOfDay(whole / 86400);
    if (date.year > 9999) return -1;
    const auto secondOfDay = static_cast<int>(whole % 86400);

    std::memcpy(buf, layout.line, DateLayout::kLineBytes);
    for (int i = 0; i < layout.fieldCount; ++i) {
        char* p = buf + layout.fields[i].at;
        switch (layout.fields[i].kind) {
            case 'd':
                Put2(p, date.day);
                break;
            case 'j':
                p[0] = static_cast<char>('0' + date.yearDay / 100);
                Put2(p + 1, date.yearDay % 100);
                break;
            case 'm':
                Put2(p, date.month);
                break;
            case 'b':
                std::memcpy(p, kMonthAbbreviations + 3 * (date.month - 1), 3);
                break;
            case 'Y':
                Put2(p, date.year / 100);
                Put2(p + 2, date.year % 100);
                break;
            case 'y':
                if (date.year < epoch || date.year > epoch + 99) return RenderOverflow(f, buf);
                Put2(p, date.year % 100);
                break;
            case 'q':
                *p = static_cast<char>('1' + (date.month - 1) / 3);
                break;
            case 'w': {
                const int week = (date.yearDay - 1) / 7 + 1;
                p[0] = week < 10 ? ' ' : static_cast<char>('0' + week / 10);
                p[1] = static_cast<char>('0' + week % 10);
                break;
            }
            case 'H':
                Put2(p, secondOfDay / 3600);
                break;
            case 'M':
                Put2(p, secondOfDay / 60 % 60);
                break;
            default:  // 'S'
                Put2(p, secondOfDay % 60);
                break;
        }
    }
    return f.width;
}

// TIME (hours:minutes), DTIME (days hours:minutes) and MTIME (minutes),
// then the seconds as the width allows.
int RenderDuration(const PrintFormat& f, double value, char* buf) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < kLayoutLimit)) return -1;
    const int64_t whole = WholeSeconds(magnitude);
    if (whole < 0) return -1;
    char text[DateLayout::kLineBytes];
    char* p = text;
    if (value < 0) *p++ = '-';
    if (f.type == fmt::DTIME) {
        p = PutDigits(p, whole / 86400, 1);
        *p++ = ' ';
        Put2(p, whole / 3600 % 24);
        p += 2;
        *p++ = ':';
    } else if (f.type == fmt::TIME) {
        p = PutDigits(p, whole / 3600, 2);
        *p++ = ':';
    }
    if (f.type == fmt::MTIME) {
        p = PutDigits(p, whole / 60, 2);
    } else {
        Put2(p, whole / 60 % 60);
        p += 2;
    }
    const int excess = f.width - static_cast<int>(p - text);
    if (excess < 0 || (f.type == fmt::MTIME && excess < 3)) return RenderOverflow(f, buf);
    if (excess == 3 || excess == 4 || (excess >= 5 && f.decimals == 0)) {
        *p++ = ':';
        Put2(p, whole % 60);
        p += 2;
    } else if (excess >= 5) {
        return -1;  // seconds with decimals
    }
    const auto length = static_cast<int>(p - text);
    std::memset(buf, ' ', static_cast<size_t>(f.width - length));
    std::memcpy(buf + f.width - length, text, static_cast<size_t>(length));
    return f.width;
}

}  // namespace

DateLayout MakeDateLayout(const PrintFormat& f) {
    if (IsCalendarFormat(f.type)) return CalendarLayout(f);
    DateLayout layout;
    if (IsDurationFormat(f.type) && f.width <= DateLayout::kLineBytes)
        layout.way = DateLayout::Way::Duration;
    return layout;
}

int RenderDateLayout(const PrintFormat& f, const DateLayout& layout, int epoch, double value,
                     char* buf) {
    switch (layout.way) {
        case DateLayout::Way::Calendar:
            return RenderCalendar(f, layout, epoch, value, buf);
        case DateLayout::Way::Duration:
            return RenderDuration(f, value, buf);
        default:
            return -1;
    }
}

}  // namespace lv::detail
