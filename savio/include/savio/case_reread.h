// Reads cases of a file again, on demand, through the index taken when all
// its cases were read once: from the checkpoint at or before the first case
// wanted, decoding forward. Nothing is held open between calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "savio/case_index.h"

namespace savio {

class RandomReads;  // the reader's own source of bytes

enum class RereadStatus {
    Ok,
    Stopped,  // the visitor asked to stop
    // The file is gone or is not the one indexed any more: its size,
    // modification time or inode differ (checked after every read), or its
    // bytes no longer decode. Cases visited before this was found were read
    // from the file as indexed.
    Changed,
};

// Called with each case's row number and its decoded slots (8 bytes each, in
// the file's byte order; read values with value_slots.h). The slots are
// valid during the call. Returns false to stop.
using CaseVisit = std::function<bool(int64_t row, const uint8_t* slots)>;

// Visits the cases [first, last) (cut to the cases indexed) of the file at
// path, which is opened read-only and closed again before returning. kept
// (optional, .zsav): the inflated block this read may start in and will
// leave its last block in, for a next read of the same index; only read
// once the file was found unchanged.
RereadStatus RereadCases(const std::string& path, const CaseIndex& index, int64_t first,
                         int64_t last, const CaseVisit& visit, InflatedBlock* kept = nullptr);

// True when the file at path is still the one the index was taken from
// (same size, modification time and inode); false for an index of bytes
// held in memory.
bool IndexedFileUnchanged(const std::string& path, const CaseIndex& index);

// The same over the bytes the index was taken from, as reads gives them.
RereadStatus RereadCasesFrom(std::shared_ptr<RandomReads> reads, const CaseIndex& index,
                             int64_t first, int64_t last, const CaseVisit& visit,
                             InflatedBlock* kept = nullptr);

// The bytes the open file behind handle is read from, null when handle names
// no open file. They stay readable while held, after the handle is closed
// too: re-reads through them reach the file that was opened, whatever its
// path names since; a file written to or cut short gives Changed.
std::shared_ptr<RandomReads> ReadsOfOpenFile(int handle);

// Whether those bytes are still the ones opened (see RandomReads).
bool ReadsUnchanged(const RandomReads& reads);

// The same over the bytes the index was taken from, held in memory.
RereadStatus RereadCasesInMemory(std::string_view bytes, const CaseIndex& index, int64_t first,
                                 int64_t last, const CaseVisit& visit);

}  // namespace savio
