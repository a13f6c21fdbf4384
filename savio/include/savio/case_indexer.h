// Builds the case index of an open file (case_index.h) apart from the
// reader's table of open files: the indexer takes what it needs of the file
// once, on the thread that holds the handle, and then reads the cases in
// order through a decoder and bytes of its own, so that it can run on
// another thread while the handle is used, or closed, elsewhere.
#pragma once

#include <cstdint>
#include <memory>

#include "savio/case_index.h"

namespace savio {

class CaseIndexer {
  public:
    enum class Status {
        More,     // cases are left to read
        End,      // every case was read
        Damaged,  // the data stops inside a case or does not decode
        Changed,  // the file is not the one opened any more
    };

    // The indexer of the open file behind handle, standing before its first
    // case; checkpointShift < 0 takes the reader's own. cases: how many the
    // caller counts on (-1: the header's count); fewer in the data is
    // Damaged, as reading past the data's end is a read error. Null when
    // handle names no open file.
    static std::unique_ptr<CaseIndexer> Of(int handle, int checkpointShift = -1,
                                           int64_t cases = -1);
    virtual ~CaseIndexer() = default;

    // Reads up to n more cases, adding their checkpoints to the index.
    virtual Status Read(int64_t n) = 0;
    // The index as far as the cases were read (index().cases).
    virtual const CaseIndex& index() const = 0;
    // The cases counted on.
    virtual int64_t expected() const = 0;
};

}  // namespace savio
