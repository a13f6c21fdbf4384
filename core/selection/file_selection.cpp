#include "core/selection/file_selection.h"

#include <cmath>
#include <numeric>

#include "core/cases/case_stream.h"
#include "core/selection/stream_condition.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

FileSelection BadFile(int status) {
    FileSelection result;
    result.status = FileSelection::Status::BadFile;
    result.fileStatus = status;
    return result;
}

}  // namespace

std::variant<Condition, ConditionError> CompileFileCondition(const FileDictionary& dict,
                                                             std::string_view text,
                                                             const std::string& encoding) {
    return CompileCondition(text, ConditionVariablesOf(dict.variables),
                            encoding.empty() ? dict.encoding : encoding);
}

FileSelection SelectFileCases(const std::string& path, std::string_view text,
                              const std::string& encoding) {
    ReaderHandle file;
    FileDictionary dict;
    int status = file.Open(path);
    if (status == 0) status = ReadFileDictionary(file, &dict);
    if (status != 0) return BadFile(status);
    return SelectFileCases(file, dict, text, encoding);
}

FileSelection SelectFileCases(const ReaderHandle& file, const FileDictionary& dict,
                              std::string_view text, const std::string& encoding) {
    FileSelection result;
    auto compiled = CompileFileCondition(dict, text, encoding);
    if (auto* error = std::get_if<ConditionError>(&compiled)) {
        result.status = FileSelection::Status::BadCondition;
        result.error = *error;
        return result;
    }
    const Condition& condition = std::get<Condition>(compiled);

    CasesWanted wanted;
    wanted.variables = condition.variables();
    CaseStream stream(file, std::move(wanted));
    StreamCondition selector(condition);
    std::vector<size_t> columns(condition.variables().size());
    std::iota(columns.begin(), columns.end(), size_t{0});
    std::vector<uint32_t> rows;
    while (stream.Next()) {
        if (stream.rows() == 0) continue;
        // Every case is wanted: a block's rows are consecutive cases.
        const int64_t first = stream.CaseNumber(0);
        if (!selector.Choose(stream.values(), columns, first, stream.sysmis(), rows))
            return BadFile(SPSS_FILE_RERROR);
        for (const uint32_t row : rows) result.cases.push_back(uint32_t(first) + row);
    }
    if (stream.end() == CaseStream::End::Failed) {
        // A file whose variables are not the dictionary's is no file to select from.
        result.status = FileSelection::Status::BadFile;
        result.fileStatus =
            stream.failureStatus() == SPSS_VAR_NOTFOUND ? SPSS_FILE_OERROR : stream.failureStatus();
    }
    result.caseCount = stream.casesRead();
    // 4 bytes per selected case, not what growing left over.
    result.cases.shrink_to_fit();
    return result;
}

}  // namespace lv
