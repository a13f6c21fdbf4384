#include "core/selection/file_selection.h"

#include <cmath>

#include "core/cases/case_stream.h"
#include "core/dictionary/variable_facts.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

// A block of the stream as the condition reads it: numbers with
// system-missing as kConditionMissing, strings as the stream holds them.
class ConditionInput {
  public:
    explicit ConditionInput(size_t columns) : numbers_(columns), strings_(columns) {
        block_.numbers.assign(columns, nullptr);
        block_.strings.assign(columns, nullptr);
    }
    const ConditionBlock& Of(const CaseStream& stream) {
        const CaseValues& values = stream.values();
        const auto rows = static_cast<size_t>(stream.rows());
        for (size_t k = 0; k < numbers_.size(); ++k) {
            if (values.isText(k)) {
                strings_[k].resize(rows);
                for (size_t i = 0; i < rows; ++i) strings_[k][i] = values.Text(int64_t(i), k);
                block_.strings[k] = strings_[k].data();
            } else {
                numbers_[k].resize(rows);
                const double* from = values.Numbers(k);
                const double sysmis = stream.sysmis();
                for (size_t i = 0; i < rows; ++i)
                    numbers_[k][i] = IsSystemMissing(from[i], sysmis) ? kConditionMissing : from[i];
                block_.numbers[k] = numbers_[k].data();
            }
        }
        block_.rows = static_cast<uint32_t>(rows);
        return block_;
    }

  private:
    std::vector<std::vector<double>> numbers_;
    std::vector<std::vector<std::string_view>> strings_;
    ConditionBlock block_;
};

FileSelection BadFile(int status) {
    FileSelection result;
    result.status = FileSelection::Status::BadFile;
    result.fileStatus = status;
    return result;
}

}  // namespace

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
    auto compiled = CompileCondition(text, ConditionVariablesOf(dict.variables),
                                     encoding.empty() ? dict.encoding : encoding);
    if (auto* error = std::get_if<ConditionError>(&compiled)) {
        result.status = FileSelection::Status::BadCondition;
        result.error = *error;
        return result;
    }
    const Condition& condition = std::get<Condition>(compiled);

    CasesWanted wanted;
    wanted.variables = condition.variables();
    CaseStream stream(file, std::move(wanted));
    ConditionInput input(condition.variables().size());
    while (stream.Next()) {
        if (stream.rows() == 0) continue;
        // Every case is wanted: a block's rows are consecutive cases.
        const int64_t first = stream.CaseNumber(0);
        if (first + stream.rows() > int64_t{UINT32_MAX}) return BadFile(SPSS_FILE_RERROR);
        condition.Select(input.Of(stream), static_cast<uint32_t>(first), result.cases);
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
