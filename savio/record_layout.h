// The numbers of the system-file format, named as the format reference names
// them: record types, extension subtypes, the header's field offsets and the
// codes found in its fields. Print and write format type codes are part of
// the call boundary (savio/spssfio.h, SPSS_FMT_...).
#pragma once

#include <cstddef>
#include <cstdint>

namespace savio {

// The int32 that starts every record after the header.
enum RecordType : int32_t {
    kRecordVariable = 2,
    kRecordValueLabels = 3,
    kRecordLabelVariables = 4,  // only right after a value label record
    kRecordDocument = 6,
    kRecordExtension = 7,
    kRecordEndOfDictionary = 999,
};

// Subtypes of the extension records (type 7).
enum ExtensionSubtype : int32_t {
    kExtIntegerInfo = 3,
    kExtFloatInfo = 4,
    kExtVariableSets = 5,
    kExtDateInfo = 6,
    kExtMultipleResponse = 7,
    kExtProductInfo = 10,
    kExtDisplayParameters = 11,
    kExtLongNames = 13,
    kExtVeryLongStrings = 14,
    kExtCaseCount64 = 16,
    kExtFileAttributes = 17,
    kExtVariableAttributes = 18,
    kExtCountedMultipleResponse = 19,
    kExtEncoding = 20,
    kExtLongStringLabels = 21,
    kExtLongStringMissing = 22,
    kExtXml = 24,
};

// The 176-byte file header: offsets and sizes of its fields.
namespace header {
inline constexpr size_t kMagic = 0;  // "$FL2" or "$FL3"
inline constexpr size_t kMagicSize = 4;
inline constexpr size_t kProduct = 4;
inline constexpr size_t kProductSize = 60;
inline constexpr size_t kLayoutCode = 64;
inline constexpr size_t kNominalCaseSize = 68;
inline constexpr size_t kCompression = 72;
inline constexpr size_t kWeightIndex = 76;
inline constexpr size_t kCaseCount = 80;
inline constexpr size_t kBias = 84;
inline constexpr size_t kCreationDate = 92;
inline constexpr size_t kCreationDateSize = 9;
inline constexpr size_t kCreationTime = 101;
inline constexpr size_t kCreationTimeSize = 8;
inline constexpr size_t kFileLabel = 109;
inline constexpr size_t kFileLabelSize = 64;
inline constexpr size_t kSize = 176;
}  // namespace header

// The header's layout code, which also tells the byte order.
inline constexpr int32_t kUsualLayoutCode = 2;
inline constexpr int32_t kOldLayoutCode = 3;

// The header's compression field.
enum CompressionCode : int32_t {
    kCompressionNone = 0,
    kCompressionBytecode = 1,
    kCompressionZlib = 2,
};

// The 8 int32 fields of the integer info record (subtype 3), by index.
namespace integer_info {
inline constexpr int kReleaseMajor = 0;
inline constexpr int kReleaseMinor = 1;
inline constexpr int kReleaseRevision = 2;
inline constexpr int kMachineCode = 3;
inline constexpr int kFloatingPointRep = 4;  // 1 = IEEE 754
inline constexpr int kCompressionCode = 5;
inline constexpr int kEndianness = 6;  // 1 big-endian, 2 little-endian
inline constexpr int kCharacterCode = 7;
inline constexpr int kCount = 8;
inline constexpr int32_t kIeee754 = 1;
}  // namespace integer_info

// Variable records (type 2).
inline constexpr int32_t kContinuationType = -1;  // the type field of a continuation
inline constexpr size_t kShortNameSize = 8;

inline constexpr int kFloatInfoCount = 3;        // sysmis, highest, lowest (subtype 4)
inline constexpr size_t kDocumentLineSize = 80;  // each line of a document record

}  // namespace savio
