#include "core/cases/case_stream.h"

#include <algorithm>

#include "savio/case_index.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

// What a block may hold of the values read, and of cases.
constexpr size_t kBlockBytes = 4u << 20;
constexpr uint32_t kBlockCases = 4096;

}  // namespace

CaseStream::CaseStream(int handle, CasesWanted wanted, Progress* progress)
    : handle_(handle), wanted_(std::move(wanted)), progress_(progress) {
    savio::CaseIndex index;
    if (!savio::RestartCases(handle_) || !savio::GetCaseIndex(handle_, &index)) {
        Fail(SPSS_INVALID_HANDLE);
        return;
    }
    const int variables = static_cast<int>(index.values.size());
    std::vector<int> columns = wanted_.variables;
    const size_t wantedColumns = columns.size();
    if (wanted_.chooser)
        // A variable read already is looked at in its column: a computed
        // one is filled in one column only.
        for (const int v : wanted_.chooser->variables()) {
            const auto at = std::find(columns.begin(), columns.end(), v);
            chooserColumns_.push_back(size_t(at - columns.begin()));
            if (at == columns.end()) columns.push_back(v);
        }
    if (!lv::PlanDerived(wanted_.derived.get(), variables, columns, plan_)) {
        Fail(SPSS_VAR_NOTFOUND);
        return;
    }
    size_t caseBytes = 0;
    for (const int v : columns) {
        if (v < 0 || v >= variables) {
            caseBytes += sizeof(double);
            continue;
        }
        const savio::ValueSlots& where = index.values[static_cast<size_t>(v)];
        caseBytes += where.isString() ? static_cast<size_t>(where.width) : sizeof(double);
    }
    if (wanted_.weight >= 0) {
        if (wanted_.weight >= variables || index.values[size_t(wanted_.weight)].isString()) {
            Fail(SPSS_VAR_NOTFOUND);
            return;
        }
        weightSlots_ = index.values[size_t(wanted_.weight)];
    }
    blockCases_ = wanted_.blockCases;
    if (blockCases_ == 0)
        blockCases_ = static_cast<uint32_t>(
            std::clamp<size_t>(caseBytes ? kBlockBytes / caseBytes : kBlockCases, 1, kBlockCases));
    double highest = 0, lowest = 0;
    if (spssGetFloatInfo(handle_, &sysmis_, &highest, &lowest) != 0) sysmis_ = spssSysmisVal();
    int cases = 0;
    if (spssGetNumberofCases(handle_, &cases) == 0 && cases > 0) total_ = uint64_t(cases);
    swap_ = index.shape.swap;
    early_ = wanted_.chooser && plan_.steps.empty();
    if (early_) {
        // The block holds the wanted variables only; the chooser's are read
        // for every case on their own, and each case's slots wait for its choice.
        columns.resize(wantedColumns);
        choosing_ = CaseValues(index, wanted_.chooser->variables(), plan_.widths);
        for (size_t k = 0; k < chooserColumns_.size(); ++k) chooserColumns_[k] = k;
        rowBytes_ = columns.empty() ? 0 : index.shape.slotCount() * 8;
        if (rowBytes_)
            blockCases_ = std::clamp<uint32_t>(
                uint32_t(std::min<size_t>(kBlockBytes / rowBytes_, blockCases_)), 1, blockCases_);
    }
    values_ = CaseValues(index, columns, plan_.widths);
}

CaseStream::CaseStream(const ReaderHandle& file, CasesWanted wanted, Progress* progress)
    : CaseStream(
          file.get(),
          [&] {
              if (!wanted.derived) wanted.derived = file.derived();
              return std::move(wanted);
          }(),
          progress) {}

void CaseStream::FillDerived() {
    plan_.Fill(*wanted_.derived, values_, blockFirst_, sysmis_);
    if (plan_.everyCase &&
        static_cast<int64_t>(keep_.size()) != std::count(keep_.begin(), keep_.end(), true))
        values_.KeepRows(keep_);
}

bool CaseStream::Choose() {
    CaseValues& looked = early_ ? choosing_ : values_;
    const int64_t firstCase = caseNumbers_.empty() ? blockFirst_ : caseNumbers_.front();
    if (!wanted_.chooser->Choose(looked, chooserColumns_, firstCase, sysmis_, chosen_))
        return false;
    size_t kept = 0;
    for (const uint32_t r : chosen_) {
        if (early_) values_.AppendSlots(pending_.data() + size_t(r) * rowBytes_);
        caseNumbers_[kept] = caseNumbers_[r];
        if (!weights_.empty()) weights_[kept] = weights_[r];
        ++kept;
    }
    caseNumbers_.resize(kept);
    if (!weights_.empty()) weights_.resize(kept);
    if (early_) {
        choosing_.Clear();
        pending_.clear();
    } else if (int64_t(kept) != values_.rows()) {
        std::vector<bool> keep(size_t(values_.rows()), false);
        for (const uint32_t r : chosen_) keep[r] = true;
        values_.KeepRows(keep);
    }
    return true;
}

