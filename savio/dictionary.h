// What the header and the dictionary records of one file say, after the
// reader has checked and assembled them: the variables as the user sees them
// (continuation records and very long string segments merged away).
#ifndef LORIVANE_SAVIO_DICTIONARY_H
#define LORIVANE_SAVIO_DICTIONARY_H

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace savio {

enum class Compression { None, Bytecode, Zlib };

struct Format {
    int type = 0;
    int width = 0;
    int decimals = 0;
};

// One type 3 record's labels; values are kept as their 8 raw bytes because
// whether they are numbers or text is known only from the variables.
struct LabelSet {
    std::vector<std::pair<std::array<uint8_t, 8>, std::string>> entries;
};

struct Variable {
    std::string shortName;  // trailing blanks and NULs removed
    std::string longName;   // empty when the long-names record has none
    int width = 0;          // 0 = numeric, else string bytes
    int firstSlot = 0;      // 0-based slot of the case row
    int segments = 1;       // > 1 for a very long string
    Format print;
    Format write;
    bool hasLabel = false;
    std::string label;
    int missingCode = 0;  // 0..3, -2 range, -3 range and one value
    double missing[3] = {0, 0, 0};
    std::string missingText[3];                                   // string variables
    std::vector<int> labelSets;                                   // into Dictionary::labelSets
    std::vector<std::pair<std::string, std::string>> longLabels;  // strings wider than 8

    bool isString() const { return width > 0; }
    const std::string& displayName() const { return longName.empty() ? shortName : longName; }
};

struct Dictionary {
    bool swap = false;  // the file's byte order differs from ours
    Compression compression = Compression::None;
    std::string product;  // header text, trailing blanks removed
    std::string date;     // 9 bytes as written
    std::string time;     // 8 bytes as written
    std::string fileLabel;
    double bias = 100.0;
    int32_t headerCaseCount = -1;
    int64_t extCaseCount = -1;  // subtype 16, -1 when absent or implausible
    int weightVariable = -1;    // index into variables
    int slotCount = 0;
    std::vector<Variable> variables;
    std::vector<LabelSet> labelSets;
    std::string encodingRecord;         // subtype 20 as written
    int characterCode = 0;              // subtype 3, 0 when absent
    size_t dataOffset = 0;              // first byte after the 999 record
    std::vector<uint8_t> slotIsString;  // per slot: 1 for string storage
};

}  // namespace savio

#endif
