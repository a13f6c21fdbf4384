// The one pass over the cases of an open data file: the values of chosen
// variables of chosen cases, read a block of cases at a time from the
// reader's decoded rows, with each case's weight when asked. The grid load,
// the statistics, the selection of a file's cases and the conversion all
// read their cases through it. The file is read from its first case, also
// when an earlier pass read it (one open file serves several passes), and
// is left open.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/cases/case_values.h"
#include "core/cases/derived_columns.h"
#include "core/dictionary/reader_handle.h"
#include "core/dictionary/variable_facts.h"
#include "core/state/message.h"
#include "core/state/progress.h"

namespace lv {

// Whether value is system-missing in a file whose system-missing value is
// sysmis: that value, or not a number at all.
inline bool IsSystemMissing(double value, double sysmis) {
    return std::isnan(value) || value == sysmis;
}

// Chooses which of the cases a pass reads it hands over, a block at a time,
// by their values (a condition's selection).
class CaseChooser {
  public:
    virtual ~CaseChooser() = default;
    // The variables it looks at: the file's (or computed ones).
    virtual const std::vector<int>& variables() const = 0;
    // Sets rows to the rows of values it keeps, ascending. Its variables are
    // values' columns (one per variable, in their order); the rows are cases
    // from firstCase on (consecutive when the pass reads every case); sysmis
    // is the file's system-missing value. False when it cannot choose: the
    // pass fails.
    virtual bool Choose(const CaseValues& values, std::span<const size_t> columns,
                        int64_t firstCase, double sysmis, std::vector<uint32_t>& rows) = 0;
};

// What a pass reads.
struct CasesWanted {
    // Indices of the file's variables: the block's columns, in this order
    // (a variable may be asked for twice).
    std::vector<int> variables;
    // The cases handed over: 0-based, ascending (a selection's); null for
    // every case. Only their values are decoded.
    const std::vector<uint32_t>* cases = nullptr;
    // A numeric variable to weigh the cases by, and its user-missing values;
    // -1 unweighted. A case whose weight is system- or user-missing, zero or
    // negative is left out and counted.
    int weight = -1;
    MissingValues weightMissing;
    // Reads no case after the first lastCase; -1 reads to the end.
    int64_t lastCase = -1;
    // Hands over no case before this one (0-based), passing over those
    // before it without their values (savio::SkipCases: uncompressed data is
    // not even read). Honoured only for a plain pass (no cases, weight,
    // chooser or computed variables: those need every case); else 0.
    int64_t firstCase = 0;
    // Cases read between two steps of progress; 0 for a few thousand,
    // fewer when the values read are wide.
    uint32_t blockCases = 0;
    // The computed variables the variables may name (indices from the
    // file's variable count on); null takes the open file's
    // (ReaderHandle::derived()).
    std::shared_ptr<const DerivedColumns> derived;
    // Hands over only the cases it chooses, of those the cases and the
    // weight leave (with neither: every case, in file order). The values of
    // the others are not decoded, unless a computed variable is read.
    CaseChooser* chooser = nullptr;
};

class CaseStream {
  public:
    enum class End { Reading, Complete, Cancelled, Failed };

    // The cases of the open file behind handle, as wanted. progress hears of
    // the cases read before each block (of the file's case count) and may
    // stop the pass.
    CaseStream(int handle, CasesWanted wanted, Progress* progress = nullptr);
    // The same for file, with its computed variables unless wanted names others.
    CaseStream(const ReaderHandle& file, CasesWanted wanted, Progress* progress = nullptr);

    // Reads the next block of cases. True when a block was read: its rows
    // (there may be none, when no case of it was wanted) are to be taken
    // before the next call. False once the pass has ended; end() says how.
    // A block that ends in a failure is still handed over first.
    bool Next();

    // The block read: the values of the wanted variables, one row per case
    // handed over, strings without their trailing blanks (columns after the
    // wanted ones hold what computed variables are made from).
    const CaseValues& values() const { return values_; }
    int64_t rows() const { return values_.rows(); }
    // The 0-based case number of a row, and the weight of each row (empty
    // when the pass is unweighted).
    int64_t CaseNumber(int64_t row) const {
        return numbered_ ? caseNumbers_[size_t(row)] : blockFirst_ + row;
    }
    std::span<const double> weights() const { return weights_; }
    // Whether the number at row of column c is system-missing in this file
    // (its own system-missing value, or not a number).
    bool Sysmis(int64_t row, size_t c) const {
        return IsSystemMissing(values_.Number(row, c), sysmis_);
    }
    // The file's system-missing value (its float record's, else the reader's).
    double sysmis() const { return sysmis_; }

    End end() const { return end_; }
    // Every case read, wanted or not.
    int64_t casesRead() const { return casesRead_; }
    // Weighted: the wanted cases left out for their weight.
    int64_t casesWithoutWeight() const { return casesWithoutWeight_; }
    // Failed: the reader's status (SPSS_FILE_RERROR for damaged or cut-short
    // data, SPSS_VAR_NOTFOUND for a variable the file does not have, or
    // SPSS_INVALID_HANDLE), after casesRead() cases, and the same as a message.
    int failureStatus() const { return failureStatus_; }
    Message failure() const;

    // Leaves the open file standing after its first `cases` cases, as a pass
    // that read no further would (the stream reads a block ahead: a caller
    // that ends inside a block and hands the file's case index on says
    // where it ended). The pass is over. False when they cannot be read.
    bool StandAfter(int64_t cases);

  private:
    void Fail(int status);
    // Plans the columns of the computed variables wanted and of what they
    // are made from; false for a variable there is not.
    void FillDerived();
    // Passes over the cases before wanted_.firstCase; false when the data
    // ended or failed there (end_ says which).
    bool PassToFirst();
    bool Choose();

    int handle_;
    CasesWanted wanted_;
    Progress* progress_;
    CaseValues values_;
    // Numbered only when some cases of a block are left out; else the
    // block's rows are the cases from blockFirst_ on.
    bool numbered_ = false;
    int64_t blockFirst_ = 0;
    std::vector<int64_t> caseNumbers_;
    std::vector<double> weights_;
    savio::ValueSlots weightSlots_;
    bool swap_ = false;
    double sysmis_ = 0;
    uint64_t total_ = 0;
    uint32_t blockCases_ = 0;
    size_t nextWanted_ = 0;  // into wanted_.cases
    End end_ = End::Reading;
    int64_t casesRead_ = 0;
    int64_t casesWithoutWeight_ = 0;
    int failureStatus_ = 0;
    // The computed variables, in the order they are made. With
    // plan_.everyCase every case is read into the block (and those not
    // wanted dropped once the computed variables are made): some computed
    // variable reads earlier cases or the case's number.
    DerivedPlan plan_;
    std::vector<bool> keep_;
    // A chooser without computed variables: its variables are read into
    // choosing_ for each case, the case's slots kept in pending_ (rowBytes_
    // each), and only the chosen ones decoded into the block. With computed
    // variables every case goes into the block, its variables in columns
    // chooserColumns_, and the rows not chosen are dropped.
    bool early_ = false;
    std::vector<size_t> chooserColumns_;
    CaseValues choosing_;
    std::vector<uint8_t> pending_;
    size_t rowBytes_ = 0;
    std::vector<uint32_t> chosen_;
};

}  // namespace lv
