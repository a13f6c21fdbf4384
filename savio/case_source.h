// Decodes the cases of a file, one at a time, into a row of 8-byte slots in
// the file's byte order, reading the file's bytes a run at a time through
// RandomReads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dictionary.h"
#include "random_reads.h"
#include "savio/case_layout.h"
#include "zlib_blocks.h"

namespace savio {

CaseShape ShapeOf(const Dictionary& dict);

class CaseSource {
  public:
    enum class Result { Case, End, Damaged };
    virtual ~CaseSource() = default;
    // The next case: row then points at slotCount * 8 bytes that stay valid
    // until the next call. End = no more data; Damaged = the data stops
    // inside a case or cannot be decoded. Both are final.
    virtual Result Next(const uint8_t** row) = 0;
    // Passes over the next case as Next would, with the same result and the
    // same Position() after it, without producing its row (what counting and
    // indexing the cases need). Skip and Next may follow each other freely.
    virtual Result Skip() {
        const uint8_t* row = nullptr;
        return Next(&row);
    }
    // Where the next case starts (uncompressed: its file offset).
    virtual StreamPosition Position() const = 0;
};

// The data layout of a file, checked once when the file opens.
struct DataLayout {
    uint64_t size = 0;  // of the whole file
    // An upper bound of the cases the data can hold (for a header count that
    // claims more than the file could possibly hold).
    uint64_t maxCases = 0;
    std::vector<ZlibBlock> blocks;  // .zsav only
};

// Checks the data part of a file (for .zsav the zlib header, trailer and
// block table). Returns 0 or SPSS_INVALID_FILE.
int CheckDataLayout(const Dictionary& dict, RandomReads& file, DataLayout* out);

// A decoder positioned at the first case, reading through reads. layout
// must outlive it. A failed read ends the cases as Damaged. inflateAhead
// (.zsav): inflate the next block on a second thread while one is decoded.
std::unique_ptr<CaseSource> MakeCaseSource(const CaseShape& shape, const DataLayout& layout,
                                           std::shared_ptr<RandomReads> reads,
                                           bool inflateAhead = true);

// A decoder of uncompressed cases of caseBytes each, the first at offset.
std::unique_ptr<CaseSource> UncompressedCasesAt(std::shared_ptr<RandomReads> reads, uint64_t offset,
                                                size_t caseBytes);

// A decoder of a compressed file (bytecode or zlib) positioned at `at`, a
// Position() of an earlier decoder of the same bytes, reading through
// reads. blocks (.zsav) must outlive it, and so must kept: an inflated
// block shared with earlier and later decoders of the same file, or null.
// runBytes: how much to read at a time (.sav). nullptr when the bytes there
// cannot be decoded.
std::unique_ptr<CaseSource> ResumeCaseSource(const CaseShape& shape,
                                             const std::vector<ZlibBlock>& blocks,
                                             std::shared_ptr<RandomReads> reads, StreamPosition at,
                                             size_t runBytes, InflatedBlock* kept = nullptr);

}  // namespace savio
