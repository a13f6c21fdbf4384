#include "core/dictionary/missing_values.h"

#include "savio/spssfio.h"

namespace lv {

MissingValues MissingValuesFrom(int code, const double numbers[3], const std::string texts[3],
                                bool isString) {
    MissingValues m;
    switch (code) {
        case SPSS_ONE_MISSVAL:
        case SPSS_TWO_MISSVAL:
        case SPSS_THREE_MISSVAL:
            m.count = code;
            break;
        case SPSS_MISS_RANGE:
            m.range = true;
            break;
        case SPSS_MISS_RANGEANDVAL:
            m.range = true;
            m.count = 1;
            break;
        default:
            break;
    }
    // The range's ends come first, then its one discrete value.
    const int first = m.range ? 2 : 0;
    if (isString) {
        if (m.range) {
            m.lowText = texts[0];
            m.highText = texts[1];
        }
        for (int k = 0; k < m.count; ++k) m.strings[k] = texts[first + k];
    } else {
        if (m.range) {
            m.low = numbers[0];
            m.high = numbers[1];
        }
        for (int k = 0; k < m.count; ++k) m.numbers[k] = numbers[first + k];
    }
    return m;
}

bool MissingValues::Holds(double value) const {
    for (int k = 0; k < count; ++k)
        if (value == numbers[k]) return true;
    return range && value >= low && value <= high;
}

bool MissingValues::Holds(std::string_view value) const {
    for (int k = 0; k < count; ++k)
        if (value == strings[k]) return true;
    return range && value >= lowText && value <= highText;
}

}  // namespace lv
