// Builds SPSS system-file bytes for exact test cases: a compact description
// of a file (records as data) turned into bytes in either byte order, with
// any of the three compressions, plus hooks for deliberately broken files.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fixture {

enum class Endian { Little, Big };
enum class Compression { None, Bytecode, Zlib };

// A print or write format: type code (5 = F, 1 = A, 20 = DATE, 22 = DATETIME...).
struct Format {
    int type = 5;
    int width = 8;
    int decimals = 2;
};

// The missing values of one variable. For numeric variables: up to three
// discrete values, or a range (low, high) with an optional discrete value.
// For strings: up to three discrete values (each at most 8 bytes on the
// variable record; longer strings go in the long-string missing record).
struct Missing {
    std::vector<double> discrete;  // numeric discrete values
    std::optional<std::pair<double, double>> range;
    std::vector<std::string> strings;  // string discrete values
};

// An attribute of the file or of a variable: a name and one or more values.
struct Attribute {
    std::string name;
    std::vector<std::string> values;
};

struct Variable {
    std::string name;  // short name, at most 8 bytes, in the file's encoding
    int width = 0;     // 0 = numeric, 1..32767 = string of that many bytes
    Format print{};    // a string left at F8.2 is written as A<width>
    Format write{};    // when left at its default, copied from print
    bool writeSet = false;
    std::optional<std::string> label;  // variable label bytes
    std::string longName;              // empty = no entry in the long-names record
    Missing missing;
    // Display parameters (subtype 11) when File::displayParameters is set;
    // unset = the usual defaults (scale/right for numbers, nominal/left for strings).
    struct Display {
        int measure = 1;    // 1 nominal, 2 ordinal, 3 scale
        int width = 8;      // display column width
        int alignment = 0;  // 0 left, 1 right, 2 centre
    };
    std::optional<Display> display;
    // Broken files: the label length written instead of the real one (the
    // label bytes written stay the real label, padded to 4).
    std::optional<int> labelLengthOverride;
    // Written in the variable attributes record (subtype 18) under the
    // variable's long name, the role as the attribute $@Role.
    std::vector<Attribute> attributes;
    std::optional<int> role;
};

// Short-hands for the common cases (print = write).
Variable Numeric(const std::string& name, Format print = Format{5, 8, 2});
Variable String(const std::string& name, int width);  // print A<width> (A255 when wider)

// Value labels for one or more variables (by index into File::variables).
struct ValueLabelSet {
    std::vector<int> variables;
    std::vector<std::pair<double, std::string>> numeric;       // value, label
    std::vector<std::pair<std::string, std::string>> strings;  // value, label
};

// A cell value: a number (SYSMIS via fixture::kSysmis) or string bytes
// (padded with blanks to the variable's width by the writer).
using Value = std::variant<double, std::string>;

// A multiple-response set (subtype 7, or 19 for dichotomy sets whose
// categories are labelled by their counted values).
struct MultipleResponseSet {
    std::string name;  // with its leading '$'
    std::string label;
    bool dichotomy = false;
    std::string countedValue;         // dichotomy sets: as written ("1", "yes")
    bool countedValueLabels = false;  // dichotomy: the "E" form (subtype 19)
    bool labelFromVariable = false;   // "E" form: the set's label is the first variable's
    std::vector<int> variables;       // indexes into File::variables
};
using Case = std::vector<Value>;

inline constexpr double kSysmis = -1.7976931348623157e308;  // -DBL_MAX
inline constexpr double kHighest = 1.7976931348623157e308;  // HI of a missing range
inline constexpr double kLowest = std::bit_cast<double>(0xFFEFFFFFFFFFFFFEull);  // LO

