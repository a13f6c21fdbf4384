// A condition run over the blocks of a case stream that reads every case in
// file order, as the stream's chooser (the stream hands over only the cases
// it selects) or on the stream's blocks. The selection of a file's cases and
// a conversion that writes only the cases selected (one pass, not a
// selection first) share it. LAG and $CASENUM see the file's cases in order.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/cases/case_stream.h"
#include "core/condition/condition.h"

namespace lv {

class StreamCondition final : public CaseChooser {
  public:
    // condition must outlive this.
    explicit StreamCondition(const Condition& condition);

    // The variables the stream reads for the condition (indices as the
    // condition was compiled with: the dictionary's).
    const std::vector<int>& variables() const override { return condition_.variables(); }

    // Sets rows to the rows of values (cases from firstCase on, in file
    // order) that the condition selects, ascending; its variables are the
    // columns given, in the order of Condition::variables(). False when the
    // case numbers do not fit the condition's (beyond 2^32 - 1).
    bool Choose(const CaseValues& values, std::span<const size_t> columns, int64_t firstCase,
                double sysmis, std::vector<uint32_t>& rows) override;

  private:
    const Condition& condition_;
    std::vector<std::vector<double>> numbers_;
    std::vector<std::vector<std::string_view>> strings_;
    ConditionBlock block_;
};

}  // namespace lv
