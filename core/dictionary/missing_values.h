// A variable's user-missing values as lookups need them: up to three
// discrete values, or a range (both ends included) with up to one discrete
// value beside it.
#pragma once

#include <string>
#include <string_view>

namespace lv {

struct MissingValues {
    int count = 0;  // discrete values held in numbers / strings
    bool range = false;
    double numbers[3] = {};  // discrete values
    double low = 0, high = 0;
    std::string strings[3];  // string variables: without trailing blanks
    std::string lowText, highText;

    bool any() const { return count > 0 || range; }
    bool Holds(double value) const;
    // value without its trailing blanks.
    bool Holds(std::string_view value) const;
};

// The values of a missing-value record: code as spssGetVarNMissingValues
// gives it (0 to 3 discrete values, SPSS_MISS_RANGE, SPSS_MISS_RANGEANDVAL;
// the range's ends first, then its one discrete value), numbers for a
// numeric variable, texts (without trailing blanks) for a string variable.
MissingValues MissingValuesFrom(int code, const double numbers[3], const std::string texts[3],
                                bool isString);

}  // namespace lv
