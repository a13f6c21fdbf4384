// The whole dictionary of a file as the spss... calls give it: header and
// machine details, documents, attributes, multiple-response and variable
// sets, and every variable with its formats, display parameters, role,
// attributes, value labels and missing values. The codebook, the JSON dump,
// the file-information window and lorivane-dump all start from this. Texts
// are the file's bytes; the writers decode them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/dictionary/missing_values.h"
#include "core/dictionary/reader_handle.h"
#include "core/state/progress.h"
#include "core/text/number_text.h"
#include "savio/spssfio.h"

namespace lv {

struct DictAttribute {
    std::string name;
    std::vector<std::string> values;  // an array attribute has several
};

struct DictVariable {
    int position = 0;      // 1-based dictionary position
    std::string name;      // short name
    std::string longName;  // the short name when the file has no long one
    bool hasLabel = false;
    std::string label;
    int width = 0;  // 0 numeric, else string bytes
    PrintFormat print, write;
    int measure = SPSS_MLVL_UNK;
    int columnWidth = -1;  // -1 = not recorded
    int alignment = SPSS_ALIGN_UNK;
    int role = SPSS_ROLE_INPUT;
    std::vector<DictAttribute> attributes;
    std::vector<std::pair<double, std::string>> numericLabels;
    // Values without their trailing blanks.
    std::vector<std::pair<std::string, std::string>> stringLabels;
    int missingCode = SPSS_NO_MISSVAL;  // as spssGetVarNMissingValues gives it
    double missing[3] = {0, 0, 0};
    std::string missingText[3];  // string variables: without trailing blanks
    // A computed variable's expression as typed (UTF-8), its values made as
    // the cases are read (core/compute); empty for the file's own variables.
    std::string expression;

    // What values are looked up in, made once from the fields above by
    // BuildLookups (ReadFileDictionary calls it; a variable filled by hand
    // calls it when filled): the user-missing values, and the value labels'
    // positions in value order (a label of a value that is not a number
    // left out: it could never be matched).
    MissingValues missingValues;
    std::vector<uint32_t> labelOrder;

    bool isString() const { return width > 0; }
    void BuildLookups();
    // The label of a value (a string without its trailing blanks), or null;
    // of two labels of one value, the first in the file.
    const std::string* LabelOf(double value) const;
    const std::string* LabelOf(std::string_view valueWithoutBlanks) const;
};

struct DictMultRespSet {
    std::string name;
    std::string label;  // as shown: the first variable's label when labelFromFirstVar
    bool dichotomy = false;
    std::string countedValue;
    bool countedValueLabels = false;
    bool labelFromFirstVar = false;
    std::vector<std::string> variables;  // short names
};

struct DictVarSet {
    std::string name;
    std::vector<std::string> variables;  // short names
};

struct FileDictionary {
    std::string path;
    std::string product, date, time, fileLabel;  // trimmed
    spssFileHeaderInfo header{};
    int caseCount = -1;          // as spssGetNumberofCases gives it
    std::string weightVariable;  // short name, empty for none
    bool hasReleaseInfo = false;
    int release[SPSS_RELINFO_COUNT] = {};
    bool hasFloatInfo = false;
    double sysmis = 0, highest = 0, lowest = 0;
    std::string encodingRecord;  // as written, empty when absent
    int characterCode = 0;       // of the integer info record, 0 when absent
    // The encoding to decode the texts with by default (spssGetFileEncoding):
    // the file's own, else the one its texts show.
    std::string encoding;
    std::string productInfo;
    std::vector<std::string> documents;
    std::vector<DictAttribute> attributes;
    std::vector<DictMultRespSet> mrsets;
    bool hasVariableSets = false;  // the record is present
    std::vector<DictVarSet> variableSets;
    std::vector<spssExtensionRecord> extensions;
    std::vector<std::string> warnings;
    std::vector<DictVariable> variables;
    // When the reader refused the file: why, and where in the file (-1 when
    // the fault lies at no one place).
    std::string refusal;
    long long refusalOffset = -1;
};

// Why the last spssOpenRead on this thread refused its file.
struct OpenRefusal {
    int status = 0;  // 0 when it opened the file
    std::string reason;
    long long offset = -1;
};
OpenRefusal LastOpenRefusal();

// What ReadFileDictionary returns when its progress said stop: no status
// of the reader's calls has this value.
inline constexpr int kDictionaryCancelled = -10000;

// Reads the whole dictionary of the file at path with a handle of its own
// (the program's shared state is left alone) and closes the file, also when
// an exception leaves the read. Returns 0, or the status of the open or of
// the first call that failed, or kDictionaryCancelled when progress (told of
// the variables read, a few dozen apart) said stop (out is then
// incomplete); a failed call leaves its part empty and the rest is read all
// the same, so that the grid's facts keep what the file does answer.
int ReadFileDictionary(const std::string& path, FileDictionary* out, Progress* progress = nullptr);
// The same through a file the caller holds open (and keeps open): what a
// command that reads everything through one open file starts with. path is
// the one the file was opened with.
int ReadFileDictionary(const ReaderHandle& file, FileDictionary* out, Progress* progress = nullptr);

// Groups the entries of spssGet...Attributes (Name, or Name[1], Name[2]...)
// back into attributes with their values.
std::vector<DictAttribute> GroupAttributes(
    const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace lv
