// What it takes to find any case of a file again after one read of all its
// cases: the shape of the data, where each variable's value lies, and for
// compressed files the decoder's position every 2^shift cases, taken while
// the cases were read in order. Uncompressed cases need no positions: case
// c starts at dataOffset + c * slots * 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "savio/case_layout.h"

namespace savio {

struct CaseIndex {
    CaseShape shape;
    std::vector<ValueSlots> values;  // per variable, in dictionary order
    std::vector<ZlibBlock> blocks;   // .zsav
    int checkpointShift = 0;
    // The position before case k << checkpointShift, packed (group << 3 | used).
    std::vector<uint64_t> checkpoints;
    int64_t cases = 0;  // the cases read; only these can be found again
    // The file's state when it was read; none for bytes held in memory.
    std::optional<FileIdentity> identity;

    StreamPosition Checkpoint(size_t k) const {
        return {checkpoints[k] >> 3, int(checkpoints[k] & 7)};
    }
    // Bytes held (for the caller's accounting).
    size_t bytes() const;
};

inline uint64_t PackPosition(StreamPosition p) {
    return p.group << 3 | static_cast<uint64_t>(p.used);
}

// Checkpoints come every 2^shift cases, so that the cases between two of
// them hold about a megabyte of slots: 1024 cases for narrow files, fewer
// for wide ones, so that finding a case never decodes much more than that.
int CheckpointShiftFor(size_t slotCount);

// The index of the open file behind handle as far as its cases have been
// read by spssReadCaseRecord. False when handle names no open file. The
// grid load takes it before its spssCloseRead; a C++ call rather than one
// more spss... extra, since the index is structured data that only the
// reader itself ever decodes.
bool GetCaseIndex(int handle, CaseIndex* out);

// The variable (index into CaseIndex::values) that the value calls read
// with varHandle on the open file behind handle, or -1 when none.
int VariableIndexOfHandle(int handle, double varHandle);

// The decoded slots of the case that spssReadCaseRecord last read on the
// open file behind handle (CaseShape::slotCount() slots of 8 bytes in the
// file's byte order; read values with case_layout.h), valid until the next
// read or the close; nullptr when there is none. For readers that take many
// values of every case at once.
const uint8_t* CurrentCaseRow(int handle);

// Makes the next spssReadCaseRecord on the open file behind handle read its
// first case again, through the bytes it was opened with (a file renamed or
// replaced at its path meanwhile is not read), so that one open file can be
// read more than once. The checkpoints are taken again. False when handle
// names no open file.
bool RestartCases(int handle);

// Moves the reading of the open file behind handle n cases on without
// producing their values: uncompressed cases are not read at all (every
// case has its place), compressed ones are passed over in turn (their
// checkpoints taken). Returns the cases passed over (0 when handle names no
// open file). Data that ends early is found by the next read, as if every
// case had been read.
int64_t SkipCases(int handle, int64_t n);

// Sets how often the open file behind handle keeps a checkpoint while its
// cases are read (every 2^shift cases; see CheckpointShiftFor), before its
// first case is read. False when handle names no open file.
bool SetCheckpointShift(int handle, int shift);

}  // namespace savio
