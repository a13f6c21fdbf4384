#include "core/selection/file_selection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/dictionary/file_dictionary.h"
#include "core/dictionary/variable_facts.h"
#include "savio/case_index.h"
#include "savio/case_layout.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

ConditionVariable FromDictionary(const DictVariable& v) {
    ConditionVariable c;
    c.name = v.name;
    c.longName = v.longName;
    c.isString = v.isString();
    c.format = v.print;
    c.missing = MissingValuesOf(v);
    return c;
}

// Closes the handle when the selection is done.
struct OpenHandle {
    int h = 0;
    ~OpenHandle() {
        if (h) spssCloseRead(h);
    }
};

// Memory for the string values of one block, at most.
constexpr size_t kBlockStringBytes = 4u << 20;
constexpr uint32_t kBlockRows = 4096;

}  // namespace

FileSelection SelectFileCases(const std::string& path, std::string_view text,
                              const std::string& encoding) {
    FileSelection result;
    FileDictionary dict;
    OpenHandle handle;
    int opened = ReadFileDictionary(path, &dict);
    if (opened == 0) opened = spssOpenRead(path.c_str(), &handle.h);
    savio::CaseIndex layout;
    if (opened != 0 || !savio::GetCaseIndex(handle.h, &layout) ||
        layout.values.size() != dict.variables.size()) {
        result.status = FileSelection::Status::BadFile;
        result.fileStatus = opened ? opened : SPSS_FILE_OERROR;
        if (opened != 0) handle.h = 0;
        return result;
    }
    std::vector<ConditionVariable> variables;
    variables.reserve(dict.variables.size());
    for (const DictVariable& v : dict.variables) variables.push_back(FromDictionary(v));
    auto compiled = CompileCondition(text, variables, encoding.empty() ? dict.encoding : encoding);
    if (auto* error = std::get_if<ConditionError>(&compiled)) {
        result.status = FileSelection::Status::BadCondition;
        result.error = *error;
        return result;
    }
    const Condition& condition = std::get<Condition>(compiled);

    // The values of the variables read, a block of cases at a time.
    const std::vector<int>& read = condition.variables();
    size_t stringBytes = 0;
    for (int v : read) stringBytes += static_cast<size_t>(dict.variables[v].width);
    const uint32_t blockRows = static_cast<uint32_t>(std::clamp<size_t>(
        stringBytes ? kBlockStringBytes / stringBytes : kBlockRows, 1, kBlockRows));
    std::vector<std::vector<double>> numbers(read.size());
    std::vector<std::vector<std::string_view>> strings(read.size());
    std::vector<std::string> bytes(read.size());
    ConditionBlock block;
    block.numbers.assign(read.size(), nullptr);
    block.strings.assign(read.size(), nullptr);
    for (size_t k = 0; k < read.size(); ++k) {
        const DictVariable& v = dict.variables[read[k]];
        if (v.isString()) {
            strings[k].resize(blockRows);
            bytes[k].resize(static_cast<size_t>(v.width) * blockRows);
            block.strings[k] = strings[k].data();
        } else {
            numbers[k].resize(blockRows);
            block.numbers[k] = numbers[k].data();
        }
    }
    const double fileSysmis = dict.hasFloatInfo ? dict.sysmis : kConditionMissing;
    const std::vector<savio::ValueSlots>& slots = layout.values;

    int64_t done = 0;
    for (;;) {
        uint32_t rows = 0;
        int status = 0;
        while (rows < blockRows && (status = spssReadCaseRecord(handle.h)) == 0) {
            const uint8_t* row = savio::CurrentCaseRow(handle.h);
            for (size_t k = 0; k < read.size(); ++k) {
                const savio::ValueSlots& where = slots[read[k]];
                if (where.isString()) {
                    char* at = bytes[k].data() + static_cast<size_t>(where.width) * rows;
                    size_t used = 0;
                    savio::ForEachStringPiece(row, where, [&](const uint8_t* p, size_t n) {
                        std::memcpy(at + used, p, n);
                        used += n;
                    });
                    strings[k][rows] = std::string_view(at, used);
                } else {
                    const double v = savio::SlotNumber(row, where, layout.shape.swap);
                    numbers[k][rows] = v == fileSysmis || std::isnan(v) ? kConditionMissing : v;
                }
            }
            ++rows;
        }
        if (done + rows > UINT32_MAX) {
            result.status = FileSelection::Status::BadFile;
            result.fileStatus = SPSS_FILE_RERROR;
            return result;
        }
        block.rows = rows;
        condition.Select(block, static_cast<uint32_t>(done), result.cases);
        done += rows;
        if (status == SPSS_FILE_END) break;
        if (status != 0) {
            result.status = FileSelection::Status::BadFile;
            result.fileStatus = status;
            break;
        }
    }
    result.caseCount = done;
    // 4 bytes per selected case, not what growing left over.
    result.cases.shrink_to_fit();
    return result;
}

}  // namespace lv
