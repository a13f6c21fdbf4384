// The statistics as JSON for programs (UTF-8; texts decoded from the
// file's encoding, or the one given). The schema is in docs/stats-json.md.
#pragma once

#include <string>
#include <vector>

#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/means.h"

namespace lv {

// The figures a crosstab shows in each cell beside its count.
struct CrosstabPercents {
    bool row = false, column = false, total = false;
    bool expected = false, residuals = false;  // expected counts, adjusted residuals
};

// One table as an object; several as an array of them.
std::string FrequencyJson(const std::vector<FrequencyTable>& tables, const FileDictionary& dict,
                          const PassResult& pass, const std::string& encoding);
std::string DescribeJson(const DescribeResult& result, const FileDictionary& dict,
                         const std::string& encoding);
// With the tests and measures of each table; with a layer variable, one
// table per layer value beside the whole table.
std::string CrosstabJson(const CrosstabResult& result, const FileDictionary& dict,
                         CrosstabPercents percents, const std::string& encoding);
std::string MeansJson(const Means& means, const FileDictionary& dict, const PassResult& pass,
                      const std::string& encoding);

}  // namespace lv
