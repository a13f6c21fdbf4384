// A case-selection condition compiled against a file's variables: a flat
// program run once per case over values handed in blocks. Missing values
// follow SPSS: a numeric variable's user-missing values count as
// system-missing (except inside MISSING, SYSMIS and VALUE), an operation on
// a missing operand is missing (but 0 * x and 0 / x are 0), a division by
// zero and any result that is not a finite number are missing, AND and OR use three-valued logic,
// and a case is selected only when the condition is true. Strings compare as if padded with blanks,
// so trailing blanks never matter. The same program gives an expression's
// value per case (Evaluate), which is how a computed variable is made.
//
// LAG(v, n) is v's value n cases earlier in the file: the program keeps a
// ring of the last n values per LAG, fed by the blocks it runs over, which
// must come in file order (a block that does not continue the one before
// starts the rings afresh, so that its first cases have no earlier ones).
// A sort or a filter of the grid never changes what LAG sees.
#pragma once

#include <cfloat>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/condition/condition_error.h"
#include "core/condition/condition_functions.h"
#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/variable_facts.h"
#include "core/rendering/print_format.h"

namespace lv {

// System-missing inside a condition's values.
inline constexpr double kConditionMissing = -DBL_MAX;

// What a condition may refer to: one of the file's variables, seen in the
// dictionary (or the grid's facts) that holds it.
using ConditionVariable = const DictVariable*;

// The values of a block of cases, per variable the condition reads (in the
// order of Condition::variables()): numbers with system-missing as
// kConditionMissing, or strings (trailing blanks may be there or not).
struct ConditionBlock {
    uint32_t rows = 0;
    std::vector<const double*> numbers;
    std::vector<const std::string_view*> strings;
};

class Condition {
  public:
    // The variables it reads: indices into the list it was compiled with.
    const std::vector<int>& variables() const { return variables_; }
    bool readsString(size_t k) const { return stringInput_[k]; }

    // Appends firstCase + r for each row r of block that it selects.
    void Select(const ConditionBlock& block, uint32_t firstCase, std::vector<uint32_t>& out) const;

    // Whether the expression's value is a string (else a number or a truth).
    bool givesText() const { return givesText_; }
    // Whether it reads earlier cases (LAG) or the case's number ($CASENUM):
    // its blocks must then be every case of the file, in order.
    bool readsOtherCases() const { return !lags_.empty() || readsCasenum_; }
    // How many cases back its farthest LAG reads (0 without one).
    uint32_t farthestLag() const {
        uint32_t farthest = 0;
        for (const LagRing& ring : lags_) farthest = ring.depth > farthest ? ring.depth : farthest;
        return farthest;
    }
    // The value of each row of block: onNumber(r, number) with
    // kConditionMissing for missing, or onText(r, bytes) for a string.
    template <typename OnNumber, typename OnText>
    void Evaluate(const ConditionBlock& block, uint32_t firstCase, OnNumber onNumber,
                  OnText onText) const {
        Run(block, firstCase, [&](uint32_t r, const Cell& top) {
            if (givesText_)
                onText(r, top.text);
            else
                onNumber(r, top.number);
        });
    }

    struct Instruction;
    using Cell = FunctionValue;

  private:
    friend class ConditionCompiler;
    // A LAG's ring: the last `depth` values of the variable read in slot.
    struct LagRing {
        uint32_t slot = 0;
        uint32_t depth = 1;
        bool text = false;
        uint32_t head = 0;    // where the value depth cases back is
        uint32_t filled = 0;  // values held, at most depth
        std::vector<double> numbers;
        std::vector<std::string> texts;
    };
    template <typename Sink>
    void Run(const ConditionBlock& block, uint32_t firstCase, Sink sink) const;
    void RunProgram(const ConditionBlock& block, uint32_t firstCase,
                    const std::function<void(uint32_t, const Cell&)>& sink) const;
    std::vector<Instruction> program_;
    std::vector<std::string> literals_;
    std::vector<int> variables_;
    std::vector<bool> stringInput_;
    std::vector<MissingValues> missing_;  // per variable read
    size_t stackSize_ = 0;
    std::string encoding_;  // of the strings, for the functions that count characters
    bool utf8_ = true;
    bool givesText_ = false;
    bool readsCasenum_ = false;
    std::vector<PrintFormat> formats_;    // NUMBER's and STRING's
    std::vector<FormatRender> renders_;   // STRING's, per format
    std::vector<DictVariable> labelled_;  // VALUELABEL's variables
    mutable std::vector<LagRing> lags_;
    mutable int64_t nextCase_ = -1;  // the case after the last block run
};

template <typename Sink>
void Condition::Run(const ConditionBlock& block, uint32_t firstCase, Sink sink) const {
    RunProgram(block, firstCase, std::function<void(uint32_t, const Cell&)>(sink));
}

struct Condition::Instruction {
    enum class Code : uint8_t {
        Number,     // push number
        Text,       // push literals_[arg]
        Load,       // variable arg, its user-missing values as missing
        LoadValue,  // variable arg as stored
        LoadText,   // string variable arg, padded with blanks to number bytes
        Casenum,    // the case's number, from 1
        Negate,
        Add,
        Subtract,
        Multiply,
        Divide,
        Power,
        Compare,      // numbers; op in flags
        CompareText,  // strings; op in flags
        And,
        Or,
        Not,
        Truth,        // a number as true, false or missing
        Missing,      // variable arg: the value on top is missing for it
        MissingText,  // string variable arg: the value on top is user-missing
        Sysmis,
        Any,          // arg values after the first; text when flags is 1
        Range,        // arg pairs after the first; text when flags is 1
        Call,         // function flags of the arg values on top; number: fewest valid
        CallText,     // as Call, giving a string
        Lag,          // lags_[arg]'s value; padded to number bytes when text
        ValueLabel,   // the label of labelled_[arg]'s value, read in slot number
        ReadNumber,   // the string on top read in formats_[arg]
        WriteNumber,  // the number on top written in formats_[arg]
    };
    Code code = Code::Number;
    uint8_t flags = 0;
    uint32_t arg = 0;
    double number = 0;
};

// Compiles an expression whose value may be a number, a truth or a string
// (a computed variable's), as CompileCondition does.
std::variant<Condition, ConditionError> CompileExpression(
    std::string_view text, std::span<const ConditionVariable> variables,
    const std::string& encoding);

// Compiles text against variables; a name means the variable
// FindVariableNamed finds (variable_name.h), and string literals are
// compared in encoding's bytes.
std::variant<Condition, ConditionError> CompileCondition(
    std::string_view text, std::span<const ConditionVariable> variables,
    const std::string& encoding);

// The variables of a grid's facts, and of a file's dictionary, for a
// condition (while they live).
std::vector<ConditionVariable> ConditionVariablesOf(const std::vector<VariableFacts>& facts);
std::vector<ConditionVariable> ConditionVariablesOf(const std::vector<DictVariable>& variables);

}  // namespace lv
