#include "core/selection/condition_dates.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "core/rendering/calendar.h"
#include "core/rendering/format_traits.h"

namespace lv {
namespace {

// A two-digit year in the 100 years from the epoch the print formats use.
double FullYear(double year) {
    if (year < 0 || year > 99) return year;
    const int start = DefaultEpoch();
    const double century = start - start % 100;
    double full = century + year;
    if (full < start) full += 100;
    return full;
}

struct Field {
    bool name = false;
    std::string text;
    double number = 0;
};

std::vector<Field> Fields(std::string_view text) {
    std::vector<Field> fields;
    size_t i = 0;
    char separator = 0;  // the last one seen
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c)) {
            size_t end = i;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            // A fraction belongs to the seconds, the last field.
            if (separator == ':' && end + 1 < text.size() && text[end] == '.' &&
                std::isdigit(static_cast<unsigned char>(text[end + 1])) &&
                text.find_first_of("/-:., ", end + 1) == std::string_view::npos) {
                end = text.size();
            }
            Field f;
            f.text = std::string(text.substr(i, end - i));
            f.number = std::strtod(f.text.c_str(), nullptr);
            fields.push_back(f);
            i = end;
        } else if (std::isalpha(c)) {
            size_t end = i;
            while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
            Field f;
            f.name = true;
            for (size_t k = i; k < end; ++k)
                f.text.push_back(
                    static_cast<char>(std::toupper(static_cast<unsigned char>(text[k]))));
            fields.push_back(f);
            i = end;
        } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ':' || std::isspace(c)) {
            separator = static_cast<char>(c);
            ++i;
        } else {
            return {};
        }
    }
    return fields;
}

// A month by number, or by its English name or the name's first three
// letters.
std::optional<int> Month(const Field& f) {
    if (!f.name) {
        if (f.number >= 1 && f.number <= 12 && f.number == std::floor(f.number))
            return static_cast<int>(f.number);
        return std::nullopt;
    }
    if (f.text.size() < 3) return std::nullopt;
    for (int m = 0; m < 12; ++m)
        if (kMonthNames[m].substr(0, f.text.size()) == f.text) return m + 1;
    return std::nullopt;
}

bool Whole(const Field& f) {
    return !f.name && f.number == std::floor(f.number);
}

// hours [minutes [seconds]] from fields[at...]; false when not numbers.
std::optional<double> TimeOfDay(const std::vector<Field>& fields, size_t at, size_t minimum) {
    if (fields.size() < at + minimum || fields.size() > at + 3) return std::nullopt;
    double seconds = 0;
    const double scale[] = {3600, 60, 1};
    for (size_t k = at; k < fields.size(); ++k) {
        const Field& f = fields[k];
        if (f.name || (k + 1 < fields.size() && !Whole(f))) return std::nullopt;
        if (k > at && f.number >= 60) return std::nullopt;
        seconds += f.number * scale[k - at];
    }
    return seconds;
}

// A date typed by hand names a day that exists. DateSeconds checks the year
// before it is taken as an integer.
std::optional<double> DayFromFields(const Field& d, const Field& m, const Field& y) {
    const std::optional<int> month = Month(m);
    if (!month || !Whole(d) || !Whole(y) || d.number < 1) return std::nullopt;
    const std::optional<double> seconds = DateSeconds(d.number, *month, y.number);
    if (!seconds || d.number > DaysInMonth(static_cast<int64_t>(FullYear(y.number)), *month))
        return std::nullopt;
    return seconds;
}

}  // namespace

std::optional<double> DateSeconds(double day, double month, double year) {
    if (!std::isfinite(day) || !std::isfinite(month) || !std::isfinite(year)) return std::nullopt;
    if (day != std::floor(day) || month != std::floor(month) || year != std::floor(year))
        return std::nullopt;
    year = FullYear(year);
    if (month < 0 || month > 13 || day < 0 || day > 31 || std::fabs(year) > 1e6)
        return std::nullopt;
    // Month 0 and 13 are the months either side of the year; days run on
    // past the month's end (31 February is 3 March) and day 0 is the day
    // before the first.
    auto y = static_cast<int64_t>(year);
    int m = static_cast<int>(month);
    if (m == 0) {
        m = 12;
        --y;
    } else if (m == 13) {
        m = 1;
        ++y;
    }
    const int64_t days = DayOfDate(y, m, 1) + static_cast<int64_t>(day) - 1;
    // The calendar starts on 15 October 1582.
    if (days < 1) return std::nullopt;
    return static_cast<double>(days) * kSecondsPerDay;
}

