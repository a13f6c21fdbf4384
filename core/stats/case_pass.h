// One streaming pass over the cases of a file for the statistics: the
// values of the chosen variables and the case's weight, handed over a case
// at a time through the reader's value calls, with a file handle of its own
// (the program's shared state is left alone). Nothing is kept.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

class CaseVisitor {
  public:
    virtual ~CaseVisitor() = default;
    // values in the order the variables were asked for; weight 1 when the
    // pass is unweighted.
    virtual void Case(std::span<const PassValue> values, double weight) = 0;
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

// Whether value is system-missing in a file whose system-missing value is
// sysmis.
bool IsSystemMissing(double value, double sysmis);

// The file's system-missing value.
double FileSysmis(const FileDictionary& dict);

// The cases a pass hands over: their 0-based numbers, ascending (a case
// selection's); null for every case.
using CaseNumbers = std::vector<uint32_t>;

// Reads every case of dict.path once. weighted: weigh by the file's weight
// variable when it has one. progress hears of the cases read and may cancel.
// selected: only those cases are handed over (casesRead still counts all).
PassResult ReadCasesOnce(const FileDictionary& dict, const std::vector<int>& variables,
                         bool weighted, CaseVisitor& visitor, Progress* progress = nullptr,
                         const CaseNumbers* selected = nullptr);

}  // namespace lv
