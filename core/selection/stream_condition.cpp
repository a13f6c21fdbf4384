#include "core/selection/stream_condition.h"

namespace lv {

StreamCondition::StreamCondition(const Condition& condition) : condition_(condition) {
    const size_t columns = condition.variables().size();
    numbers_.resize(columns);
    strings_.resize(columns);
    block_.numbers.assign(columns, nullptr);
    block_.strings.assign(columns, nullptr);
}

bool StreamCondition::Choose(const CaseValues& values, std::span<const size_t> columns,
                             int64_t firstCase, double sysmis, std::vector<uint32_t>& rows) {
    rows.clear();
    const auto count = static_cast<size_t>(values.rows());
    if (count == 0) return true;
    if (firstCase + values.rows() > int64_t{UINT32_MAX}) return false;
    // The condition reads numbers with system-missing as kConditionMissing.
    for (size_t k = 0; k < numbers_.size(); ++k) {
        const size_t c = columns[k];
        if (values.isText(c)) {
            strings_[k].resize(count);
            for (size_t i = 0; i < count; ++i) strings_[k][i] = values.Text(int64_t(i), c);
            block_.strings[k] = strings_[k].data();
        } else {
            numbers_[k].resize(count);
            const double* from = values.Numbers(c);
            for (size_t i = 0; i < count; ++i)
                numbers_[k][i] = IsSystemMissing(from[i], sysmis) ? kConditionMissing : from[i];
            block_.numbers[k] = numbers_[k].data();
        }
    }
    block_.rows = static_cast<uint32_t>(count);
    const auto base = static_cast<uint32_t>(firstCase);
    condition_.Select(block_, base, rows);
    for (uint32_t& row : rows) row -= base;
    return true;
}

}  // namespace lv
