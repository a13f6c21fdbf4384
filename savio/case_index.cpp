#include "savio/case_index.h"

#include "open_files.h"
#include "var_handles.h"

namespace savio {

size_t CaseIndex::bytes() const {
    return sizeof(*this) + shape.slotIsString.capacity() + values.capacity() * sizeof(ValueSlots) +
           blocks.capacity() * sizeof(ZlibBlock) + checkpoints.capacity() * sizeof(uint64_t);
}

int CheckpointShiftFor(size_t slotCount) {
    constexpr size_t kSlotsBetween = size_t{1} << 17;
    int shift = 10;
    while (shift > 0 && (slotCount << shift) > kSlotsBetween) --shift;
    return shift;
}

bool GetCaseIndex(int handle, CaseIndex* out) {
    const SavFile* f = FindOpenFile(handle);
    if (!f) return false;
    out->shape = f->shape();
    out->values = f->valueSlots();
    out->blocks = f->layout().blocks;
    out->checkpointShift = f->checkpointShift();
    out->checkpoints = f->checkpoints();
    out->cases = f->casesRead();
    out->identity.reset();
    if (const FileIdentity* id = f->fileIdentity()) out->identity = *id;
    return true;
}

int VariableIndexOfHandle(int handle, double varHandle) {
    const SavFile* f = FindOpenFile(handle);
    return f ? VariableIndexOf(*f, varHandle) : -1;
}

const uint8_t* CurrentCaseRow(int handle) {
    const SavFile* f = FindOpenFile(handle);
    return f ? f->row() : nullptr;
}

bool RestartCases(int handle) {
    SavFile* f = FindOpenFile(handle);
    if (!f) return false;
    f->RestartCases();
    return true;
}

int64_t SkipCases(int handle, int64_t n) {
    SavFile* f = FindOpenFile(handle);
    return f ? f->SkipCases(n) : 0;
}

bool SetCheckpointShift(int handle, int shift) {
    SavFile* f = FindOpenFile(handle);
    if (!f) return false;
    f->SetCheckpointShift(shift);
    return true;
}

}  // namespace savio
