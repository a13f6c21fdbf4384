// The program's one shared working state: the chosen file, the status of the
// most recent library call, the counts and the per-variable arrays that the
// windows fill and read, and the routines every window shares.
//
// The per-variable arrays grow to the file's variable count and never shrink
// (at least kMinVarSlots entries), so a file with any number of variables is
// shown whole and nothing is ever written past an array.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "savio/spssfio.h"

namespace spssdio1 {

// Library out-buffers sizes.
inline constexpr int kIdStringSize = SPSS_ID_STRING_SIZE;
inline constexpr int kWeightVarNameSize = SPSS_WEIGHT_NAME_SIZE;
inline constexpr int kVarLabelBufferSize = SPSS_VAR_LABEL_SIZE;
inline constexpr int kVarLabelMaxBytes = 122;  // readers take at most this much
inline constexpr int kVarNameSlotSize = SPSS_VAR_NAME_SIZE;
// The longest string value the format allows (32767 bytes) plus its NUL.
inline constexpr int kStringValueBufferSize = 32768;
inline constexpr int kMinVarSlots = 601;

using VarNameSlot = std::array<char, kVarNameSlotSize>;

// Scalars.
inline int FileHandle = 0;
inline int LastStatus = 0;
inline std::string DataFileName;
inline int VarCount = 0;
inline int CaseCount = 0;
inline int CompressionFlag = 0;
inline int FormatDecimals = 0;
inline int FormatWidth = 0;
inline double NumericValue = 0.0;
inline double SysmisValue = 0.0;
inline int SelectedVarIndex = 0;
inline std::string CurrentVarName;
inline std::string ReturnTarget;

// Buffers.
inline char IdStringBuffer[kIdStringSize] = {};
inline char WeightVarName[kWeightVarNameSize] = {};
inline char VarLabelBuffer[kVarLabelBufferSize] = {};
inline char StringValueBuffer[kStringValueBufferSize] = {};

// Per-variable arrays, indexed by the 0-based dictionary index.
inline std::vector<VarNameSlot> VarNames(kMinVarSlots, VarNameSlot{});
inline std::vector<int> VarTypes(kMinVarSlots, 0);
inline std::vector<int> PrintFormatTypes(kMinVarSlots, 0);
inline std::vector<std::string> DisplayFormats(kMinVarSlots);
inline std::vector<int> ColumnWidths(kMinVarSlots, 0);
inline std::vector<double> VarHandles(kMinVarSlots, 0.0);

// Grows every per-variable array to at least count entries (never shrinks);
// entries already there keep what an earlier file left in them.
void EnsureVarCapacity(int count);

// The text of a name slot up to its first NUL (at most the slot's size).
std::string_view SlotText(const VarNameSlot& slot);

// The symbolic name of a library status code, "warning:" prefixed for
// warnings; an empty text for codes without a name.
std::string StatusName(int code);

// Opens DataFileName into FileHandle (nothing when it is empty); reports a
// failure with the message "file access失敗" through the dialog seam.
void OpenDataFile();

// Puts the whole state back to its start (for tests).
void ResetSharedState();

}  // namespace spssdio1
