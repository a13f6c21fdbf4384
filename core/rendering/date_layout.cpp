#include "core/rendering/date_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "core/rendering/calendar.h"
#include "core/rendering/date_format.h"
#include "core/rendering/format_digits.h"
#include "core/rendering/number_format.h"

namespace lv::detail {
namespace {

// Magnitudes from here on take the general way (past the year 17000).
constexpr double kLayoutLimit = 549755813888.0;  // 2^39
static_assert(kLayoutLimit / kSecondsPerDay < static_cast<double>(kNearDays));

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
    using F = DateLayout::Field;
    DateLayout layout;
    char text[DateLayout::kLineBytes];
    int at = 0;
    int where[F::kFieldCount];
    std::fill(std::begin(where), std::end(where), -1);
    const auto add = [&](F field, int width) {
        where[field] = at;
        at += width;
    };
    for (const char* t = DateTemplate(f); *t != '\0';) {
        const char c = *t;
        int count = 1;
        while (t[count] == c) ++count;
        t += count;
        switch (c) {
            case 'd':
                count < 3 ? add(F::Day, 2) : add(F::YearDay, 3);
                break;
            case 'm':
                count < 3 ? add(F::Month, 2) : add(F::MonthName, 3);
                break;
            case 'y':
                count >= 4 ? add(F::Year, 4) : add(F::ShortYear, 2);
                break;
            case 'q':
                add(F::Quarter, 1);
                break;
            case 'w':
                add(F::Week, 2);
                break;
            case 'H':
                add(F::Hour, 2);
                break;
            case 'M': {
                add(F::Minute, 2);
                // The seconds as the width allows; with decimals they take
                // the general way. Nothing of the template follows them.
                const int excess = f.width - at;
                if (excess == 3 || excess == 4 || (excess >= 5 && f.decimals == 0)) {
                    text[at++] = ':';
                    add(F::Second, 2);
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
    for (int i = 0; i < F::kFieldCount; ++i)
        if (where[i] >= 0) layout.at[i] = static_cast<signed char>(where[i] + pad);
    layout.way = DateLayout::Way::Calendar;
    return layout;
}

int RenderCalendar(const PrintFormat& f, const DateLayout& layout, int epoch, double value,
                   char* buf) {
    using F = DateLayout::Field;
    if (!(value > 0 && value < kLayoutLimit)) return -1;
    const int64_t whole = WholeSeconds(value);
    if (whole < 0) return -1;
    const CalendarDate date = DateOfNearDay(whole / 86400);
    if (date.year > 9999) return -1;
    const auto secondOfDay = static_cast<int>(whole % 86400);

    // Every field in a fixed order, each test the same for the whole
    // column.
    std::memcpy(buf, layout.line, DateLayout::kLineBytes);
    const signed char* at = layout.at;
    if (at[F::Day] >= 0) Put2(buf + at[F::Day], date.day);
    if (at[F::YearDay] >= 0) {
        buf[at[F::YearDay]] = static_cast<char>('0' + date.yearDay / 100);
        Put2(buf + at[F::YearDay] + 1, date.yearDay % 100);
    }
    if (at[F::Month] >= 0) Put2(buf + at[F::Month], date.month);
    if (at[F::MonthName] >= 0)
        std::memcpy(buf + at[F::MonthName], kMonthNames[date.month - 1].data(), 3);
    if (at[F::Year] >= 0) {
        Put2(buf + at[F::Year], date.year / 100);
        Put2(buf + at[F::Year] + 2, date.year % 100);
    }
    if (at[F::ShortYear] >= 0) {
        if (date.year < epoch || date.year > epoch + 99) return RenderOverflow(f, buf);
        Put2(buf + at[F::ShortYear], date.year % 100);
    }
    if (at[F::Quarter] >= 0) buf[at[F::Quarter]] = static_cast<char>('1' + (date.month - 1) / 3);
    if (at[F::Week] >= 0) {
        const int week = (date.yearDay - 1) / 7 + 1;
        buf[at[F::Week]] = week < 10 ? ' ' : static_cast<char>('0' + week / 10);
        buf[at[F::Week] + 1] = static_cast<char>('0' + week % 10);
    }
    if (at[F::Hour] >= 0) Put2(buf + at[F::Hour], secondOfDay / 3600);
    if (at[F::Minute] >= 0) Put2(buf + at[F::Minute], secondOfDay / 60 % 60);
    if (at[F::Second] >= 0) Put2(buf + at[F::Second], secondOfDay % 60);
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
