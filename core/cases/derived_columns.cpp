#include "core/cases/derived_columns.h"

#include <algorithm>

namespace lv {

bool PlanDerived(const DerivedColumns* derived, int fileVariables, std::vector<int>& columns,
                 DerivedPlan& plan) {
    plan = DerivedPlan();
    const int count = derived && derived->fileVariables() == fileVariables ? derived->count() : 0;
    for (const int v : columns)
        if (v < 0 || v >= fileVariables + count) return false;
    // The computed variables needed, and what they are made from: each is
    // made from variables before it, so going down from the last finds them all.
    std::vector<bool> needed(static_cast<size_t>(count), false);
    for (const int v : columns)
        if (v >= fileVariables) needed[size_t(v - fileVariables)] = true;
    for (int d = count - 1; d >= 0; --d) {
        if (!needed[size_t(d)]) continue;
        for (const int input : derived->inputs(d))
            if (input >= fileVariables) needed[size_t(input - fileVariables)] = true;
    }
    auto columnOf = [&columns](int v) {
        for (size_t c = 0; c < columns.size(); ++c)
            if (columns[c] == v) return c;
        columns.push_back(v);
        return columns.size() - 1;
    };
    for (int d = 0; d < count; ++d) {
        plan.widths.push_back(derived->width(d));
        if (!needed[size_t(d)]) continue;
        DerivedPlan::Step step;
        step.d = d;
        step.column = columnOf(fileVariables + d);
        for (const int input : derived->inputs(d)) step.inputs.push_back(columnOf(input));
        if (derived->readsOtherCases(d)) {
            plan.everyCase = true;
            plan.casesBefore = std::max(plan.casesBefore, derived->casesBefore(d));
        }
        plan.steps.push_back(std::move(step));
    }
    return true;
}

}  // namespace lv
