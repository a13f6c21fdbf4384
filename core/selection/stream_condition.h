// A condition run over the blocks of a case stream that reads every case in
// file order: the stream reads the variables the condition names in its
// columns from a given one on, beside whatever else the pass reads, and
// each block's rows the condition selects come from here. The selection of
// a file's cases and a conversion that writes only the cases selected (one
// pass, not a selection first) share it. LAG and $CASENUM see the file's
// cases in order.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/cases/case_stream.h"
#include "core/condition/condition.h"

namespace lv {

class StreamCondition {
  public:
    // condition's variables are the stream's columns from firstColumn on, in
    // the order of Condition::variables(). condition must outlive this.
    StreamCondition(const Condition& condition, size_t firstColumn);

    // The variables the stream reads for the condition (indices as the
    // condition was compiled with: the dictionary's).
    const std::vector<int>& variables() const { return condition_.variables(); }

    // Sets rows to the rows of stream's block (every case from
    // stream.CaseNumber(0) on) that the condition selects, ascending. False
    // when the block's case numbers do not fit the condition's (beyond
    // 2^32 - 1).
    bool Select(const CaseStream& stream, std::vector<uint32_t>& rows);

  private:
    const Condition& condition_;
    size_t first_;
    std::vector<std::vector<double>> numbers_;
    std::vector<std::vector<std::string_view>> strings_;
    ConditionBlock block_;
};

}  // namespace lv
