#include "core/condition/condition_functions.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <optional>
#include <vector>

#include "core/condition/condition_dates.h"
#include "core/rendering/calendar.h"
#include "core/text/trim.h"
#include "encoding/codec.h"

namespace lv {
namespace {

constexpr double kMissing = -DBL_MAX;
using F = ConditionFunction;

constexpr FunctionSignature kFunctions[] = {
    {"ABS", F::Abs, "n", 'n', 0},
    {"RND", F::Rnd, "n|nn", 'n', 0},
    {"TRUNC", F::Trunc, "n|nn", 'n', 0},
    {"MOD", F::Mod, "nn", 'n', 0},
    {"SQRT", F::Sqrt, "n", 'n', 0},
    {"EXP", F::Exp, "n", 'n', 0},
    {"LN", F::Ln, "n", 'n', 0},
    {"LG10", F::Lg10, "n", 'n', 0},
    {"ARSIN", F::Arsin, "n", 'n', 0},
    {"ASIN", F::Arsin, "n", 'n', 0},
    {"ARTAN", F::Artan, "n", 'n', 0},
    {"ATAN", F::Artan, "n", 'n', 0},
    {"SIN", F::Sin, "n", 'n', 0},
    {"COS", F::Cos, "n", 'n', 0},
    {"TAN", F::Tan, "n", 'n', 0},
    {"SUM", F::Sum, "n*", 'n', 1},
    {"MEAN", F::Mean, "n*", 'n', 1},
    {"MIN", F::Min, "a*", 'a', 1},
    {"MAX", F::Max, "a*", 'a', 1},
    {"SD", F::Sd, "nn*", 'n', 2},
    {"VARIANCE", F::Variance, "nn*", 'n', 2},
    {"CFVAR", F::Cfvar, "nn*", 'n', 2},
    {"NVALID", F::Nvalid, "n*", 'n', 0},
    {"NMISS", F::Nmiss, "n*", 'n', 0},
    {"CONCAT", F::Concat, "s*", 's', 0},
    {"LENGTH", F::Length, "s", 'n', 0},
    {"LOWER", F::Lower, "s", 's', 0},
    {"UPCASE", F::Upcase, "s", 's', 0},
    {"LTRIM", F::Ltrim, "s|s", 's', 0},
    {"RTRIM", F::Rtrim, "s|s", 's', 0},
    {"SUBSTR", F::Substr, "sn|n", 's', 0},
    {"INDEX", F::Index, "ss|n", 'n', 0},
    {"RINDEX", F::Rindex, "ss|n", 'n', 0},
    {"REPLACE", F::Replace, "sss|n", 's', 0},
    {"CHAR.LENGTH", F::CharLength, "s", 'n', 0},
    {"CHAR.SUBSTR", F::CharSubstr, "sn|n", 's', 0},
    {"CHAR.INDEX", F::CharIndex, "ss|n", 'n', 0},
    {"XDATE.YEAR", F::XdateYear, "n", 'n', 0},
    {"XDATE.MONTH", F::XdateMonth, "n", 'n', 0},
    {"XDATE.MDAY", F::XdateMday, "n", 'n', 0},
    {"XDATE.WKDAY", F::XdateWkday, "n", 'n', 0},
    {"XDATE.JDAY", F::XdateJday, "n", 'n', 0},
    {"XDATE.QUARTER", F::XdateQuarter, "n", 'n', 0},
    {"XDATE.WEEK", F::XdateWeek, "n", 'n', 0},
    {"XDATE.HOUR", F::XdateHour, "n", 'n', 0},
    {"XDATE.MINUTE", F::XdateMinute, "n", 'n', 0},
    {"XDATE.SECOND", F::XdateSecond, "n", 'n', 0},
    {"XDATE.TDAY", F::XdateTday, "n", 'n', 0},
    {"XDATE.TIME", F::XdateTime, "n", 'n', 0},
    {"XDATE.DATE", F::XdateDate, "n", 'n', 0},
    {"DATE.DMY", F::DateDmy, "nnn", 'n', 0},
    {"DATE.MDY", F::DateMdy, "nnn", 'n', 0},
    {"DATE.YMD", F::DateYmd, "nnn", 'n', 0},
    {"DATE.MOYR", F::DateMoyr, "nn", 'n', 0},
    {"DATE.QYR", F::DateQyr, "nn", 'n', 0},
    {"DATE.WKYR", F::DateWkyr, "nn", 'n', 0},
    {"DATE.YRDAY", F::DateYrday, "nn", 'n', 0},
    {"TIME.HMS", F::TimeHms, "nnn", 'n', 0},
    {"TIME.DAYS", F::TimeDays, "n", 'n', 0},
    {"CTIME.DAYS", F::CtimeDays, "n", 'n', 0},
    {"CTIME.HOURS", F::CtimeHours, "n", 'n', 0},
    {"CTIME.MINUTES", F::CtimeMinutes, "n", 'n', 0},
    {"CTIME.SECONDS", F::CtimeSeconds, "n", 'n', 0},
    {"DATEDIFF", F::Datediff, "nns", 'n', 0},
    {"DATESUM", F::Datesum, "nns|s", 'n', 0},
};

bool Missing(double v) {
    return v == kMissing;
}

// x rounded (or truncated) to a multiple of mult, allowing for the last
// bits of a binary fraction as SPSS does (fuzzbits, 6 by default).
double Round(double x, double mult, double fuzzbits, bool nearest) {
    if (Missing(x) || Missing(mult) || mult == 0) return kMissing;
    if (Missing(fuzzbits) || fuzzbits <= 0) fuzzbits = 6;
    const double adjustment = (nearest ? .5 : 0) + std::exp2(fuzzbits - DBL_MANT_DIG);
    x /= mult;
    x = x >= 0 ? std::floor(x + adjustment) : -std::floor(-x + adjustment);
    return x * mult;
}

// The day of a date value, and its date; nothing for a value beyond the
// calendar.
std::optional<CalendarDate> DateOf(double seconds, int64_t* dayOut = nullptr) {
    const double day = std::floor(seconds / kSecondsPerDay);
    if (!(std::fabs(day) <= static_cast<double>(kMaxCalendarDays))) return std::nullopt;
    const auto d = static_cast<int64_t>(day);
    if (dayOut) *dayOut = d;
    return DateOfDay(d);
}

double PositiveMod(double a, double b) {
    const double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

// Whole months from date a to a later date b: a month is complete when b's
// day (and time) has reached a's.
double MonthsBetween(double a, double b) {
    const auto da = DateOf(a), db = DateOf(b);
    if (!da || !db) return kMissing;
    double months = static_cast<double>((db->year - da->year) * 12 + (db->month - da->month));
    if (months > 0 &&
        (db->day < da->day ||
         (db->day == da->day && PositiveMod(b, kSecondsPerDay) < PositiveMod(a, kSecondsPerDay))))
        --months;
    return months;
}

double DateDiff(double date2, double date1, double unit) {
    if (unit > 0) return std::trunc((date2 - date1) / unit);
    const double months =
        date2 >= date1 ? MonthsBetween(date1, date2) : -MonthsBetween(date2, date1);
    if (Missing(months) || Missing(-months)) return kMissing;
    return std::trunc(months / -unit);
}

double DateSum(double date, double quantity, double unit, bool closest) {
    if (unit > 0) return date + quantity * unit;
    if (quantity != std::trunc(quantity) || std::fabs(quantity) > 1e6) return kMissing;
    int64_t day = 0;
    const auto d = DateOf(date, &day);
    if (!d) return kMissing;
    const int64_t months = d->year * 12 + (d->month - 1) + static_cast<int64_t>(quantity * -unit);
    const int64_t year = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const int month = static_cast<int>(months - year * 12) + 1;
    int dayOfMonth = d->day;
    if (closest && dayOfMonth > DaysInMonth(year, month)) dayOfMonth = DaysInMonth(year, month);
    const int64_t newDay = DayOfDate(year, month, 1) + dayOfMonth - 1;
    if (newDay < 1) return kMissing;
    return static_cast<double>(newDay) * kSecondsPerDay +
           (date - static_cast<double>(day) * kSecondsPerDay);
}

std::string Upper(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

// A string's characters: the byte offsets where they start, and its size.
std::vector<size_t> CharacterStarts(std::string_view utf8) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(utf8.size());
    return starts;
}

// Where needle (or one of needles' pieces of pieceLength) first or last
// occurs in haystack: the 1-based unit, 0 for nowhere, missing for pieces
// that do not divide needles. Units are bytes, or the characters of starts.
double Find(std::string_view haystack, std::string_view needles, double pieceLength, bool last,
            const std::vector<size_t>* starts) {
    size_t piece = needles.size();
    if (!Missing(pieceLength) && pieceLength != -1) {
        if (pieceLength <= 0 || pieceLength != std::floor(pieceLength) ||
            pieceLength > static_cast<double>(needles.size()))
            return kMissing;
        piece = static_cast<size_t>(pieceLength);
        if (starts) {
            // Characters: the pieces are so many characters each.
            const std::vector<size_t> ns = CharacterStarts(needles);
            if ((ns.size() - 1) % piece != 0) return kMissing;
            size_t best = 0;
            for (size_t k = 0; k + 1 < ns.size(); k += piece) {
                const std::string_view n = needles.substr(ns[k], ns[k + piece] - ns[k]);
                const double at = Find(haystack, n, -1, last, starts);
                if (at > 0 && (best == 0 || (last ? at > best : at < best)))
                    best = static_cast<size_t>(at);
            }
            return static_cast<double>(best);
        }
        if (needles.size() % piece != 0) return kMissing;
    } else if (Missing(pieceLength)) {
        return kMissing;
    }
    if (needles.empty()) {
        // An empty needle is found at once, or after the end.
        const size_t units = starts ? starts->size() - 1 : haystack.size();
        return last ? static_cast<double>(units + 1) : 1;
    }
    size_t best = std::string_view::npos;
    for (size_t k = 0; k < needles.size(); k += piece) {
        const std::string_view n = needles.substr(k, piece);
        const size_t at = last ? haystack.rfind(n) : haystack.find(n);
        if (at != std::string_view::npos &&
            (best == std::string_view::npos || (last ? at > best : at < best)))
            best = at;
    }
    if (best == std::string_view::npos) return 0;
    if (!starts) return static_cast<double>(best + 1);
    for (size_t c = 0; c < starts->size(); ++c)
        if ((*starts)[c] == best) return static_cast<double>(c + 1);
    return 0;
}

// The part of s from the 1-based unit start, count units long (to the end
// when count is absent), empty when start or count is out of range.
std::string_view Substring(std::string_view s, double start, double count, bool hasCount,
                           const std::vector<size_t>* starts) {
    const double units =
        starts ? static_cast<double>(starts->size() - 1) : static_cast<double>(s.size());
    if (Missing(start) || start < 1 || start > units || start != std::floor(start)) return {};
    double n = units - start + 1;
    if (hasCount) {
        if (Missing(count) || count < 1) return {};
        n = std::min(n, std::floor(count));
    }
    const auto from = static_cast<size_t>(start) - 1;
    const auto to = from + static_cast<size_t>(n);
    if (!starts) return s.substr(from, to - from);
    return s.substr((*starts)[from], (*starts)[to] - (*starts)[from]);
}

// A numeric result: missing when it is not a finite number.
double Checked(double v) {
    return std::isfinite(v) ? v : kMissing;
}

}  // namespace

const FunctionSignature* FindConditionFunction(std::string_view name) {
    for (const FunctionSignature& f : kFunctions)
        if (f.name == name) return &f;
    return nullptr;
}

std::string ConditionFunctionNames() {
    std::string names = "MISSING, SYSMIS, VALUE, ANY, RANGE, LAG, VALUELABEL, NUMBER, STRING";
    for (const FunctionSignature& f : kFunctions) {
        names += ", ";
        names += f.name;
    }
    return names;
}

double DateUnitOf(std::string_view unit) {
    const std::string u = Upper(unit);
    if (u == "YEARS" || u == "YEAR") return -12;
    if (u == "QUARTERS" || u == "QUARTER") return -3;
    if (u == "MONTHS" || u == "MONTH") return -1;
    if (u == "WEEKS" || u == "WEEK") return 7 * kSecondsPerDay;
    if (u == "DAYS" || u == "DAY") return kSecondsPerDay;
    if (u == "HOURS" || u == "HOUR") return 3600;
    if (u == "MINUTES" || u == "MINUTE") return 60;
    if (u == "SECONDS" || u == "SECOND") return 1;
    return 0;
}

void ApplyConditionFunction(ConditionFunction f, FunctionValue* args, uint32_t count, int minValid,
                            const FunctionContext& context, std::string& out) {
    double& result = args[0].number;
    const double x = args[0].number;
    const double y = count > 1 ? args[1].number : kMissing;
    // Most functions: missing when any numeric argument is.
    auto anyMissing = [&] {
        for (uint32_t k = 0; k < count; ++k)
            if (Missing(args[k].number)) return true;
        return false;
    };
    // Strings counted in characters: their UTF-8 form.
    std::string decoded;
    auto utf8 = [&](std::string_view bytes) -> std::string_view {
        if (context.utf8) return bytes;
        decoded = ToUtf8(bytes, context.encoding);
        return decoded;
    };
    auto give = [&](std::string utf8Text) {
        if (context.utf8) {
            out = std::move(utf8Text);
        } else {
            std::optional<std::string> bytes = FromUtf8(utf8Text, context.encoding, nullptr);
            out = bytes ? std::move(*bytes) : std::string();
        }
    };
    switch (f) {
        case F::Abs:
            result = Missing(x) ? kMissing : std::fabs(x);
            return;
        case F::Rnd:
        case F::Trunc:
            result = Round(x, count > 1 ? y : 1, count > 2 ? args[2].number : 6, f == F::Rnd);
            return;
        case F::Mod:
            // 0 modulo anything, even a missing value, is 0.
            result = Missing(x)   ? kMissing
                     : Missing(y) ? (x == 0 ? 0 : kMissing)
                     : y == 0     ? kMissing
                                  : Checked(std::fmod(x, y));
            return;
        case F::Sqrt:
        case F::Exp:
        case F::Ln:
        case F::Lg10:
        case F::Arsin:
        case F::Artan:
        case F::Sin:
        case F::Cos:
        case F::Tan: {
            if (Missing(x)) return;
            const double v = f == F::Sqrt    ? (x < 0 ? NAN : std::sqrt(x))
                             : f == F::Exp   ? std::exp(x)
                             : f == F::Ln    ? (x <= 0 ? NAN : std::log(x))
                             : f == F::Lg10  ? (x <= 0 ? NAN : std::log10(x))
                             : f == F::Arsin ? std::asin(x)
                             : f == F::Artan ? std::atan(x)
                             : f == F::Sin   ? std::sin(x)
                             : f == F::Cos   ? std::cos(x)
                                             : std::tan(x);
            result = Checked(v);
            return;
        }
        case F::Sum:
        case F::Mean:
        case F::Sd:
        case F::Variance:
        case F::Cfvar:
        case F::Nvalid:
        case F::Nmiss: {
            double n = 0, sum = 0;
            for (uint32_t k = 0; k < count; ++k)
                if (!Missing(args[k].number)) {
                    ++n;
                    sum += args[k].number;
                }
            if (f == F::Nvalid || f == F::Nmiss) {
                result = f == F::Nvalid ? n : count - n;
                return;
            }
            if (n < minValid) {
                result = kMissing;
                return;
            }
            if (f == F::Sum) {
                result = Checked(sum);
                return;
            }
            const double mean = sum / n;
            if (f == F::Mean) {
                result = Checked(mean);
                return;
            }
            double squares = 0;
            for (uint32_t k = 0; k < count; ++k)
                if (!Missing(args[k].number))
                    squares += (args[k].number - mean) * (args[k].number - mean);
            const double variance = n > 1 ? squares / (n - 1) : NAN;
            result = Checked(f == F::Variance ? variance
                             : f == F::Sd     ? std::sqrt(variance)
                                              : std::sqrt(variance) / mean);
            return;
        }
        case F::Min:
        case F::Max:
            // Numbers only: strings are compared in the program.
            {
                double best = kMissing, n = 0;
                for (uint32_t k = 0; k < count; ++k) {
                    const double v = args[k].number;
                    if (Missing(v)) continue;
                    ++n;
                    if (Missing(best) || (f == F::Min ? v < best : v > best)) best = v;
                }
                result = n < minValid ? kMissing : best;
                return;
            }
        case F::MinText:
        case F::MaxText: {
            // Strings compare as if padded with blanks.
            std::string_view best = args[0].text;
            for (uint32_t k = 1; k < count; ++k) {
                const std::string_view v = WithoutTrailingBlanks(args[k].text);
                const std::string_view b = WithoutTrailingBlanks(best);
                if (f == F::MinText ? v < b : v > b) best = args[k].text;
            }
            out = std::string(best);
            return;
        }
        case F::Concat: {
            std::string s;
            for (uint32_t k = 0; k < count; ++k) s += args[k].text;
            out = std::move(s);
            return;
        }
        case F::Length:
            result = static_cast<double>(args[0].text.size());
            return;
        case F::CharLength:
            result = static_cast<double>(CharacterStarts(utf8(args[0].text)).size() - 1);
            return;
        case F::Lower:
        case F::Upcase: {
            std::string s(utf8(args[0].text));
            for (char& c : s)
                c = static_cast<char>(f == F::Lower ? std::tolower(static_cast<unsigned char>(c))
                                                    : std::toupper(static_cast<unsigned char>(c)));
            give(std::move(s));
            return;
        }
        case F::Ltrim:
        case F::Rtrim: {
            std::string_view s = args[0].text;
            char pad = ' ';
            if (count > 1) {
                if (args[1].text.size() != 1) {
                    out = std::string(s);
                    return;
                }
                pad = args[1].text[0];
            }
            if (f == F::Ltrim)
                while (!s.empty() && s.front() == pad) s.remove_prefix(1);
            else
                while (!s.empty() && s.back() == pad) s.remove_suffix(1);
            out = std::string(s);
            return;
        }
        case F::Substr:
            out = std::string(
                Substring(args[0].text, y, count > 2 ? args[2].number : 0, count > 2, nullptr));
            return;
        case F::CharSubstr: {
            const std::string s(utf8(args[0].text));
            const std::vector<size_t> starts = CharacterStarts(s);
            give(std::string(Substring(s, y, count > 2 ? args[2].number : 0, count > 2, &starts)));
            return;
        }
        case F::Index:
        case F::Rindex:
            result = Find(args[0].text, args[1].text, count > 2 ? args[2].number : -1,
                          f == F::Rindex, nullptr);
            return;
        case F::CharIndex: {
            const std::string haystack(utf8(args[0].text));
            const std::string needles(utf8(args[1].text));
            const std::vector<size_t> starts = CharacterStarts(haystack);
            result = Find(haystack, needles, count > 2 ? args[2].number : -1, false, &starts);
            return;
        }
        case F::Replace: {
            const std::string_view s = args[0].text, from = args[1].text, to = args[2].text;
            double times = count > 3 ? args[3].number : -1;
            if (Missing(times)) times = -1;
            std::string r;
            size_t i = 0;
            while (!from.empty() && times != 0) {
                const size_t at = s.find(from, i);
                if (at == std::string_view::npos) break;
                r.append(s.substr(i, at - i));
                r.append(to);
                i = at + from.size();
                if (times > 0) --times;
            }
            r.append(s.substr(i));
            out = std::move(r);
            return;
        }
        default:
            break;
    }
    // Dates and times: numbers, missing when any argument is.
    if (f == F::Datediff || f == F::Datesum) {
        const double unit = DateUnitOf(args[2].text);
        if (Missing(x) || Missing(y) || unit == 0) {
            result = kMissing;
            return;
        }
        if (f == F::Datediff) {
            result = Checked(DateDiff(x, y, unit));
            return;
        }
        const std::string method = count > 3 ? Upper(args[3].text) : "CLOSEST";
        if (method != "CLOSEST" && method != "ROLLOVER") {
            result = kMissing;
            return;
        }
        result = Checked(DateSum(x, y, unit, method == "CLOSEST"));
        return;
    }
    if (anyMissing()) {
        result = kMissing;
        return;
    }
    auto date = [](std::optional<double> v) { return v ? *v : kMissing; };
    switch (f) {
        case F::DateDmy:
            result = date(DateSeconds(x, y, args[2].number));
            return;
        case F::DateMdy:
            result = date(DateSeconds(y, x, args[2].number));
            return;
        case F::DateYmd:
            result = date(DateSeconds(args[2].number, y, x));
            return;
        case F::DateMoyr:
            result = date(DateSeconds(1, x, y));
            return;
        case F::DateQyr:
            result = x >= 1 && x <= 4 && x == std::floor(x) ? date(DateSeconds(1, x * 3 - 2, y))
                                                            : kMissing;
            return;
        case F::DateWkyr:
        case F::DateYrday: {
            // DATE.WKYR(week, year), DATE.YRDAY(year, day of the year).
            const bool weeks = f == F::DateWkyr;
            const double year = weeks ? y : x, n = weeks ? x : y;
            const std::optional<double> first = DateSeconds(1, 1, year);
            result = first && n >= 1 && n <= (weeks ? 53 : 366) && n == std::floor(n)
                         ? *first + (n - 1) * (weeks ? 7 : 1) * kSecondsPerDay
                         : kMissing;
            return;
        }
        case F::TimeHms: {
            const double h = x, m = count > 1 ? y : 0, s = count > 2 ? args[2].number : 0;
            // Parts of one sign only.
            const bool positive = h > 0 || m > 0 || s > 0, negative = h < 0 || m < 0 || s < 0;
            result = positive && negative ? kMissing : Checked(h * 3600 + m * 60 + s);
            return;
        }
        case F::TimeDays:
            result = Checked(x * kSecondsPerDay);
            return;
        case F::CtimeDays:
            result = x / kSecondsPerDay;
            return;
        case F::CtimeHours:
            result = x / 3600;
            return;
        case F::CtimeMinutes:
            result = x / 60;
            return;
        case F::CtimeSeconds:
            result = x;
            return;
        case F::XdateHour:
            result = Checked(std::fmod(std::floor(x / 3600), 24));
            return;
        case F::XdateMinute:
            result = Checked(std::fmod(std::floor(x / 60), 60));
            return;
        case F::XdateSecond:
            result = Checked(std::fmod(x, 60));
            return;
        case F::XdateTday:
            result = Checked(std::floor(x / kSecondsPerDay));
            return;
        case F::XdateTime:
            result = Checked(x - std::floor(x / kSecondsPerDay) * kSecondsPerDay);
            return;
        case F::XdateDate:
            result = Checked(std::floor(x / kSecondsPerDay) * kSecondsPerDay);
            return;
        default:
            break;
    }
    int64_t day = 0;
    const std::optional<CalendarDate> d = DateOf(x, &day);
    if (!d || day < 0) {
        result = kMissing;
        return;
    }
    switch (f) {
        case F::XdateYear:
            result = static_cast<double>(d->year);
            return;
        case F::XdateMonth:
            result = d->month;
            return;
        case F::XdateMday:
            result = d->day;
            return;
        case F::XdateWkday:
            // Day 0, 14 October 1582, was a Thursday; Sunday is 1.
            result = static_cast<double>((day + 4) % 7 + 1);
            return;
        case F::XdateJday:
            result = d->yearDay;
            return;
        case F::XdateQuarter:
            result = (d->month - 1) / 3 + 1;
            return;
        case F::XdateWeek:
            result = (d->yearDay - 1) / 7 + 1;
            return;
        default:
            result = kMissing;
            return;
    }
}

}  // namespace lv
