// Expected values of one corpus file, read from corpus_expected/<file>.txt
// (derived with PSPP and ReadStat by corpus_expected/make_expected.py).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace corpus {

struct ExpectedVariable {
    std::string shortName;
    std::string longName;  // "-" = not checked
    int width = 0;
    int print[3] = {0, 0, 0};  // type, width, decimals
    int write[3] = {0, 0, 0};
    bool hasLabel = false;
    std::string label;
    bool hasMissing = false;
    int missingCode = 0;
    std::vector<std::string> missing;  // numbers, "LO", "HI", or string values
    int labelCount = -1;               // -1 = no value labels expected
    std::vector<std::pair<std::string, std::string>> labels;  // a few (value, label)
    std::string first, last;  // "." = SYSMIS; strings without trailing blanks
    bool hasFirst = false, hasLast = false;
};

struct Expected {
    int cases = 0;
    int variables = 0;
    int compression = 0;
    std::string weight;  // "-" = none
    std::vector<ExpectedVariable> vars;
};

// The directory of the expectation files.
std::string ExpectedDir();

// Parses one expectation file; throws std::runtime_error on a malformed line.
Expected LoadExpected(const std::string& path);

// Undoes the \xNN escapes of the expectation files.
std::string Unescape(const std::string& text);

}  // namespace corpus
