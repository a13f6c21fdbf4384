#include "core/stats/case_pass.h"

#include "core/stats/stats_variable.h"
#include "core/text/trim.h"

namespace lv {
namespace {

// The file at dict.path still holds dict's variables where dict says;
// else the error of the pass.
Message CheckVariables(const ReaderHandle& file, const FileDictionary& dict,
                       const std::vector<int>& variables, int weight) {
    const auto same = [&](int index) {
        std::string name;
        int width = 0;
        const DictVariable& v = dict.variables[size_t(index)];
        return file.VarInfo(index, &name, &width) == 0 && name == v.name && width == v.width;
    };
    for (const int index : variables) {
        if (index < 0 || size_t(index) >= dict.variables.size())
            return Message{MessageCode::PassNoVariable, {std::to_string(index)}};
        if (!same(index))
            return Message{MessageCode::PassNoVariable, {dict.variables[size_t(index)].name}};
    }
    if (weight >= 0 && !same(weight)) return Message{MessageCode::PassNoWeight};
    return {};
}

PassResult ReadThrough(const ReaderHandle& file, const FileDictionary& dict,
                       const std::vector<int>& variables, bool weighted, CaseVisitor& visitor,
                       Progress* progress, const CaseNumbers* selected) {
    PassResult result;
    CasesWanted wanted;
    wanted.variables = variables;
    wanted.cases = selected;
    const int weightIndex = weighted ? WeightVariableIndex(dict) : -1;
    if (weightIndex >= 0) {
        wanted.weight = weightIndex;
        wanted.weightMissing = MakeStatsVariable(dict, weightIndex).missing();
    }
    result.weighted = weightIndex >= 0;
    CaseStream stream(file, std::move(wanted), progress);
    while (stream.Next()) visitor.Block(stream);
    result.casesRead = stream.casesRead();
    result.casesWithoutWeight = stream.casesWithoutWeight();
    switch (stream.end()) {
        case CaseStream::End::Cancelled:
            result.outcome = PassOutcome::Cancelled;
            break;
        case CaseStream::End::Failed:
            result.error = stream.failure();
            break;
        default: {
            const uint64_t total = dict.caseCount > 0 ? static_cast<uint64_t>(dict.caseCount) : 0;
            Continue(progress, total, total);
            result.outcome = PassOutcome::Complete;
        }
    }
    return result;
}

}  // namespace

std::string_view PassText(std::string_view value) {
    const size_t nul = value.find('\0');
    return nul == std::string_view::npos ? value : WithoutTrailingBlanks(value.substr(0, nul));
}

void CaseVisitor::Block(const CaseStream& block) {
    const CaseValues& columns = block.values();
    const std::span<const double> weights = block.weights();
    values_.resize(columns.columnCount());
    for (int64_t i = 0; i < block.rows(); ++i) {
        for (size_t k = 0; k < values_.size(); ++k) {
            PassValue& out = values_[k];
            if (columns.isText(k)) {
                out.text = PassText(columns.Text(i, k));
            } else {
                out.number = columns.Number(i, k);
                out.sysmis = block.Sysmis(i, k);
            }
        }
        Case(values_, weights.empty() ? 1.0 : weights[size_t(i)]);
    }
}

PassResult ReadCasesOnce(const FileDictionary& dict, const std::vector<int>& variables,
                         bool weighted, CaseVisitor& visitor, Progress* progress,
                         const CaseNumbers* selected, const ReaderHandle* file) {
    if (file) return ReadThrough(*file, dict, variables, weighted, visitor, progress, selected);
    PassResult result;
    ReaderHandle own;
    if (const int status = own.Open(dict.path)) {
        result.error = Message{MessageCode::PassCannotOpen, {}, {status}};
        return result;
    }
    result.error = CheckVariables(own, dict, variables, weighted ? WeightVariableIndex(dict) : -1);
    if (result.error.code != MessageCode::None) return result;
    return ReadThrough(own, dict, variables, weighted, visitor, progress, selected);
}

}  // namespace lv
