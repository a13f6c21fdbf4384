// What the header and the dictionary records of one file say, after the
// reader has checked and assembled them: the variables as the user sees them
// (continuation records and very long string segments merged away).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "name_match.h"
#include "savio/case_layout.h"

namespace savio {

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

// An attribute of the file or of a variable: its name and its values (an
// array attribute has several).
struct Attribute {
    std::string name;
    std::vector<std::string> values;
};

// What the display parameters record says of a variable; -1 = not recorded.
struct DisplayParameters {
    int measure = -1;    // 1 nominal, 2 ordinal, 3 scale
    int width = -1;      // display column width in characters
    int alignment = -1;  // 0 left, 1 right, 2 centre
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
    DisplayParameters display;
    std::vector<Attribute> attributes;  // the role's attribute ($@Role) included
    int role = 0;                       // from $@Role: 0 input ... 5 split

    bool isString() const { return width > 0; }
    const std::string& displayName() const { return longName.empty() ? shortName : longName; }
};

// A multiple-response set: a category set, or a dichotomy set with the value
// it counts. Texts are the file's bytes.
struct MultipleResponseSet {
    std::string name;  // with its leading '$'
    std::string label;
    bool dichotomy = false;
    std::string countedValue;         // dichotomy sets, as written
    bool countedValueLabels = false;  // dichotomy: categories labelled by counted values
    bool labelFromVariable = false;   // the set's label is its first variable's label
    std::vector<int> variables;       // into Dictionary::variables, at least two
};

struct VariableSet {
    std::string name;
    std::vector<int> variables;  // into Dictionary::variables
};

// One extension record as the file frames it.
struct ExtensionRecord {
    int32_t subtype = 0;
    int32_t size = 0;
    int32_t count = 0;
    size_t offset = 0;  // of its record type in the file
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
    bool encodingRecordUsable = false;  // it names an encoding system files use
    int characterCode = 0;              // subtype 3, 0 when absent
    size_t dataOffset = 0;              // first byte after the 999 record
    std::vector<uint8_t> slotIsString;  // per slot: 1 for string storage

    // The header's fields as written.
    int32_t layoutCode = 2;
    int32_t nominalCaseSize = 0;
    int32_t weightIndex = 0;  // 1-based slot, 0 = none

    // The rest of the dictionary.
    std::vector<std::string> documents;  // lines, trailing blanks removed
    bool hasIntegerInfo = false;
    int32_t integerInfo[8] = {};  // subtype 3, by savio::integer_info index
    bool hasFloatInfo = false;
    double floatInfo[3] = {};  // subtype 4: sysmis, highest, lowest
    std::string productInfo;   // subtype 10
    std::vector<Attribute> fileAttributes;
    std::vector<MultipleResponseSet> mrsets;
    bool hasVariableSets = false;  // the record is present (it may hold no set)
    std::vector<VariableSet> variableSets;
    std::vector<ExtensionRecord> extensions;  // every type 7 record, in file order
    // What was skipped as malformed, one sentence each.
    std::vector<std::string> warnings;

    // The variables by short name, and by long name (the short name for
    // those without one).
    NameIndex shortNameIndex;
    NameIndex displayNameIndex;
};

}  // namespace savio
