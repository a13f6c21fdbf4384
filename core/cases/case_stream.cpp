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
    size_t caseBytes = 0;
    for (const int v : wanted_.variables) {
        if (v < 0 || v >= variables) {
            Fail(SPSS_VAR_NOTFOUND);
            return;
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
    values_ = CaseValues(index, wanted_.variables);
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
    if (end_ != End::Reading) return false;
    if (!Continue(progress_, static_cast<uint64_t>(casesRead_), total_)) {
        end_ = End::Cancelled;
        return false;
    }
    const std::vector<uint32_t>* wanted = wanted_.cases;
    numbered_ = wanted || wanted_.weight >= 0;
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
        if (wanted) {
            // Both ascend: step to the first wanted case at or after this one.
            while (nextWanted_ < wanted->size() && (*wanted)[nextWanted_] < here) ++nextWanted_;
            if (nextWanted_ == wanted->size() || (*wanted)[nextWanted_] != here) continue;
        }
        if (wanted_.weight >= 0) {
            const double weight = savio::SlotNumber(row, weightSlots_, swap_);
            if (IsSystemMissing(weight, sysmis_) || wanted_.weightMissing.Holds(weight) ||
                !(weight > 0)) {
                ++casesWithoutWeight_;
                continue;
            }
            weights_.push_back(weight);
        }
        values_.AppendSlots(row);
        if (numbered_) caseNumbers_.push_back(here);
    }
    return true;
}

}  // namespace lv