bool ReadsFormattedDate(int type) {
    return TraitsOf(type).typedInput;
}

namespace {

// The format's own order of fields.
std::optional<double> InFormatOrder(const std::vector<Field>& f, int type) {
    if (f.empty()) return std::nullopt;
    auto withTime = [&](std::optional<double> day) -> std::optional<double> {
        if (!day) return std::nullopt;
        if (f.size() == 3) return day;
        const std::optional<double> time = TimeOfDay(f, 3, 2);
        if (!time) return std::nullopt;
        return *day + *time;
    };
    switch (type) {
        case fmt::DATE:
        case fmt::EDATE:
            if (f.size() != 3) return std::nullopt;
            return DayFromFields(f[0], f[1], f[2]);
        case fmt::ADATE:
            if (f.size() != 3) return std::nullopt;
            return DayFromFields(f[1], f[0], f[2]);
        case fmt::SDATE:
            if (f.size() != 3) return std::nullopt;
            return DayFromFields(f[2], f[1], f[0]);
        case fmt::DATETIME:
            if (f.size() < 3) return std::nullopt;
            return withTime(DayFromFields(f[0], f[1], f[2]));
        case fmt::YMDHMS:
            if (f.size() < 3) return std::nullopt;
            return withTime(DayFromFields(f[2], f[1], f[0]));
        case fmt::JDATE: {
            // yyyyddd or yyddd: the year, then the day of the year.
            if (f.size() != 1 || f[0].name || (f[0].text.size() != 7 && f[0].text.size() != 5))
                return std::nullopt;
            const size_t yearDigits = f[0].text.size() - 3;
            const double year = std::strtod(f[0].text.substr(0, yearDigits).c_str(), nullptr);
            const double dayOfYear = std::strtod(f[0].text.substr(yearDigits).c_str(), nullptr);
            const std::optional<double> start = DateSeconds(1, 1, year);
            const double full = FullYear(year);
            if (!start || dayOfYear < 1 ||
                dayOfYear > (IsLeapYear(static_cast<int64_t>(full)) ? 366 : 365))
                return std::nullopt;
            return *start + (dayOfYear - 1) * kSecondsPerDay;
        }
        case fmt::TIME:
            return TimeOfDay(f, 0, 2);
        case fmt::DTIME: {
            if (f.size() < 3 || !Whole(f[0])) return std::nullopt;
            const std::optional<double> time = TimeOfDay(f, 1, 2);
            if (!time) return std::nullopt;
            return f[0].number * kSecondsPerDay + *time;
        }
        case fmt::MOYR: {
            if (f.size() != 2) return std::nullopt;
            Field one;
            one.number = 1;
            return DayFromFields(one, f[0], f[1]);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<double> ParseFormattedDate(std::string_view text, int type) {
    const std::vector<Field> f = Fields(text);
    if (const std::optional<double> value = InFormatOrder(f, type)) return value;
    // Year first, as the grid shows the dates of every format, with the
    // time of day after it for the formats that have one.
    if (f.size() < 3 || f[0].name || f[0].text.size() != 4 ||
        (f.size() > 3 && !HasTimeOfDay(type)) || IsDurationFormat(type))
        return std::nullopt;
    return InFormatOrder(f, fmt::YMDHMS);
}

std::string DateExample(int type) {
    switch (type) {
        case fmt::DATE:
            return "1990/01/31, 31-JAN-1990";
        case fmt::ADATE:
            return "1990/01/31, 01/31/1990";
        case fmt::EDATE:
            return "1990/01/31, 31.01.1990";
        case fmt::SDATE:
            return "1990/01/31";
        case fmt::JDATE:
            return "1990/01/31, 1990031";
        case fmt::DATETIME:
            return "'1990/01/31 12:30:00', '31-JAN-1990 12:30'";
        case fmt::YMDHMS:
            return "'1990/01/31 12:30:00'";
        case fmt::TIME:
            return "12:30:00";
        case fmt::DTIME:
            return "'2 12:30:00'";
        case fmt::MOYR:
            return "1990/01/01, 'JAN 1990'";
        default:
            return "";
    }
}

}  // namespace lv
