#include "savio/case_indexer.h"

#include <algorithm>

#include "case_source.h"
#include "open_files.h"
#include "random_reads.h"

namespace savio {
namespace {

class StreamIndexer final : public CaseIndexer {
  public:
    StreamIndexer(const SavFile& f, int shift, int64_t cases)
        : reads_(f.reads()),
          layout_(f.layout()),
          expected_(std::max<int64_t>(cases < 0 ? f.readLimit() : cases, 0)),
          limit_(std::min(expected_, std::max<int64_t>(f.readLimit(), 0))) {
        index_.shape = f.shape();
        index_.values = f.valueSlots();
        index_.blocks = layout_.blocks;
        index_.checkpointShift = shift >= 0 && shift < 63 ? shift : f.checkpointShift();
        if (const FileIdentity* id = f.fileIdentity()) index_.identity = *id;
        // Passing over cases costs little beside inflating a .zsav's blocks:
        // a second thread inflating ahead would save little of the whole
        // while it competes with the window's thread and holds one more block.
        source_ = MakeCaseSource(index_.shape, layout_, reads_, false);
    }

    Status Read(int64_t n) override {
        if (done_) return last_;
        if (index_.shape.slotCount() == 0) return Finish(Status::End);
        if (index_.shape.compression == Compression::None) return ReadUncompressed();
        const int64_t mask = (int64_t{1} << index_.checkpointShift) - 1;
        for (int64_t i = 0; i < n && index_.cases < limit_; ++i) {
            const bool mark = (index_.cases & mask) == 0;
            const StreamPosition at = mark ? source_->Position() : StreamPosition{};
            if (source_->Skip() != CaseSource::Result::Case) return Fail();
            if (mark) index_.checkpoints.push_back(PackPosition(at));
            ++index_.cases;
        }
        if (index_.cases < limit_) return Status::More;
        return Finish(index_.cases < expected_ ? Status::Damaged : Status::End);
    }

    const CaseIndex& index() const override { return index_; }
    int64_t expected() const override { return expected_; }

  private:
    // Uncompressed cases need no positions: what the data holds is known
    // from its size, and the cases are all there once the file is still the
    // one opened.
    Status ReadUncompressed() {
        if (!reads_->Unchanged()) return Finish(Status::Changed);
        index_.cases = std::min<int64_t>(limit_, static_cast<int64_t>(layout_.maxCases));
        return Finish(index_.cases < expected_ ? Status::Damaged : Status::End);
    }

    Status Fail() { return Finish(reads_->Unchanged() ? Status::Damaged : Status::Changed); }

    Status Finish(Status s) {
        done_ = true;
        last_ = s;
        source_.reset();
        return s;
    }

    std::shared_ptr<RandomReads> reads_;
    DataLayout layout_;  // the decoder reads its blocks
    int64_t expected_;
    int64_t limit_;  // the cases reading asks the data for
    CaseIndex index_;
    std::unique_ptr<CaseSource> source_;
    bool done_ = false;
    Status last_ = Status::More;
};

}  // namespace

std::unique_ptr<CaseIndexer> CaseIndexer::Of(int handle, int checkpointShift, int64_t cases) {
    const SavFile* f = FindOpenFile(handle);
    if (!f) return nullptr;
    return std::make_unique<StreamIndexer>(*f, checkpointShift, cases);
}

}  // namespace savio
