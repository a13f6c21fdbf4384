// The statistics as JSON for programs (UTF-8; texts decoded from the
// file's encoding, or the one given). The schema is in docs/stats-json.md.
#pragma once

#include <string>
#include <vector>

#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"

namespace lv {

struct CrosstabPercents {
    bool row = false, column = false, total = false;
};

// One table as an object; several as an array of them.
std::string FrequencyJson(const std::vector<FrequencyTable>& tables, const FileDictionary& dict,
                          const PassResult& pass, const std::string& encoding);
std::string DescribeJson(const DescribeResult& result, const FileDictionary& dict,
                         const std::string& encoding);
std::string CrosstabJson(const Crosstab& table, const FileDictionary& dict, const PassResult& pass,
                         CrosstabPercents percents, const std::string& encoding);

}  // namespace lv
