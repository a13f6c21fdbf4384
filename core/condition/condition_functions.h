// The functions of the condition language with SPSS's rules for missing
// values: arithmetic, statistics across arguments (with a .n suffix, the
// fewest valid arguments), strings, and dates and times. A missing
// argument makes the result missing unless the function says otherwise;
// so does a result that is not a finite number. MISSING, SYSMIS, VALUE,
// ANY, RANGE, LAG, VALUELABEL, NUMBER and STRING are compiled apart
// (condition_compile.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

enum class ConditionFunction : uint8_t {
    Abs,
    Rnd,
    Trunc,
    Mod,
    Sqrt,
    Exp,
    Ln,
    Lg10,
    Arsin,
    Artan,
    Sin,
    Cos,
    Tan,
    Sum,
    Mean,
    Min,
    Max,
    Sd,
    Variance,
    Cfvar,
    Nvalid,
    Nmiss,
    Concat,
    Length,
    Lower,
    Upcase,
    Ltrim,
    Rtrim,
    Substr,
    Index,
    Rindex,
    Replace,
    CharLength,
    CharSubstr,
    CharIndex,
    XdateYear,
    XdateMonth,
    XdateMday,
    XdateWkday,
    XdateJday,
    XdateQuarter,
    XdateWeek,
    XdateHour,
    XdateMinute,
    XdateSecond,
    XdateTday,
    XdateTime,
    XdateDate,
    DateDmy,
    DateMdy,
    DateYmd,
    DateMoyr,
    DateQyr,
    DateWkyr,
    DateYrday,
    TimeHms,
    TimeDays,
    CtimeDays,
    CtimeHours,
    CtimeMinutes,
    CtimeSeconds,
    Datediff,
    Datesum,
    MinText,
    MaxText,  // MIN and MAX of strings
};

struct FunctionSignature {
    std::string_view name;
    ConditionFunction id;
    // One letter per argument: n a number, s a string, a either (all the
    // arguments alike); those after | may be left out; a last * repeats
    // the letter before it.
    std::string_view args;
    char result;       // n, s, or a: the arguments' type
    int defaultValid;  // > 0: takes a .n suffix; the fewest valid by default
};

// The function of a name in upper case (MEAN, XDATE.YEAR), or null.
const FunctionSignature* FindConditionFunction(std::string_view name);

// Every function's name, for a message.
std::string ConditionFunctionNames();

// A value on the program's stack (Condition::Cell's shape).
struct FunctionValue {
    double number = 0;
    std::string_view text;
};

// What string functions need beyond their arguments: the encoding the
// strings are in, for those that count characters.
struct FunctionContext {
    std::string_view encoding;
    bool utf8 = true;
};

// Applies f to args[0 .. count): a number into args[0].number, or a string
// into out (args[0].text is left for the caller to point at it).
void ApplyConditionFunction(ConditionFunction f, FunctionValue* args, uint32_t count, int minValid,
                            const FunctionContext& context, std::string& out);

// The unit of DATEDIFF and DATESUM in seconds, or for years (-12), quarters
// (-3) and months (-1) less than 0; 0 for no unit. Any letter case.
double DateUnitOf(std::string_view unit);

}  // namespace lv
