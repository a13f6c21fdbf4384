// One streaming pass over the cases of a file for the statistics: the
// values of the chosen variables and the case's weight, read through the
// case stream and handed over a case at a time, with a file handle of its
// own or the caller's (the program's shared state is left alone). Nothing
// is kept.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/cases/case_stream.h"
#include "core/dictionary/file_dictionary.h"
#include "core/state/message.h"
#include "core/state/progress.h"

namespace lv {

// One value of a case: a number (sysmis when system-missing) or a string's
// bytes without trailing blanks (valid during the Case call).
struct PassValue {
    bool sysmis = false;
    double number = 0;
    std::string_view text;
};

// A string value as the statistics count it: its bytes up to the first NUL,
// without trailing blanks (value has none after its last byte).
std::string_view PassText(std::string_view value);

class CaseVisitor {
  public:
    virtual ~CaseVisitor() = default;
    // values in the order the variables were asked for; weight 1 when the
    // pass is unweighted.
    virtual void Case(std::span<const PassValue> values, double weight) = 0;
    // A block of the stream's cases, its columns in the order the variables
    // were asked for: by default handed on a case at a time.
    virtual void Block(const CaseStream& block);

  private:
    std::vector<PassValue> values_;
};

enum class PassOutcome { Complete, Cancelled, Failed };

struct PassResult {
    PassOutcome outcome = PassOutcome::Failed;
    int64_t casesRead = 0;
    // Weighted passes: the cases left out for a zero, negative or missing
    // weight (they are not handed over).
    int64_t casesWithoutWeight = 0;
    bool weighted = false;  // a weight variable was used
    Message error;          // Failed: what went wrong
};

// The cases a pass hands over: their 0-based numbers, ascending (a case
// selection's); null for every case.
using CaseNumbers = std::vector<uint32_t>;

// Reads every case of the file once: through file, the open file dict was
// read from (left open); or, when it is null, from dict.path opened here
// (failing when the file found there no longer has dict's variables).
// weighted: weigh by the file's weight variable when it has one. progress
// hears of the cases read and may cancel. selected: only those cases are
// handed over (casesRead still counts all).
PassResult ReadCasesOnce(const FileDictionary& dict, const std::vector<int>& variables,
                         bool weighted, CaseVisitor& visitor, Progress* progress = nullptr,
                         const CaseNumbers* selected = nullptr, const ReaderHandle* file = nullptr);

}  // namespace lv
