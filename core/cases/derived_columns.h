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
    // Appends its value for each row of values to column out, its inputs
    // being columns in (in the order of inputs(d)); the rows are the cases
    // from firstCase on when readsOtherCases(d). sysmis is the file's
    // system-missing value, which missing numbers are given.
    virtual void Fill(int d, CaseValues& values, std::span<const size_t> in, size_t out,
                      int64_t firstCase, double sysmis) const = 0;
};

}  // namespace lv
