#include "core/state/spssdio1.h"

#include <algorithm>
#include <cstring>

#include "core/state/dialogs.h"
#include "savio/spssfio.h"

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

std::string StatusName(int code) {
    // Built from the boundary's one list of codes and names.
#define LV_STATUS_NAME_CASE(name, value) \
    case value:                          \
        return (value) < 0 ? "warning:" #name : #name;
    switch (code) {
        SPSS_STATUS_CODES(LV_STATUS_NAME_CASE)
        default:
            return std::string();
    }
#undef LV_STATUS_NAME_CASE
}

void OpenDataFile() {
    if (DataFileName.empty()) return;
    LastStatus = spssOpenRead(DataFileName.c_str(), &FileHandle);
    if (LastStatus != 0) lv::CurrentDialogs().Tell(lv::Message{lv::MessageCode::FileAccessFailed});
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
