// Builds SPSS system-file bytes for exact test cases: a compact description
// of a file (records as data) turned into bytes in either byte order, with
// any of the three compressions, plus hooks for deliberately broken files.
#ifndef LORIVANE_TESTS_SUPPORT_SAVFIXTURE_H
#define LORIVANE_TESTS_SUPPORT_SAVFIXTURE_H

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

// One missing-value specification. For numeric variables: up to three
// discrete values, or a range (low, high) with an optional discrete value.
// For strings: up to three discrete values (each at most 8 bytes on the
// variable record; longer strings go in the long-string missing record).
struct Missing {
    std::vector<double> discrete;                 // numeric discrete values
    std::optional<std::pair<double, double>> range;
    std::vector<std::string> strings;             // string discrete values
};

struct Variable {
    std::string name;          // short name, at most 8 bytes, in the file's encoding
    int width = 0;             // 0 = numeric, 1..32767 = string of that many bytes
    Format print{};
    Format write{};            // when left at its default, copied from print
    bool writeSet = false;
    std::optional<std::string> label;   // variable label bytes
    std::string longName;      // empty = no entry in the long-names record
    Missing missing;
};

// Value labels for one or more variables (by index into File::variables).
struct ValueLabelSet {
    std::vector<int> variables;
    std::vector<std::pair<double, std::string>> numeric;        // value, label
    std::vector<std::pair<std::string, std::string>> strings;   // value, label
};

// A cell value: a number (SYSMIS via fixture::kSysmis) or string bytes
// (padded with blanks to the variable's width by the writer).
using Value = std::variant<double, std::string>;
using Case = std::vector<Value>;

inline constexpr double kSysmis = -1.7976931348623157e308;  // -DBL_MAX

struct File {
    Endian endian = Endian::Little;
    Compression compression = Compression::Bytecode;
    std::string product = "@(#) SPSS DATA FILE Lorivane test fixture";
    std::string date = "08 Dec 26";
    std::string time = "12:34:56";
    std::string fileLabel;            // padded with blanks to 64 bytes
    int weightVariable = -1;          // index into variables, -1 = none
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
    int zlibBlockSize = 0x3FF000;        // uncompressed bytes per zlib block
    // Raw extension records appended before the 999 record: subtype, size,
    // count, data (already in the file's byte order).
    struct RawExtension {
        int subtype, size, count;
        std::string data;
    };
    std::vector<RawExtension> extraExtensions;
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

// A small but complete file: numeric, string, date variables, labels,
// missing values of each kind, a few cases. Handy as a base to modify.
File SampleFile();

}  // namespace fixture

#endif
