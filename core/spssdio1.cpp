#include "core/spssdio1.h"

#include <algorithm>
#include <cstring>

#include "core/dialogs.h"
#include "core/spssfio.h"

namespace spssdio1 {

void EnsureVarCapacity(int count) {
    const size_t wanted = static_cast<size_t>(std::max(count, kMinVarSlots));
    if (VarNames.size() >= wanted) return;
    VarNames.resize(wanted, VarNameSlot{});
    VarTypes.resize(wanted, 0);
    PrintFormatTypes.resize(wanted, 0);
    DisplayFormats.resize(wanted);
    ColumnWidths.resize(wanted, 0);
    VarHandles.resize(wanted, 0.0);
}

std::string_view SlotText(const VarNameSlot& slot) {
    const void* nul = std::memchr(slot.data(), 0, slot.size());
    const size_t n = nul ? static_cast<const char*>(nul) - slot.data() : slot.size();
    return std::string_view(slot.data(), n);
}

bool IsDateFormat(int t) {
    return t == SPSS_FMT_DATE || t == SPSS_FMT_ADATE || t == SPSS_FMT_JDATE ||
           t == SPSS_FMT_SDATE || t == SPSS_FMT_EDATE;
}

std::string StatusName(int code) {
    switch (code) {
        case 0: return "SPSS_OK";
        case 1: return "SPSS_FILE_OERROR";
        case 2: return "SPSS_FILE_WERROR";
        case 3: return "SPSS_FILE_RERROR";
        case 4: return "SPSS_FITAB_FULL";
        case 5: return "SPSS_INVALID_HANDLE";
        case 6: return "SPSS_INVALID_FILE";
        case 7: return "SPSS_NO_MEMORY";
        case 8: return "SPSS_OPEN_RDMODE";
        case 9: return "SPSS_OPEN_WRMODE";
        case 10: return "SPSS_INVALID_VARNAME";
        case 11: return "SPSS_DICT_EMPTY";
        case 12: return "SPSS_VAR_NOTFOUND";
        case 13: return "SPSS_DUP_VAR";
        case 14: return "SPSS_NUME_EXP";
        case 15: return "SPSS_STR_EXP";
        case 16: return "SPSS_SHORTSTR_EXP";
        case 17: return "SPSS_INVALID_VARTYPE";
        case 18: return "SPSS_INVALID_MISSFOR";
        case 19: return "SPSS_INVALID_COMPSW";
        case 20: return "SPSS_INVALID_PRFOR";
        case 21: return "SPSS_INVALID_WRFOR";
        case 22: return "SPSS_INVALID_DATE";
        case 23: return "SPSS_INVALID_TIME";
        case 24: return "SPSS_NO_VARIABLES";
        case 27: return "SPSS_DUP_VALUE";
        case 28: return "SPSS_INVALID_CASEWGT";
        case 30: return "SPSS_DICT_COMMIT";
        case 31: return "SPSS_DICT_NOTCOMMIT";
        case 33: return "SPSS_NO_TYPE2";
        case 41: return "SPSS_NO_TYPE73";
        case 45: return "SPSS_INVALID_DATEINFO";
        case 46: return "SPSS_NO_TYPE999";
        case 47: return "SPSS_EXC_STRVALUE";
        case 48: return "SPSS_CANNOT_FREE";
        case 49: return "SPSS_BUFFER_SHORT";
        case 50: return "SPSS_INVALID_CASE";
        case 51: return "SPSS_INTERNAL_VLABS";
        case 52: return "SPSS_INCOMPAT_APPEND";
        case 53: return "SPSS_INTERNAL_D_A";
        case -1: return "warning:SPSS_EXC_LEN64";
        case -2: return "warning:SPSS_EXC_VARLABEL";
        case -4: return "warning:SPSS_EXC_VALLABEL";
        case -5: return "warning:SPSS_FILE_END";
        case -6: return "warning:SPSS_NO_VARSETS";
        case -7: return "warning:SPSS_EMPTY_VARSETS";
        case -8: return "warning:SPSS_NO_LABELS";
        case -9: return "warning:SPSS_NO_LABEL";
        case -10: return "warning:SPSS_NO_CASEWGT";
        case -11: return "warning:SPSS_NO_DATEINFO";
        default: return std::string();
    }
}

void OpenDataFile() {
    if (DataFileName.empty()) return;
    LastStatus = spssOpenRead(DataFileName.c_str(), &FileHandle);
    if (LastStatus != 0) lv::CurrentDialogs().ShowMessage("file access失敗");
}

void ResetSharedState() {
    FileHandle = LastStatus = VarCount = CaseCount = CompressionFlag = 0;
    FormatDecimals = FormatWidth = SelectedVarIndex = 0;
    NumericValue = SysmisValue = 0.0;
    DataFileName.clear();
    CurrentVarName.clear();
    ReturnTarget.clear();
    std::memset(IdStringBuffer, 0, sizeof IdStringBuffer);
    std::memset(WeightVarName, 0, sizeof WeightVarName);
    std::memset(VarLabelBuffer, 0, sizeof VarLabelBuffer);
    std::memset(StringValueBuffer, 0, sizeof StringValueBuffer);
    VarNames.assign(kMinVarSlots, VarNameSlot{});
    VarTypes.assign(kMinVarSlots, 0);
    PrintFormatTypes.assign(kMinVarSlots, 0);
    DisplayFormats.assign(kMinVarSlots, std::string());
    ColumnWidths.assign(kMinVarSlots, 0);
    VarHandles.assign(kMinVarSlots, 0.0);
}

}  // namespace spssdio1
