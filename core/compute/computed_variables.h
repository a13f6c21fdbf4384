// Computed variables: a name, an expression of the condition language and
// optionally a format and a label, made into variables after a file's own.
// They join the dictionary the commands and windows hold (a DictVariable
// with its expression), and their values are made as every pass reads the
// cases (DerivedColumns of the case stream), a block at a time, so that
// nothing of them is kept. A later one may use an earlier one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/cases/derived_columns.h"
#include "core/condition/condition.h"
#include "core/dictionary/file_dictionary.h"

namespace lv {

// What the user asks for (UTF-8 texts).
struct ComputeSpec {
    std::string name;
    std::string expression;
    // A print format: A<w> makes a string of w bytes, a numeric format a
    // number shown so. Without one a number is F8.2 and a string A255.
    std::optional<PrintFormat> format;
    std::string label;
};

// "NAME=EXPRESSION" or "NAME(FORMAT)=EXPRESSION" (total(F8.0)=SUM(q1 TO q5),
// city(A20)=SUBSTR(address, 1, 20)); nothing when it is not so written.
std::optional<ComputeSpec> ParseComputeSpec(std::string_view text);

// Why a spec could not be added: which one (0-based), and a condition's
// error (its position in the expression) or a message of the name or format.
struct ComputeError {
    size_t spec = 0;
    ConditionError error;
};

class ComputedVariables final : public DerivedColumns {
  public:
    int fileVariables() const override { return fileVariables_; }
    int count() const override { return static_cast<int>(made_.size()); }
    int width(int d) const override { return made_[size_t(d)].width; }
    const std::vector<int>& inputs(int d) const override {
        return made_[size_t(d)].expression.variables();
    }
    bool readsOtherCases(int d) const override {
        return made_[size_t(d)].expression.readsOtherCases();
    }
    int64_t casesBefore(int d) const override { return made_[size_t(d)].before; }
    void Fill(int d, CaseValues& values, std::span<const size_t> in, size_t out, int64_t firstCase,
              double sysmis) const override;

  private:
    friend std::variant<std::shared_ptr<ComputedVariables>, ComputeError> AddComputedVariables(
        FileDictionary&, const std::vector<ComputeSpec>&, const std::string&);
    struct Made {
        Condition expression;
        int width = 0;
        bool utf8 = true;    // strings are cut at a character's start
        int64_t before = 0;  // casesBefore
    };
    int fileVariables_ = 0;
    std::vector<Made> made_;
};

// Compiles specs in turn against dict's variables (the file's, then the
// ones added before) in encoding, and appends a variable to dict for each.
// On an error dict is as it was.
std::variant<std::shared_ptr<ComputedVariables>, ComputeError> AddComputedVariables(
    FileDictionary& dict, const std::vector<ComputeSpec>& specs, const std::string& encoding);

}  // namespace lv
