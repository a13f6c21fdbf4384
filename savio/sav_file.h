// One open system file: where its bytes are read from, its dictionary, and
// the case being read.
// Everything a file needs lives here; nothing is shared between files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "case_source.h"
#include "dictionary.h"
#include "encoding/charcut.h"
#include "file_bytes.h"
#include "name_match.h"
#include "random_reads.h"
#include "savio/byte_order.h"
#include "value_slots.h"

namespace savio {

class SavFile {
  public:
    // Reads the dictionary of bytes and settles the case count. identity is
    // what tells this file from others across opens (its path). Returns 0 or
    // a status; *out is set only on success.
    static int Open(std::shared_ptr<RandomReads> reads, std::string_view identity,
                    std::unique_ptr<SavFile>* out);

    const Dictionary& dict() const { return dict_; }
    // The cases, or -1 when even reading the data could not tell.
    int64_t caseCount() const { return caseCount_; }
    // When the data was found to end before the header's count: the cases
    // it holds; else -1.
    int64_t casesInData() const { return casesInData_; }
    // 29 bits that differ, with high probability, between different files.
    uint32_t identity() const { return identity_; }
    // The encoding of the file's texts (never empty) and how its bytes group
    // into characters.
    const std::string& encodingName() const { return encodingName_; }
    lv::CharLayout charLayout() const { return charLayout_; }

    // The variable of that short (or, failing that, long) name, or -1.
    int FindVariable(std::string_view name) const;

    // Decodes the next case: 0, SPSS_FILE_END after the last, or
    // SPSS_FILE_RERROR for damaged or truncated data.
    int ReadCase();
    int64_t casesRead() const { return casesRead_; }
    // How many cases reading asks the data for: the header's count even when
    // the data ends before it (reading past the end is then a read error).
    int64_t readLimit() const { return limit_; }
    // The current case's slots, or nullptr when there is none.
    const uint8_t* row() const { return row_; }

    // Where each variable's value lies in a case row, in dictionary order:
    // what the value calls look at, kept apart from the rest of the
    // dictionary so that a call touches a few bytes.
    const std::vector<ValueSlots>& valueSlots() const { return valueSlots_; }
    // Copies the string value at v of the current case into out (at most
    // size bytes with the NUL). Returns false when it had to be cut.
    bool CopyString(const ValueSlots& v, char* out, int size) const;
    double Number(const ValueSlots& v) const { return SlotNumber(row_, v, dict_.swap); }

    // What finding a case again needs (see case_index.h): the shape and
    // layout of the data, the file's identity when it came from disk, and for
    // compressed data the decoder's position before every
    // 2^checkpointShift()-th case read.
    const CaseShape& shape() const { return shape_; }
    const DataLayout& layout() const { return layout_; }
    const FileIdentity* fileIdentity() const { return reads_->identity(); }
    int checkpointShift() const { return checkpointShift_; }
    const std::vector<uint64_t>& checkpoints() const { return checkpoints_; }
    // Checkpoints every 2^shift cases instead (tests take them close
    // together); only before the first case is read, so that checkpoint k
    // stays the position of case k << shift.
    void SetCheckpointShift(int shift) {
        if (casesRead_ == 0 && shift >= 0 && shift < 63) checkpointShift_ = shift;
    }
    // Reads the cases again from the first, through the same bytes; the
    // checkpoints are taken again as they are read.
    void RestartCases();
    // Moves on n cases without producing their values: uncompressed data
    // is not even read (each case's place is known, no checkpoints are
    // needed), compressed cases are passed over in turn. Returns the cases
    // passed over; fewer when the data ends or is damaged, which the next
    // ReadCase then reports.
    int64_t SkipCases(int64_t n);
    // The bytes the file is read from.
    const std::shared_ptr<RandomReads>& reads() const { return reads_; }

  private:
    SavFile() = default;
    int SettleCaseCount();
    int64_t CountCases();  // what the data holds
    int64_t PassCompressed(int64_t n);

    std::shared_ptr<RandomReads> reads_;
    Dictionary dict_;
    CaseShape shape_;
    DataLayout layout_;
    std::unique_ptr<CaseSource> cases_;
    int64_t caseCount_ = 0;
    int64_t casesInData_ = -1;
    int64_t casesRead_ = 0;
    int64_t limit_ = 0;  // reading stops after this many cases
    const uint8_t* row_ = nullptr;
    bool finished_ = false;
    int checkpointShift_ = 0;
    std::vector<uint64_t> checkpoints_;
    uint32_t identity_ = 0;
    std::string encodingName_;
    lv::CharLayout charLayout_ = lv::CharLayout::Utf8;
    std::vector<ValueSlots> valueSlots_;
};

}  // namespace savio