void CaseStream::Fail(int status) {
    end_ = End::Failed;
    failureStatus_ = status;
}

Message CaseStream::failure() const {
    switch (failureStatus_) {
        case 0:
            return {};
        case SPSS_VAR_NOTFOUND:
            return Message{MessageCode::PassNoVariable};
        case SPSS_INVALID_HANDLE:
            return Message{MessageCode::PassCannotOpen, {}, {failureStatus_}};
        default:
            return Message{MessageCode::PassDataDamaged, {}, {casesRead_}};
    }
}

bool CaseStream::PassToFirst() {
    const bool plain =
        !wanted_.cases && wanted_.weight < 0 && !wanted_.chooser && plan_.steps.empty();
    if (!plain) return true;
    int64_t first = wanted_.firstCase;
    if (wanted_.lastCase >= 0) first = std::min(first, wanted_.lastCase);
    // Passed over without their values, a block at a time between steps of
    // progress (compressed cases by their command bytes); what is left after
    // data that ends or is damaged is read, and fails, as below.
    while (casesRead_ < first) {
        const int64_t passed =
            savio::SkipCases(handle_, std::min<int64_t>(first - casesRead_, blockCases_));
        if (passed == 0) break;
        casesRead_ += passed;
        if (!Continue(progress_, static_cast<uint64_t>(casesRead_), total_)) {
            end_ = End::Cancelled;
            return false;
        }
    }
    for (uint32_t passed = 0; casesRead_ < first; ++casesRead_) {
        const int status = spssReadCaseRecord(handle_);
        if (status == SPSS_FILE_END) {
            end_ = End::Complete;
            return false;
        }
        if (status != 0) {
            Fail(status);
            return false;
        }
        if (++passed == blockCases_) {
            passed = 0;
            if (!Continue(progress_, static_cast<uint64_t>(casesRead_), total_)) {
                end_ = End::Cancelled;
                return false;
            }
        }
    }
    return true;
}

bool CaseStream::StandAfter(int64_t cases) {
    end_ = End::Complete;
    if (cases == casesRead_) return true;
    if (!savio::RestartCases(handle_)) return false;
    for (casesRead_ = 0; casesRead_ < cases; ++casesRead_)
        if (spssReadCaseRecord(handle_) != 0) return false;
    return true;
}

bool CaseStream::Next() {
    values_.Clear();
    caseNumbers_.clear();
    weights_.clear();
    keep_.clear();
    if (end_ != End::Reading) return false;
    if (!Continue(progress_, static_cast<uint64_t>(casesRead_), total_)) {
        end_ = End::Cancelled;
        return false;
    }
    const std::vector<uint32_t>* wanted = wanted_.cases;
    numbered_ = wanted || wanted_.weight >= 0 || wanted_.chooser;
    if (casesRead_ < wanted_.firstCase && !PassToFirst()) return true;
    blockFirst_ = casesRead_;
    for (uint32_t read = 0; read < blockCases_; ++read) {
        if (wanted_.lastCase >= 0 && casesRead_ >= wanted_.lastCase) {
            end_ = End::Complete;
            break;
        }
        const int status = spssReadCaseRecord(handle_);
        if (status == SPSS_FILE_END) {
            end_ = End::Complete;
            break;
        }
        const uint8_t* row = status == 0 ? savio::CurrentCaseRow(handle_) : nullptr;
        if (!row) {
            Fail(status ? status : SPSS_FILE_RERROR);
            break;
        }
        const int64_t here = casesRead_++;
        bool keep = true;
        if (wanted) {
            // Both ascend: step to the first wanted case at or after this one.
            while (nextWanted_ < wanted->size() && (*wanted)[nextWanted_] < here) ++nextWanted_;
            keep = nextWanted_ < wanted->size() && (*wanted)[nextWanted_] == here;
        }
        if (keep && wanted_.weight >= 0) {
            const double weight = savio::SlotNumber(row, weightSlots_, swap_);
            if (IsSystemMissing(weight, sysmis_) || wanted_.weightMissing.Holds(weight) ||
                !(weight > 0)) {
                ++casesWithoutWeight_;
                keep = false;
            } else {
                weights_.push_back(weight);
            }
        }
        if (!keep && !plan_.everyCase) continue;
        if (early_) {
            choosing_.AppendSlots(row);
            if (rowBytes_) pending_.insert(pending_.end(), row, row + rowBytes_);
            caseNumbers_.push_back(here);
            continue;
        }
        values_.AppendSlots(row);
        if (plan_.everyCase) keep_.push_back(keep);
        if (keep && numbered_) caseNumbers_.push_back(here);
    }
    if (!plan_.steps.empty()) FillDerived();
    if (wanted_.chooser && !caseNumbers_.empty() && !Choose()) {
        values_.Clear();
        caseNumbers_.clear();
        weights_.clear();
        Fail(SPSS_FILE_RERROR);
    }
    return true;
}

}  // namespace lv