struct File {
    Endian endian = Endian::Little;
    Compression compression = Compression::Bytecode;
    std::string product = "@(#) SPSS DATA FILE Lorivane test fixture";
    std::string date = "08 Dec 26";
    std::string time = "12:34:56";
    std::string fileLabel;               // padded with blanks to 64 bytes
    int weightVariable = -1;             // index into variables, -1 = none
    std::optional<int> headerCaseCount;  // overrides the count written (e.g. -1)
    std::optional<int> nominalCaseSize;  // overrides the slot count in the header
    double bias = 100.0;
    std::vector<Variable> variables;
    std::vector<ValueLabelSet> valueLabels;
    std::vector<std::string> documents;  // 80-byte lines
    std::string encoding = "UTF-8";      // subtype 20 record; empty = none
    int characterCode = 65001;           // subtype 3 character code; 0 = no subtype 3
    bool writeFloatInfo = true;          // subtype 4 record
    bool writeCaseCount64 = false;       // subtype 16 record
    std::vector<Case> cases;
    int zlibBlockSize = 0x3FF000;  // uncompressed bytes per zlib block
    // Raw extension records appended before the 999 record: subtype, size,
    // count, data (already in the file's byte order).
    struct RawExtension {
        int subtype, size, count;
        std::string data;
    };
    std::vector<RawExtension> extraExtensions;

    // More knobs (all off by default).
    bool displayParameters = false;        // write subtype 11 (one group per variable record
                                           // that is not a continuation: segments count)
    int displayValuesPerVariable = 3;      // 3 (measure, width, alignment) or 2 (no width)
    bool bytecodeEndMarker = false;        // end the bytecode stream with a 252 code
    bool longMissingLayoutA = false;       // subtype 22 with one value_len per variable
    std::optional<long long> caseCount64;  // value written in subtype 16 (default: cases)

    // The rest of the dictionary (each record written only when not empty).
    std::vector<Attribute> fileAttributes;    // subtype 17
    std::vector<MultipleResponseSet> mrsets;  // subtypes 7 and 19
    // Variable sets (subtype 5): a name and the member names as written.
    std::vector<std::pair<std::string, std::vector<std::string>>> variableSets;
    std::string productInfo;     // subtype 10
    int release[3] = {0, 1, 0};  // subtype 3: major, minor, revision
    int machineCode = -1;        // subtype 3
};

// The bytes of the whole file.
std::string Build(const File& f);

// Writes Build(f) to path (creates or truncates); returns path.
std::string WriteFile(const File& f, const std::string& path);

// A fresh temporary directory for one test (removed by the caller or left in /tmp).
std::string TempDir();

// Offsets of the record boundaries in Build(f) (the start of each record and
// the start of the case data), to truncate a file at every boundary.
std::vector<size_t> RecordBoundaries(const File& f);

// Where the parts of Build(f) are, for patching bytes in broken-file tests.
struct Layout {
    size_t size = 0;                      // total bytes
    std::vector<size_t> variableRecords;  // each type 2 record, continuations included
    std::vector<size_t> extensions;       // each type 7 record
    std::vector<int> extensionSubtypes;   // subtype of each, same order
    size_t terminator = 0;                // the 999 record
    size_t data = 0;                      // first byte after the 999 record
    // Zlib files only: the zheader is at `data`.
    size_t ztrailer = 0;
    std::vector<size_t> zblocks;         // file offset of each compressed block
    std::vector<size_t> zblockSizes;     // compressed bytes of each
    std::vector<size_t> zblockRawSizes;  // uncompressed bytes of each
};
Layout Describe(const File& f);

// The bytecode stream of the cases (what zlib blocks inflate to).
std::string BytecodeStream(const File& f);

// Overwrite bytes at an offset in the given byte order (for broken files).
void PutInt32(std::string& bytes, size_t offset, int32_t value, Endian endian);
void PutInt64(std::string& bytes, size_t offset, int64_t value, Endian endian);
void PutDouble(std::string& bytes, size_t offset, double value, Endian endian);
int32_t GetInt32(const std::string& bytes, size_t offset, Endian endian);
int64_t GetInt64(const std::string& bytes, size_t offset, Endian endian);
double GetDouble(const std::string& bytes, size_t offset, Endian endian);

// The number of 8-byte slots a variable of this width takes (very long
// strings split into segments included).
int SlotsOf(int width);

// A small but complete file: numeric, string, date variables, labels,
// missing values of each kind, a few cases. Handy as a base to modify.
File SampleFile();

}  // namespace fixture
