#include "core/stats/case_pass.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "core/dictionary/variable_facts.h"
#include "core/stats/stats_variable.h"
#include "core/text/trim.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

constexpr int64_t kProgressEvery = 4096;

// Closes the handle however the pass ends.
struct OpenFile {
    int handle = -1;
    ~OpenFile() {
        if (handle >= 0) spssCloseRead(handle);
    }
};

// The bytes of a string value up to its first NUL, without trailing
// blanks.
std::string_view StringValue(const char* bytes, size_t width) {
    std::string_view value = WithoutTrailingBlanks({bytes, width});
    if (const void* nul = std::memchr(value.data(), 0, value.size()))
        value = WithoutTrailingBlanks(
            value.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - value.data())));
    return value;
}

struct Column {
    double handle = 0;
    int width = 0;  // 0 numeric
    std::vector<char> buffer;
};

}  // namespace

bool IsSystemMissing(double value, double sysmis) {
    return std::isnan(value) || value == sysmis;
}

double FileSysmis(const FileDictionary& dict) {
    return dict.hasFloatInfo ? dict.sysmis : spssSysmisVal();
}

PassResult ReadCasesOnce(const FileDictionary& dict, const std::vector<int>& variables,
                         bool weighted, CaseVisitor& visitor, Progress* progress,
                         const CaseNumbers* selected) {
    PassResult result;
    OpenFile file;
    int status = spssOpenRead(dict.path.c_str(), &file.handle);
    if (status != 0) {
        file.handle = -1;
        result.error = Message{MessageCode::PassCannotOpen, {}, {status}};
        return result;
    }
    std::vector<Column> columns(variables.size());
    for (size_t i = 0; i < variables.size(); ++i) {
        const DictVariable& v = dict.variables.at(static_cast<size_t>(variables[i]));
        columns[i].width = v.width;
        if (v.width > 0) columns[i].buffer.resize(static_cast<size_t>(v.width) + 1);
        status = spssGetVarHandle(file.handle, v.name.c_str(), &columns[i].handle);
        if (status != 0) {
            result.error = Message{MessageCode::PassNoVariable, {v.name}};
            return result;
        }
    }
    const int weightIndex = weighted ? WeightVariableIndex(dict) : -1;
    double weightHandle = 0;
    MissingValues weightMissing;
    if (weightIndex >= 0) {
        weightMissing = MakeStatsVariable(dict, weightIndex).missing();
        if (spssGetVarHandle(file.handle, dict.variables[size_t(weightIndex)].name.c_str(),
                             &weightHandle) != 0) {
            result.error = Message{MessageCode::PassNoWeight};
            return result;
        }
    }
    result.weighted = weightIndex >= 0;
    const double sysmis = FileSysmis(dict);
    const uint64_t total = dict.caseCount > 0 ? static_cast<uint64_t>(dict.caseCount) : 0;
    std::vector<PassValue> values(variables.size());
    size_t nextSelected = 0;
    for (;;) {
        if (result.casesRead % kProgressEvery == 0 &&
            !Continue(progress, static_cast<uint64_t>(result.casesRead), total)) {
            result.outcome = PassOutcome::Cancelled;
            return result;
        }
        status = spssReadCaseRecord(file.handle);
        if (status == SPSS_FILE_END) break;
        if (status != 0) {
            result.error = Message{MessageCode::PassDataDamaged, {}, {result.casesRead}};
            return result;
        }
        ++result.casesRead;
        if (selected) {
            // Both ascend: step to the first selected case at or after this one.
            const auto here = static_cast<uint64_t>(result.casesRead - 1);
            while (nextSelected < selected->size() && (*selected)[nextSelected] < here)
                ++nextSelected;
            if (nextSelected == selected->size() || (*selected)[nextSelected] != here) continue;
        }
        double weight = 1;
        if (weightIndex >= 0) {
            spssGetValueNumeric(file.handle, weightHandle, &weight);
            if (IsSystemMissing(weight, sysmis) || weightMissing.Holds(weight) || !(weight > 0)) {
                ++result.casesWithoutWeight;
                continue;
            }
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            Column& col = columns[i];
            PassValue& out = values[i];
            if (col.width == 0) {
                double x = 0;
                spssGetValueNumeric(file.handle, col.handle, &x);
                out.sysmis = IsSystemMissing(x, sysmis);
                out.number = x;
            } else {
                const int got = spssGetValueChar(file.handle, col.handle, col.buffer.data(),
                                                 static_cast<int>(col.buffer.size()));
                out.text = got == 0 ? StringValue(col.buffer.data(), static_cast<size_t>(col.width))
                                    : std::string_view();
            }
        }
        visitor.Case(values, weight);
    }
    Continue(progress, total, total);
    result.outcome = PassOutcome::Complete;
    return result;
}

}  // namespace lv
