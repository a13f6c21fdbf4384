// The lookups of a dictionary's variable: its user-missing values and its
// value labels in value order.
#include <algorithm>
#include <cmath>

#include "core/dictionary/file_dictionary.h"

namespace lv {

void DictVariable::BuildLookups() {
    missingValues = MissingValuesFrom(missingCode, missing, missingText, isString());
    labelOrder.clear();
    // Stable: of two labels of one value, the first in the file comes first.
    if (isString()) {
        labelOrder.resize(stringLabels.size());
        for (uint32_t k = 0; k < labelOrder.size(); ++k) labelOrder[k] = k;
        std::stable_sort(labelOrder.begin(), labelOrder.end(), [&](uint32_t a, uint32_t b) {
            return stringLabels[a].first < stringLabels[b].first;
        });
        return;
    }
    for (uint32_t k = 0; k < numericLabels.size(); ++k)
        if (!std::isnan(numericLabels[k].first)) labelOrder.push_back(k);
    std::stable_sort(labelOrder.begin(), labelOrder.end(), [&](uint32_t a, uint32_t b) {
        return numericLabels[a].first < numericLabels[b].first;
    });
}

const std::string* DictVariable::LabelOf(double value) const {
    if (isString()) return nullptr;
    const auto it =
        std::lower_bound(labelOrder.begin(), labelOrder.end(), value,
                         [&](uint32_t k, double v) { return numericLabels[k].first < v; });
    return it != labelOrder.end() && numericLabels[*it].first == value ? &numericLabels[*it].second
                                                                       : nullptr;
}

const std::string* DictVariable::LabelOf(std::string_view valueWithoutBlanks) const {
    if (!isString()) return nullptr;
    const auto it =
        std::lower_bound(labelOrder.begin(), labelOrder.end(), valueWithoutBlanks,
                         [&](uint32_t k, std::string_view v) { return stringLabels[k].first < v; });
    return it != labelOrder.end() && stringLabels[*it].first == valueWithoutBlanks
               ? &stringLabels[*it].second
               : nullptr;
}

}  // namespace lv
