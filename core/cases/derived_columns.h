// Variables a pass makes from others as it reads the cases: computed
// variables, numbered after the file's own. A pass that asks for one reads
// the variables it is made from and fills its column block by block, so
// nothing of it is kept beyond the block being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/cases/case_values.h"

namespace lv {

class DerivedColumns {
  public:
    virtual ~DerivedColumns() = default;
    // The file's variables; derived variable d is variable fileVariables() + d.
    virtual int fileVariables() const = 0;
    virtual int count() const = 0;
    // Its width in bytes (0: numeric).
    virtual int width(int d) const = 0;
    // The variables it is made from (file variables and earlier derived ones).
    virtual const std::vector<int>& inputs(int d) const = 0;
    // Whether it reads earlier cases or the case's number: then it is made
    // from every case of the file, in order, whichever cases a pass hands on.
    virtual bool readsOtherCases(int d) const = 0;
    // How many cases before a case its value reads (LAG's farthest, through
    // the computed variables it is made from): a read that starts anywhere
    // but the first case starts that many cases earlier.
    virtual int64_t casesBefore(int d) const {
        (void)d;
        return 0;
    }
    // Appends its value for each row of values to column out, its inputs
    // being columns in (in the order of inputs(d)); the rows are the cases
    // from firstCase on when readsOtherCases(d). sysmis is the file's
    // system-missing value, which missing numbers are given.
    virtual void Fill(int d, CaseValues& values, std::span<const size_t> in, size_t out,
                      int64_t firstCase, double sysmis) const = 0;
};

// What a read of some variables has to make: the computed ones among them
// and those they are made from, in the order they are made, each with its
// column and its inputs' columns in the read's values.
struct DerivedPlan {
    struct Step {
        int d = 0;
        size_t column = 0;
        std::vector<size_t> inputs;
    };
    std::vector<Step> steps;
    // Every computed variable's width (CaseValues' computedWidths).
    std::vector<int> widths;
    // Some step reads earlier cases or the case's number, and how far back.
    bool everyCase = false;
    int64_t casesBefore = 0;

    // Makes the steps' columns of values, whose rows are the cases from
    // firstCase on.
    void Fill(const DerivedColumns& derived, CaseValues& values, int64_t firstCase,
              double sysmis) const {
        for (const Step& step : steps)
            derived.Fill(step.d, values, step.inputs, step.column, firstCase, sysmis);
    }
};

// Plans the read of columns (variables of the file, or computed ones of
// derived, which may be null), appending to columns the variables the
// computed ones are made from that are not among them. False when a
// column is neither.
bool PlanDerived(const DerivedColumns* derived, int fileVariables, std::vector<int>& columns,
                 DerivedPlan& plan);

}  // namespace lv
